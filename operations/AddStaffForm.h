#pragma once

// The "Choose type of Staff" dialog of Edit > Add New > Staff: picks a
// classification and a job and, for an allowed pair, adds the person.

#include <QDialog>
#include <memory>

struct AppContext;

namespace Ui {
class AddStaffForm;
}

class AddStaffForm : public QDialog {
    Q_OBJECT
public:
    explicit AddStaffForm(AppContext& ctx, QWidget* parent = nullptr);
    ~AddStaffForm() override;

    void Button1Click();  // Cancel
    void Button2Click();  // OK

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext& ctx_;
    std::unique_ptr<Ui::AddStaffForm> ui;
};

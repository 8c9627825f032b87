#pragma once

// The player creation wizard ("Wized Beta1"): makes a new player from one of
// the templates of wizard.quarn.

#include <QDialog>
#include <functional>
#include <memory>

#include "db/editing/NewStaff.h"

struct AppContext;

namespace Ui {
class WizForm;
}

class WizForm : public QDialog {
    Q_OBJECT
public:
    explicit WizForm(AppContext& ctx, QWidget* parent = nullptr);
    ~WizForm() override;

    // ListBox1 with one entry per loaded template / empty.
    void fillLists();
    void clearLists();

    void Button1Click();  // OK
    void Button2Click();  // Cancel

    // Where each OK gets its random additions: called once per OK, so the
    // default generator is seeded from the time once per player. Tests put a
    // fixed source here.
    void setRandomSource(std::function<db::RandomAddition()> makeSource);

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext& ctx_;
    std::unique_ptr<Ui::WizForm> ui;
    std::function<db::RandomAddition()> makeSource_ = db::timeSeededAddition;
};

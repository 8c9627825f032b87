#pragma once

// The "Choose type of Staff" dialog.

#include <QDialog>

struct AppContext;

class AddStaffForm : public QDialog {
    Q_OBJECT
public:
    explicit AddStaffForm(AppContext& ctx, QWidget* parent = nullptr);
    ~AddStaffForm() override;


private:
    AppContext& ctx_;
};

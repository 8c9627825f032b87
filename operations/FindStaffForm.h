#pragma once

// The "Pick Staff" dialog.

#include <QDialog>

struct AppContext;

class FindStaffForm : public QDialog {
    Q_OBJECT
public:
    explicit FindStaffForm(AppContext& ctx, QWidget* parent = nullptr);
    ~FindStaffForm() override;

    // Shows the picker aimed at list `target` (0/1 the club page's favourite
    // and disliked staff, 2/3 the staff page's).
    void open(int target);
    int PickTarget = 0;

private:
    AppContext& ctx_;
};

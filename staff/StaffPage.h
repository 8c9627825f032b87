#pragma once

// The Staff tab: staff search, display and Confirm Changes.

#include <QWidget>

struct AppContext;

class StaffPage : public QWidget {
    Q_OBJECT
public:
    explicit StaffPage(AppContext& ctx, QWidget* parent = nullptr);
    ~StaffPage() override;

    void fillLists();
    void clearLists();
    // Reset (Button8Click) and the display of the selected person.
    void Button8Click();
    void ListBoxStaffClick();
    // Puts one entry for `staffId` (its display name, or `text` when given)
    // into the emptied ListBoxStaff, selects it, shows the person and brings
    // the Staff tab up.
    void showStaff(int staffId, const QString& text = QString());

private:
    AppContext& ctx_;
};

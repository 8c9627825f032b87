#pragma once

// The "Pick Club" dialog.

#include <QDialog>

struct AppContext;

class FindClubForm : public QDialog {
    Q_OBJECT
public:
    explicit FindClubForm(AppContext& ctx, QWidget* parent = nullptr);
    ~FindClubForm() override;

    void fillLists();
    void clearLists();
    void appendClubEntry(int clubId);
    // Shows the picker aimed at list `target` (0 rival clubs, 1 and 2 the
    // staff page's favourite and disliked clubs).
    void open(int target);
    int PickTarget = 0;

private:
    AppContext& ctx_;
};

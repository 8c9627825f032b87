#pragma once

// The "Pick Club" dialog: chooses a club, or none, for one entry of a club
// list of the main window (the club page's rival clubs, the staff page's
// favourite and disliked clubs). It hands the choice back to the page that
// opened it, which puts it into that list; the page's Confirm Changes
// stores it.

#include <QDialog>
#include <memory>

#include "kit/Navigation.h"

struct AppContext;
class QListView;

namespace Ui {
class FindClubForm;
}

class FindClubForm : public QDialog {
    Q_OBJECT
public:
    explicit FindClubForm(AppContext& ctx, QWidget* parent = nullptr);
    ~FindClubForm() override;

    void fillLists();
    void clearLists();
    void appendClubEntry(int clubId);
    // Shows the picker aimed at list `target` (0 rival clubs, 1 and 2 the
    // staff page's favourite and disliked clubs); Select and Set To None
    // hand their choice to `onPick`.
    void open(int target, Navigation::PickHandler onPick = {});
    using QDialog::open;
    int PickTarget = 0;

    // Select, Search, Reset, Set To None, Cancel.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void pick(int record, const QString& text);

    AppContext& ctx_;
    Navigation::PickHandler onPick_;
    std::unique_ptr<Ui::FindClubForm> ui;
};

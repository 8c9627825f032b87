#pragma once

// The Clubs tab: club search, display and Confirm Changes.

#include <QWidget>
#include <memory>
#include <vector>

#include "clubs/ClubBindings.h"

struct AppContext;
struct DatabaseChange;
class EditStep;
class QComboBox;
class QListView;
class RecordListModel;

namespace Ui {
class ClubPage;
}

class ClubPage : public QWidget {
    Q_OBJECT
public:
    explicit ClubPage(AppContext& ctx, QWidget* parent = nullptr);
    ~ClubPage() override;

    // Fills every pick list of the page from the loaded tables (extra last
    // items only for tables whose loading step completed) / empties them.
    void fillLists();
    void clearLists();
    // Reset (Button3Click) and the display of the selected club.
    void Button3Click();
    void ListBoxClubsClick();
    // Edit > Add New > Club.
    void addClub();
    // Go To Club: reset, select the club at `clubId`, show it, bring the tab up.
    void goToClub(int clubId);
    // Brings the control showing club field `f` into view and focuses it.
    void revealField(const db::FieldInfo& f);

    // Confirm Changes and Search.
    void Button1Click();
    void Button2Click();
    // The user picked another main / reserve stadium: show its details.
    void ClubStadium1Change();
    void ClubStadium2Change();
    // Double-clicks on the lists of the page.
    void ClubRivalClubsDblClick();
    void ClubFavStaffDblClick();
    void ClubDisStaffDblClick();
    void ClubPlayersDblClick();
    void ClubStaffDblClick();

    // The club shown and edited: the selected entry's record, then the
    // record at that record's ClubId; -1 when there is none.
    int selectedClubId() const;

private:
    // Every change of the database: the lists and the club on screen follow.
    void databaseChanged(const DatabaseChange& change);
    // Confirm Changes of `clubId` as one step: the club and the stadiums the
    // page has chosen.
    EditStep confirmStep(int clubId) const;
    void showStadium(int page);
    void showClub(int clubId);
    void listAllClubsFrom(std::size_t n);
    void jumpToStaff(QListView* list);
    QWidget* control(std::string_view name) const;
    QWidget* control(const QString& name) const;

    AppContext& ctx_;
    std::unique_ptr<Ui::ClubPage> ui;
    // Controls of the binding tables, found once by name.
    std::vector<QWidget*> clubControls_;
    std::vector<std::vector<QWidget*>> stadiumControls_;  // per stadium page
    bool selecting_ = false;                              // selection changes made by the page itself
};

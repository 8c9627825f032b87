#pragma once

// The Clubs tab: club search, display and Confirm Changes.

#include <QWidget>

struct AppContext;

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

private:
    AppContext& ctx_;
};

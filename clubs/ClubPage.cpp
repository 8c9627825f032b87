#include "ClubPage.h"

#include "app/AppContext.h"

ClubPage::ClubPage(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {}

ClubPage::~ClubPage() = default;

void ClubPage::fillLists()
{
}

void ClubPage::clearLists()
{
}

void ClubPage::Button3Click()
{
}

void ClubPage::ListBoxClubsClick()
{
}

void ClubPage::addClub()
{
}

void ClubPage::goToClub(int clubId)
{
    Q_UNUSED(clubId);
}

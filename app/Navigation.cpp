#include "Navigation.h"

#include "kit/AppContext.h"
#include "clubs/ClubPage.h"
#include "staff/StaffPage.h"

void PageNavigation::goToClub(int clubId)
{
    if (ctx_.clubPage) ctx_.clubPage->goToClub(clubId);
}

void PageNavigation::showStaff(int staffId)
{
    if (ctx_.staffPage) ctx_.staffPage->showStaff(staffId);
}

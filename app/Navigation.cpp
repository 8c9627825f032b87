#include "kit/Navigation.h"

#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "kit/AppContext.h"
#include "operations/FindForm.h"
#include "operations/FindStaffForm.h"
#include "operations/SheetForms.h"
#include "operations/TransferForm.h"
#include "operations/WhereUsedForm.h"
#include "staff/StaffPage.h"

void PageNavigation::goToClub(int clubId)
{
    if (ctx_.clubPage) ctx_.clubPage->goToClub(clubId);
}

void PageNavigation::showStaff(int staffId)
{
    if (ctx_.staffPage) ctx_.staffPage->showStaff(staffId);
}

void PageNavigation::showNewStaff(int staffId, const QString& text)
{
    if (ctx_.staffPage) ctx_.staffPage->showStaff(staffId, text);
}

void PageNavigation::pickClub(int target, PickHandler onPick)
{
    if (ctx_.findClubForm) ctx_.findClubForm->open(target, std::move(onPick));
}

void PageNavigation::pickStaff(int target, PickHandler onPick)
{
    if (ctx_.findStaffForm) ctx_.findStaffForm->open(target, std::move(onPick));
}

void PageNavigation::openTransfer(int staffId, const QString& staffName, int fromClubId, int jobIndex,
                                  bool jobEnabled)
{
    if (ctx_.transferForm) ctx_.transferForm->open(staffId, staffName, fromClubId, jobIndex, jobEnabled);
}

void PageNavigation::showWhereUsed(db::TableId t, std::size_t record)
{
    if (ctx_.whereUsedForm) ctx_.whereUsedForm->showUses(t, record);
}

void PageNavigation::showField(db::TableId t, const db::FieldInfo& f)
{
    if (t == db::TableId::Clubs) {
        if (ctx_.clubPage) ctx_.clubPage->revealField(f);
    } else if (ctx_.staffPage) {
        ctx_.staffPage->revealField(t, f);
    }
}

void PageNavigation::showExport(db::TableId t, std::vector<std::int32_t> found)
{
    if (ctx_.exportSheetForm) ctx_.exportSheetForm->showExport(t, std::move(found));
}

void PageNavigation::showFind()
{
    if (ctx_.findForm) ctx_.findForm->showFind();
}

void PageNavigation::showImport()
{
    if (ctx_.importSheetForm) ctx_.importSheetForm->showImport();
}

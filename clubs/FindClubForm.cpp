#include "FindClubForm.h"

#include "app/AppContext.h"

FindClubForm::FindClubForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

FindClubForm::~FindClubForm() = default;

void FindClubForm::fillLists()
{
}

void FindClubForm::clearLists()
{
}

void FindClubForm::appendClubEntry(int clubId)
{
    Q_UNUSED(clubId);
}

void FindClubForm::open(int target)
{
    Q_UNUSED(target);
}

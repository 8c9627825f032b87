#include "StaffPage.h"

#include "app/AppContext.h"

StaffPage::StaffPage(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {}

StaffPage::~StaffPage() = default;

void StaffPage::fillLists()
{
}

void StaffPage::clearLists()
{
}

void StaffPage::Button8Click()
{
}

void StaffPage::ListBoxStaffClick()
{
}

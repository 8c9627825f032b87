#include "FindStaffForm.h"

#include "app/AppContext.h"

FindStaffForm::FindStaffForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

FindStaffForm::~FindStaffForm() = default;

void FindStaffForm::open(int target)
{
    Q_UNUSED(target);
}

#include "AddStaffForm.h"

#include "app/AppContext.h"

AddStaffForm::AddStaffForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

AddStaffForm::~AddStaffForm() = default;

#include "WizForm.h"

#include "app/AppContext.h"

WizForm::WizForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

WizForm::~WizForm() = default;

void WizForm::fillLists()
{
}

void WizForm::clearLists()
{
}

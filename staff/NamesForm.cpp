#include "NamesForm.h"

#include "app/AppContext.h"

NamesForm::NamesForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

NamesForm::~NamesForm() = default;

void NamesForm::fillLists()
{
}

void NamesForm::clearLists()
{
}

void NamesForm::open(int kind)
{
    Q_UNUSED(kind);
}

#include "TransferForm.h"

#include "app/AppContext.h"

TransferForm::TransferForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

TransferForm::~TransferForm() = default;

void TransferForm::fillLists()
{
}

void TransferForm::clearLists()
{
}

void TransferForm::appendClubEntry(int clubId)
{
    Q_UNUSED(clubId);
}

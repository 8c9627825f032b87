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

void TransferForm::open(int transferStaffId, const QString& staffName, int fromClubId, int jobIndex,
                        bool jobEnabled)
{
    Q_UNUSED(transferStaffId);
    Q_UNUSED(staffName);
    Q_UNUSED(fromClubId);
    Q_UNUSED(jobIndex);
    Q_UNUSED(jobEnabled);
}

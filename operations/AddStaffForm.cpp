#include "AddStaffForm.h"


#include "kit/AppContext.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/WindowUtil.h"
#include "db/format/Codes.h"
#include "db/editing/NewStaff.h"
#include "operations/AddStaff.h"
#include "ui_AddStaffForm.h"

AddStaffForm::AddStaffForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::AddStaffForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    for (std::string_view c : db::kClassificationNames) ui->StaffClassification->addItem(fromRaw(c));
    for (std::string_view j : db::kJobNames) ui->StaffJob->addItem(fromRaw(j));
    // Nothing is chosen until the user chooses.
    ui->StaffClassification->setCurrentIndex(-1);
    ui->StaffJob->setCurrentIndex(-1);
    connect(ui->Button1, &QPushButton::clicked, this, &AddStaffForm::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &AddStaffForm::Button2Click);
}

AddStaffForm::~AddStaffForm() = default;

void AddStaffForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void AddStaffForm::Button1Click()
{
    hide();
}

void AddStaffForm::Button2Click()
{
    const int classification = ui->StaffClassification->currentIndex();
    const int job = ui->StaffJob->currentIndex();
    if (!db::isAllowedStaffPair(classification, job)) {
        ctx_.messages->warning(QStringLiteral("That type of Job is not possible for that staff-class!"));
        return;
    }
    AddStaff(ctx_, static_cast<std::uint8_t>(classification), static_cast<std::uint8_t>(job));
    hide();
}

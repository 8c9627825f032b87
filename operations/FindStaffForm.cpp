#include "FindStaffForm.h"

#include <QListView>

#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "kit/WindowUtil.h"
#include "db/format/Codes.h"
#include "db/query/Search.h"
#include "ui_FindStaffForm.h"

FindStaffForm::FindStaffForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::FindStaffForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    attachModel(ui->ListBoxStaff);
    ui->ListBoxStaff->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ui->Button1, &QPushButton::clicked, this, &FindStaffForm::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &FindStaffForm::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &FindStaffForm::Button3Click);
    connect(ui->Button4, &QPushButton::clicked, this, &FindStaffForm::Button4Click);
    connect(ui->Button5, &QPushButton::clicked, this, &FindStaffForm::Button5Click);
    connect(ui->StaffSearch, &QLineEdit::returnPressed, this, &FindStaffForm::Button2Click);

    // Found people an undone step took away leave the list; a renamed
    // person keeps the name he was found under.
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this](const DatabaseChange& c) {
        if (c.removes(db::TableId::Staff)) recordModel(ui->ListBoxStaff)->dropMissing(ctx_.db.staff.size());
    });
    connect(&ctx_.events, &DatabaseEvents::textChanging, this, [this](db::TableId t, int record) {
        if (t == db::TableId::Staff) recordModel(ui->ListBoxStaff)->pinText(record);
    });
}

FindStaffForm::~FindStaffForm() = default;

void FindStaffForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void FindStaffForm::open(int target, Navigation::PickHandler onPick)
{
    PickTarget = target;
    onPick_ = std::move(onPick);
    show();
    raise();
    activateWindow();
}

void FindStaffForm::pick(int record, const QString& text)
{
    hide();
    if (onPick_) onPick_(record, text);
}

void FindStaffForm::Button1Click()
{
    const int record = recordModel(ui->ListBoxStaff)->recordAt(selectedRow(ui->ListBoxStaff));
    if (!db::isValidRef(record, ctx_.db.staff.size())) return;  // nobody chosen: nothing changes
    const std::int32_t picked = ctx_.db.staff[static_cast<std::size_t>(record)].get(db::StaffRecord::StaffId);
    if (!db::isValidRef(picked, ctx_.db.staff.size())) return;
    PickedStaffId = picked;
    pick(picked, fromRaw(ctx_.db.staff[static_cast<std::size_t>(picked)].displayName));
}

void FindStaffForm::Button2Click()
{
    recordModel(ui->ListBoxStaff)
        ->setRecords(db::searchStaff(ctx_.db, toRaw(ui->StaffSearch->text())), staffDisplayNames(ctx_.db));
}

void FindStaffForm::Button3Click()
{
    ui->StaffSearch->clear();
    recordModel(ui->ListBoxStaff)->clear();
}

void FindStaffForm::Button4Click()
{
    PickedStaffId = -1;
    pick(-1, fromRaw(db::kNone));
}

void FindStaffForm::Button5Click()
{
    hide();
}

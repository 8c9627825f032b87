#include "FindStaffForm.h"

#include <QListView>

#include "kit/AppContext.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "kit/WindowUtil.h"
#include "clubs/ClubPage.h"
#include "db/format/Codes.h"
#include "db/query/Search.h"
#include "staff/StaffPage.h"
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
}

FindStaffForm::~FindStaffForm() = default;

void FindStaffForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void FindStaffForm::open(int target)
{
    PickTarget = target;
    show();
    raise();
    activateWindow();
}

QListView* FindStaffForm::targetList() const
{
    // PickTarget 0-3: the club page's favourite and disliked staff, then the staff page's.
    static constexpr const char* kListNames[] = {"ClubFavStaff", "ClubDisStaff", "StaffFavStaff",
                                                 "StaffDisStaff"};
    if (PickTarget < 0 || PickTarget > 3) return nullptr;
    QWidget* page =
        PickTarget < 2 ? static_cast<QWidget*>(ctx_.clubPage) : static_cast<QWidget*>(ctx_.staffPage);
    return page ? page->findChild<QListView*>(QLatin1String(kListNames[PickTarget])) : nullptr;
}

void FindStaffForm::replaceInTarget(const QString& text, int record)
{
    QListView* list = targetList();
    RecordListModel* model = recordModel(list);
    if (!model) return;
    // Two steps, so the new entry always ends up last; with nothing selected
    // nothing is removed and the list grows.
    model->removeAt(selectedRow(list));
    model->append(text, record);
}

void FindStaffForm::Button1Click()
{
    const int record = recordModel(ui->ListBoxStaff)->recordAt(selectedRow(ui->ListBoxStaff));
    if (!db::isValidRef(record, ctx_.db.staff.size())) return;  // nobody chosen: nothing changes
    const std::int32_t picked = ctx_.db.staff[static_cast<std::size_t>(record)].get(db::StaffRecord::StaffId);
    if (!db::isValidRef(picked, ctx_.db.staff.size())) return;
    PickedStaffId = picked;
    hide();
    replaceInTarget(fromRaw(ctx_.db.staff[static_cast<std::size_t>(picked)].displayName), picked);
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
    replaceInTarget(fromRaw(db::kNone), -1);
    hide();
}

void FindStaffForm::Button5Click()
{
    hide();
}

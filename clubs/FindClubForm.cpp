#include "FindClubForm.h"

#include <algorithm>

#include <QListView>

#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "kit/WindowUtil.h"
#include "db/format/Codes.h"
#include "db/query/Search.h"
#include "ui_FindClubForm.h"

namespace {

QString longName(const db::Database& d, std::size_t i)
{
    return fromRaw(d.clubs[i].text(db::ClubRecord::LongName));
}

}  // namespace

FindClubForm::FindClubForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ctx_(ctx),
      ui(std::make_unique<Ui::FindClubForm>())
{
    ui->setupUi(this);
    setModal(false);
    setFixedSize(size());
    attachModel(ui->ListBoxClubs);

    connect(ui->Button1, &QPushButton::clicked, this, &FindClubForm::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &FindClubForm::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &FindClubForm::Button3Click);
    connect(ui->Button4, &QPushButton::clicked, this, &FindClubForm::Button4Click);
    connect(ui->Button5, &QPushButton::clicked, this, &FindClubForm::Button5Click);
    connect(ui->ClubSearch, &QLineEdit::returnPressed, this, &FindClubForm::Button2Click);

    // The picker's own list: clubs added (or taken back) join (or leave) it
    // without a Reset, and keep the name they had when it was filled.
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this](const DatabaseChange& c) {
        if (c.kind == DatabaseChange::Kind::Unloaded) clearLists();
        if (c.kind == DatabaseChange::Kind::Loaded) fillLists();
        followTable(recordModel(ui->ListBoxClubs), db::TableId::Clubs, c, ctx_.db.clubs.size(),
                    [this](int id) { return longName(ctx_.db, static_cast<std::size_t>(id)); });
    });
    connect(&ctx_.events, &DatabaseEvents::textChanging, this, [this](db::TableId t, int record) {
        if (t == db::TableId::Clubs) recordModel(ui->ListBoxClubs)->pinText(record);
    });
}

FindClubForm::~FindClubForm() = default;

void FindClubForm::showEvent(QShowEvent* event)
{
    // Centred on the desktop each time it appears, as the staff picker is.
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void FindClubForm::fillLists()
{
    const db::Database& d = ctx_.db;
    recordModel(ui->ListBoxClubs)->setRecords(allRecords(d.clubs.size()), clubLongNames(d));
}

void FindClubForm::clearLists()
{
    recordModel(ui->ListBoxClubs)->clear();
}

void FindClubForm::appendClubEntry(int clubId)
{
    if (!db::isValidRef(clubId, ctx_.db.clubs.size())) return;
    recordModel(ui->ListBoxClubs)->append(longName(ctx_.db, static_cast<std::size_t>(clubId)), clubId);
}

void FindClubForm::open(int target, Navigation::PickHandler onPick)
{
    PickTarget = target;
    onPick_ = std::move(onPick);
    show();
    raise();
    activateWindow();
}

void FindClubForm::pick(int record, const QString& text)
{
    hide();
    if (onPick_) onPick_(record, text);
}

// Select
void FindClubForm::Button1Click()
{
    const db::Database& d = ctx_.db;
    const int record = recordModel(ui->ListBoxClubs)->recordAt(selectedRow(ui->ListBoxClubs));
    if (!db::isValidRef(record, d.clubs.size())) return;  // nothing chosen: stay open
    const std::int32_t clubId = d.clubs[static_cast<std::size_t>(record)].get(db::ClubRecord::ClubId);
    if (!db::isValidRef(clubId, d.clubs.size())) return;
    pick(clubId, longName(d, static_cast<std::size_t>(clubId)));
}

// Search
void FindClubForm::Button2Click()
{
    const db::Database& d = ctx_.db;
    recordModel(ui->ListBoxClubs)
        ->setRecords(db::searchClubs(d, toRaw(ui->ClubSearch->text())), clubLongNames(d));
}

// Reset
void FindClubForm::Button3Click()
{
    const db::Database& d = ctx_.db;
    ui->ClubSearch->clear();
    const std::size_t n = db::listedCount(d, db::Entry::Clubs, d.clubs.size());
    recordModel(ui->ListBoxClubs)->setRecords(allRecords(std::min(n, d.clubs.size())), clubLongNames(d));
}

// Set To None
void FindClubForm::Button4Click()
{
    pick(-1, QString::fromLatin1(db::kNone.data(), static_cast<qsizetype>(db::kNone.size())));
}

// Cancel
void FindClubForm::Button5Click()
{
    hide();
}

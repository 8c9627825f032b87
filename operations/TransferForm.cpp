#include "TransferForm.h"

#include <QItemSelectionModel>
#include <vector>

#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/EditStep.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "db/format/Codes.h"
#include "db/query/Search.h"
#include "db/editing/Transfer.h"
#include "ui_TransferForm.h"

namespace {

// Jobs above this one play; the dialog cannot turn managing staff into players.
constexpr int kLastManagingJob = 10;

// A transfer as one step: the person and both clubs.
EditStep transferStep(AppContext& ctx, int staffId, int fromClubId, int toClubId)
{
    EditStep step(ctx, QStringLiteral("Transfer"));
    step.touch(db::TableId::Staff, staffId);
    step.touch(db::TableId::Clubs, fromClubId);
    step.touch(db::TableId::Clubs, toClubId);
    return step;
}

}  // namespace

TransferForm::TransferForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::TransferForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    for (std::string_view job : db::kJobNames) ui->JobForClub->addItem(fromRaw(job));
    attachModel(ui->ListBoxClubs);
    ui->ListBoxClubs->setSelectionMode(QAbstractItemView::SingleSelection);

    connect(ui->Button2, &QPushButton::clicked, this, &TransferForm::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TransferForm::Button3Click);
    connect(ui->Button4, &QPushButton::clicked, this, &TransferForm::Button4Click);
    connect(ui->Button5, &QPushButton::clicked, this, &TransferForm::Button5Click);
    connect(ui->Button6, &QPushButton::clicked, this, &TransferForm::Button6Click);
    connect(ui->ClubSearch, &QLineEdit::returnPressed, this, &TransferForm::Button2Click);
    // Only the user's own choice raises the job check, never a programmatic one.
    connect(ui->JobForClub, &QComboBox::activated, this, &TransferForm::JobForClubChange);
    // Every click chooses, also on the club still highlighted after Free
    // Transfer; keys that move the highlight choose too.
    connect(ui->ListBoxClubs->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TransferForm::ListBoxClubsClick);
    connect(ui->ListBoxClubs, &QListView::clicked, this, &TransferForm::ListBoxClubsClick);

    // The club list: clubs added or taken back join or leave it, and keep
    // the name they had when it was filled.
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this](const DatabaseChange& c) {
        if (c.kind == DatabaseChange::Kind::Unloaded) clearLists();
        if (c.kind == DatabaseChange::Kind::Loaded) fillLists();
        followTable(recordModel(ui->ListBoxClubs), db::TableId::Clubs, c, ctx_.db.clubs.size(),
                    clubLongNames(ctx_.db));
    });
    connect(&ctx_.events, &DatabaseEvents::textChanging, this, [this](db::TableId t, int record) {
        if (t == db::TableId::Clubs) recordModel(ui->ListBoxClubs)->pinText(record);
    });
}

TransferForm::~TransferForm() = default;

void TransferForm::showClubs(const std::vector<std::int32_t>& clubIds)
{
    std::vector<int> records;
    records.reserve(clubIds.size());
    for (std::int32_t id : clubIds)
        if (db::isValidRef(id, ctx_.db.clubs.size())) records.push_back(id);
    recordModel(ui->ListBoxClubs)->setRecords(std::move(records), clubLongNames(ctx_.db));
}

void TransferForm::fillLists()
{
    recordModel(ui->ListBoxClubs)->setRecords(allRecords(ctx_.db.clubs.size()), clubLongNames(ctx_.db));
}

void TransferForm::clearLists()
{
    recordModel(ui->ListBoxClubs)->clear();
}

void TransferForm::appendClubEntry(int clubId)
{
    if (!db::isValidRef(clubId, ctx_.db.clubs.size())) return;
    const db::ClubRecord& club = ctx_.db.clubs[static_cast<std::size_t>(clubId)];
    recordModel(ui->ListBoxClubs)->append(fromRaw(club.text(db::ClubRecord::LongName)), clubId);
}

void TransferForm::open(int transferStaffId, const QString& staffName, int fromClubId, int jobIndex,
                        bool jobEnabled)
{
    ui->JobForClub->setCurrentIndex(jobIndex >= 0 && jobIndex < ui->JobForClub->count() ? jobIndex : -1);
    TransferStaffId = transferStaffId;
    ui->StaffName->setText(staffName);
    FromClubId = fromClubId;
    ui->FromClub->setText(
        db::isValidRef(fromClubId, ctx_.db.clubs.size())
            ? fromRaw(ctx_.db.clubs[static_cast<std::size_t>(fromClubId)].text(db::ClubRecord::LongName))
            : fromRaw(db::kNone));
    ui->JobForClub->setEnabled(jobEnabled);
    show();
    raise();
    activateWindow();
}

void TransferForm::Button2Click()
{
    showClubs(db::searchClubs(ctx_.db, toRaw(ui->ClubSearch->text())));
}

void TransferForm::Button3Click()
{
    ui->ClubSearch->clear();
    fillLists();
}

void TransferForm::Button4Click()
{
    ToClubId = db::kNoClub;
    ui->ToClub->setText(fromRaw(db::kNone));
    destinationChosen_ = true;
}

void TransferForm::Button5Click()
{
    hide();
}

void TransferForm::ListBoxClubsClick()
{
    const int record = recordModel(ui->ListBoxClubs)->recordAt(selectedRow(ui->ListBoxClubs));
    if (!db::isValidRef(record, ctx_.db.clubs.size())) return;
    const db::ClubRecord& club = ctx_.db.clubs[static_cast<std::size_t>(record)];
    ToClubId = club.get(db::ClubRecord::ClubId);
    ui->ToClub->setText(fromRaw(club.text(db::ClubRecord::LongName)));
    destinationChosen_ = true;
}

void TransferForm::JobForClubChange(int index)
{
    if (index <= kLastManagingJob) return;
    ctx_.messages->warning(QStringLiteral("You can\u00B4t change managing staff to playing staff yet!"));
    ui->JobForClub->setCurrentIndex(0);
}

void TransferForm::Button6Click()
{
    // At start-up ToClubId is 0, the first club, while "To:" is empty: an OK
    // then must not quietly move the person there.
    if (!destinationChosen_) {
        ctx_.messages->warning(QStringLiteral("Choose a club to transfer to, or press Free Transfer."));
        return;
    }
    int job = ui->JobForClub->currentIndex();
    if (job < 0) {
        // Nothing shown in JobForClub (the person's code has no name): keep his job.
        if (!db::isValidRef(TransferStaffId, ctx_.db.staff.size()))
            job = 0;
        else
            job = ctx_.db.staff[static_cast<std::size_t>(TransferStaffId)].get(db::StaffRecord::JobForClub);
    }
    const EditStep step = transferStep(ctx_, TransferStaffId, FromClubId, ToClubId);
    const auto notices =
        db::transferStaff(ctx_.db, {TransferStaffId, FromClubId, ToClubId, static_cast<std::uint8_t>(job)});
    for (const db::TransferNotice& n : notices) {
        if (n.kind == db::TransferNotice::Kind::Error)
            ctx_.messages->error(fromRaw(n.text));
        else
            ctx_.messages->information(fromRaw(n.text));
    }
    hide();
}

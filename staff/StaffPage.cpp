#include "StaffPage.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "db/query/Search.h"
#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/ListActions.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "kit/Tabs.h"
#include "kit/WindowUtil.h"
#include "staff/NamesForm.h"
#include "staff/StaffFields.h"
#include "ui_StaffNonPlaying.h"
#include "ui_StaffPage.h"
#include "ui_StaffPlaying.h"
#include "ui_StaffShared.h"

using db::isValidRef;

namespace {

QString caption(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The sub-page selector is drawn as a row of buttons rather than tabs.
const char* kButtonTabs =
    "QTabBar::tab { border: 1px solid palette(dark); border-radius: 2px; padding: 1px 10px;"
    " margin: 1px 3px 2px 0px; background: palette(button); }"
    "QTabBar::tab:selected { background: palette(midlight); border-color: palette(shadow); }";

}  // namespace

StaffPage::StaffPage(AppContext& ctx, QWidget* parent)
    : QWidget(parent),
      ctx_(ctx),
      ui(std::make_unique<Ui::StaffPage>()),
      shared_(std::make_unique<Ui::StaffShared>()),
      playing_(std::make_unique<Ui::StaffPlaying>()),
      nonPlaying_(std::make_unique<Ui::StaffNonPlaying>())
{
    ui->setupUi(this);
    // Each sub-page has a form of its own, built into the page widget.
    shared_->setupUi(ui->TabSheet11);
    playing_->setupUi(ui->TabSheet12);
    nonPlaying_->setupUi(ui->TabSheet13);

    ui->PageControl5->setDocumentMode(true);
    ui->PageControl5->tabBar()->setStyleSheet(QString::fromLatin1(kButtonTabs));
    ui->PageControl5->setCurrentWidget(ui->TabSheet11);
    ui->PageControl5->setTabVisible(ui->PageControl5->indexOf(ui->TabSheet12), false);
    ui->PageControl5->setTabVisible(ui->PageControl5->indexOf(ui->TabSheet13), false);
    shared_->PageControl6->setTabVisible(shared_->PageControl6->indexOf(shared_->TabSheet22), false);
    shared_->PageControl6->setCurrentWidget(shared_->TabSheet14);
    playing_->PageControl7->setCurrentWidget(playing_->TabSheet18);
    nonPlaying_->PageControl8->setCurrentWidget(nonPlaying_->TabSheet20);

    bindControls();

    attachModel(ui->ListBoxStaff);
    // The selected person is the one on screen, and the one Confirm Changes writes.
    keepSelection(ui->ListBoxStaff);
    addWhereUsedMenu(ui->ListBoxStaff, [this] {
        if (selectedStaffId() >= 0 && ctx_.navigation)
            ctx_.navigation->showWhereUsed(db::TableId::Staff, static_cast<std::size_t>(selectedStaffId()));
    });
    connect(ui->ListBoxStaff->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ListBoxStaffClick(); });
    connect(ui->ListBoxStaff, &QListView::clicked, this, [this] { ListBoxStaffClick(); });
    connect(ui->Button7, &QPushButton::clicked, this, &StaffPage::Button7Click);
    connect(ui->StaffSearch, &QLineEdit::returnPressed, this, &StaffPage::Button7Click);
    connect(ui->Button8, &QPushButton::clicked, this, &StaffPage::Button8Click);
    connect(ui->Button6, &QPushButton::clicked, this, &StaffPage::Button6Click);
    connect(ui->Button9, &QPushButton::clicked, this, &StaffPage::Button9Click);
    connect(ui->Button11, &QPushButton::clicked, this, &StaffPage::Button11Click);
    connect(shared_->Button4, &QPushButton::clicked, this, &StaffPage::Button4Click);
    connect(shared_->Button5, &QPushButton::clicked, this, &StaffPage::Button5Click);
    connect(shared_->Button10, &QPushButton::clicked, this, &StaffPage::Button10Click);
    onLeftDoubleClick(shared_->StaffFavStaff, [this] { StaffFavStaffClick(); });
    onLeftDoubleClick(shared_->StaffDisStaff, [this] { StaffDisStaffClick(); });
    onLeftDoubleClick(shared_->StaffFavClubs, [this] { StaffFavClubsClick(); });
    onLeftDoubleClick(shared_->StaffDisClubs, [this] { StaffDisClubsClick(); });

    connect(&ctx_.events, &DatabaseEvents::changed, this, &StaffPage::databaseChanged);
    connect(&ctx_.events, &DatabaseEvents::textChanging, this, [this](db::TableId t, int record) {
        // The list keeps the name a person was found under.
        if (t == db::TableId::Staff) recordModel(ui->ListBoxStaff)->pinText(record);
    });
}

StaffPage::~StaffPage() = default;

db::TableId StaffPage::nameTable(std::size_t k)
{
    return static_cast<db::TableId>(static_cast<int>(db::TableId::FirstNames) +
                                    static_cast<int>(staff::kNames[k].kind));
}

void StaffPage::databaseChanged(const DatabaseChange& c)
{
    using db::TableId;
    using Kind = DatabaseChange::Kind;
    if (c.kind == Kind::Unloaded) clearLists();
    if (c.kind == Kind::Loaded) fillLists();
    const db::Database& d = ctx_.db;
    if (c.removes(TableId::Staff)) {
        recordModel(ui->ListBoxStaff)->dropMissing(d.staff.size());
        for (QListView* v : {shared_->StaffFavStaff, shared_->StaffDisStaff})
            recordModel(v)->dropMissing(d.staff.size());
    }
    if (c.removes(TableId::Clubs))
        for (QListView* v : {shared_->StaffFavClubs, shared_->StaffDisClubs})
            recordModel(v)->dropMissing(d.clubs.size());
    for (std::size_t k = 0; k < std::size(staff::kNames); ++k) {
        const db::TableId table = nameTable(k);
        if (c.removes(table)) recordModel(names_[k])->dropMissing(d.names(staff::kNames[k].kind).size());
        // A new name is chosen in its list at once.
        const auto [first, end] = c.added(table);
        for (std::size_t id = first; id < end; ++id)
            if (!recordModel(names_[k])->contains(static_cast<int>(id)))
                appendNameEntry(static_cast<int>(k), static_cast<int>(id));
    }
    if (c.kind == Kind::Redone) {
        // A person added again is shown as the addition showed him.
        const auto [first, end] = c.added(TableId::Staff);
        for (std::size_t id = first; id < end; ++id) showStaff(static_cast<int>(id));
    }
    // Undo and redo: the person on screen shows his restored values.
    if ((c.kind == Kind::Undone || c.kind == Kind::Redone) &&
        (c.touches(TableId::Staff) || c.touches(TableId::Players) || c.touches(TableId::NonPlayers) ||
         c.touches(TableId::Clubs) || c.touches(TableId::FirstNames) || c.touches(TableId::SecondNames) ||
         c.touches(TableId::CommonNames)))
        ListBoxStaffClick();
}

void StaffPage::bindControls()
{
    auto edit = [this](const char* name) { return findChild<QLineEdit*>(QString::fromLatin1(name)); };
    auto combo = [this](const char* name) { return findChild<QComboBox*>(QString::fromLatin1(name)); };

    for (const auto& b : staff::kNames) {
        names_.push_back(combo(b.control));
        attachModel(names_.back());
    }
    for (const auto& b : staff::kNations) {
        nations_.push_back(combo(b.control));
        attachModel(nations_.back());
    }
    for (const auto& b : staff::kCodes) {
        QComboBox* c = combo(b.control);
        for (int i = 0; i < b.count; ++i) c->addItem(caption(b.captions[i]));
        c->setCurrentIndex(-1);
        codes_.push_back(c);
    }
    for (const auto& b : staff::kPreferences) {
        auto* list = findChild<QListView*>(QString::fromLatin1(b.control));
        attachModel(list);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        preferences_.push_back(list);
    }
    for (const auto& b : staff::kGeneralNumbers) generalNumbers_.push_back(edit(b.control));
    for (const auto& b : staff::kNonPlayerNumbers) nonPlayerNumbers_.push_back(edit(b.control));
    for (const auto& b : staff::kPlayerNumbers) playerNumbers_.push_back(edit(b.control));
    for (const auto& b : staff::kDates) dates_.push_back({edit(b.day), edit(b.month), edit(b.year)});
    clubValuation_ = edit(staff::kClubValuation.control);
    nationContract_ = edit(staff::kNationContract);
    club_ = edit(staff::kClub);
    jobForNation_ = combo(staff::kJobForNation);
    jobForClub_ = combo(staff::kJobForClub);
    playingSquad_ = combo(staff::kPlayingSquad);
    classification_ = combo(staff::kClassification);
    formation_ = combo(staff::kFormation);
    ui->ListBoxStaff->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void StaffPage::fillLists()
{
    for (std::size_t k = 0; k < std::size(staff::kNames); ++k) {
        // Names are never renamed, so their rows can read the table when drawn.
        const db::NameKind kind = staff::kNames[k].kind;
        recordModel(names_[k])->setRecords(allRecords(ctx_.db.names(kind).size()), nameTexts(ctx_.db, kind));
        names_[k]->setCurrentIndex(-1);
    }
    const bool nationsComplete = ctx_.db.stepComplete(db::LoadStep::Nations);
    for (std::size_t k = 0; k < std::size(staff::kNations); ++k) {
        std::vector<RecordListModel::Row> rows;
        rows.reserve(ctx_.db.nations.size() + 1);
        for (std::size_t i = 0; i < ctx_.db.nations.size(); ++i)
            rows.push_back(
                {fromRaw(ctx_.db.nations[i].text(db::NationRecord::NationName)), static_cast<int>(i)});
        if (nationsComplete) rows.push_back({caption(staff::kNations[k].extraText), -1});
        recordModel(nations_[k])->setRows(std::move(rows));
        nations_[k]->setCurrentIndex(-1);
    }
}

void StaffPage::clearLists()
{
    for (QComboBox* c : names_) recordModel(c)->clear();
    for (QComboBox* c : nations_) recordModel(c)->clear();
    for (QListView* l : preferences_) recordModel(l)->clear();
    recordModel(ui->ListBoxStaff)->clear();
    shownStaff_ = -1;
}

int StaffPage::selectedStaffId() const
{
    const int position = recordModel(ui->ListBoxStaff)->recordAt(selectedRow(ui->ListBoxStaff));
    if (!isValidRef(position, ctx_.db.staff.size())) return -1;
    const std::int32_t id = ctx_.db.staff[static_cast<std::size_t>(position)].get(db::StaffRecord::StaffId);
    return isValidRef(id, ctx_.db.staff.size()) ? id : -1;
}

// ---- Search and reset ---------------------------------------------------------

void StaffPage::Button7Click()
{
    RecordListModel* model = recordModel(ui->ListBoxStaff);
    model->clear();
    WaitCursor wait;
    model->setRecords(db::searchStaff(ctx_.db, toRaw(ui->StaffSearch->text())), staffDisplayNames(ctx_.db));
}

void StaffPage::Button8Click()
{
    ui->StaffSearch->clear();
    recordModel(ui->ListBoxStaff)->clear();
}

void StaffPage::showStaff(int staffId, const QString& text)
{
    ui->StaffSearch->clear();
    RecordListModel* model = recordModel(ui->ListBoxStaff);
    model->clear();
    if (!isValidRef(staffId, ctx_.db.staff.size())) return;
    model->append(
        text.isEmpty() ? fromRaw(ctx_.db.staff[static_cast<std::size_t>(staffId)].displayName) : text,
        staffId);
    selectRow(ui->ListBoxStaff, 0);
    ListBoxStaffClick();
    bringTabToFront(this);
}

// ---- Names ------------------------------------------------------------------------

void StaffPage::openNames(int kind)
{
    if (ctx_.namesForm) ctx_.namesForm->open(kind);
}

void StaffPage::Button4Click()
{
    openNames(0);
}

void StaffPage::Button5Click()
{
    openNames(1);
}

void StaffPage::Button10Click()
{
    openNames(2);
}

void StaffPage::appendNameEntry(int kind, int nameId)
{
    if (kind < 0 || kind >= static_cast<int>(std::size(staff::kNames))) return;
    const auto& table = ctx_.db.names(staff::kNames[kind].kind);
    if (!isValidRef(nameId, table.size())) return;
    QComboBox* c = names_[static_cast<std::size_t>(kind)];
    RecordListModel* model = recordModel(c);
    model->append(fromRaw(table[static_cast<std::size_t>(nameId)].text(db::NameRecord::Name)), nameId);
    c->setCurrentIndex(model->size() - 1);
}

// ---- Preference lists, club jump, transfer --------------------------------------------

void StaffPage::openPicker(int preference)
{
    if (selectedStaffId() < 0) return;
    if (!ctx_.navigation) return;
    const staff::PreferenceBinding& b = staff::kPreferences[preference];
    // The picker hands its choice back; it goes into the list as it is when
    // the user chooses.
    QListView* list = preferences_[static_cast<std::size_t>(preference)];
    auto put = [list](int record, const QString& text) { replaceSelectedEntry(list, record, text); };
    if (b.clubs)
        ctx_.navigation->pickClub(b.pickTarget, put);
    else
        ctx_.navigation->pickStaff(b.pickTarget, put);
}

void StaffPage::StaffFavStaffClick()
{
    openPicker(0);
}

void StaffPage::StaffDisStaffClick()
{
    openPicker(1);
}

void StaffPage::StaffFavClubsClick()
{
    openPicker(2);
}

void StaffPage::StaffDisClubsClick()
{
    openPicker(3);
}

void StaffPage::Button11Click()
{
    const int id = selectedStaffId();
    if (id < 0) return;
    const std::int32_t clubId =
        ctx_.db.staff[static_cast<std::size_t>(id)].get(db::StaffRecord::ClubContractedId);
    if (clubId == -2) {
        if (ctx_.messages) ctx_.messages->warning(QStringLiteral("Player has no club!"));
        return;
    }
    // Any other value that names no club (say -1 from another tool) has
    // nowhere to go: nothing happens.
    if (isValidRef(clubId, ctx_.db.clubs.size()) && ctx_.navigation) ctx_.navigation->goToClub(clubId);
}

void StaffPage::Button9Click()
{
    const int id = selectedStaffId();
    if (id < 0 || !ctx_.navigation) return;
    const db::StaffRecord& s = ctx_.db.staff[static_cast<std::size_t>(id)];
    ctx_.navigation->openTransfer(s.get(db::StaffRecord::StaffId), fromRaw(s.displayName),
                                  s.get(db::StaffRecord::ClubContractedId), jobForClub_->currentIndex(),
                                  classification_->currentIndex() == db::Classification::NonPlayer);
}

void StaffPage::revealField(db::TableId t, const db::FieldInfo& f)
{
    const std::string_view control = staff::controlOfField(t, f);
    if (!control.empty())
        revealControl(this, QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size())));
}

#include "ClubPage.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>

#include "db/editing/NewClub.h"
#include "db/format/Codes.h"
#include "db/query/Search.h"
#include "db/rules/TextRules.h"
#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/EditStep.h"
#include "kit/ListActions.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "kit/Tabs.h"
#include "kit/WindowUtil.h"
#include "ui_ClubPage.h"

using clubs::Binding;
using clubs::Kind;
using clubs::Source;

namespace {

QString name(std::string_view s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Puts one field of a record into its control.
template <class Rec>
void showField(const db::Database& d, const Binding& b, QWidget* w, const Rec& r)
{
    switch (b.kind) {
        case Kind::Text:
            if (auto* e = qobject_cast<QLineEdit*>(w)) {
                e->setText(fromRaw(r.text(b.text)));
                e->setCursorPosition(0);
            }
            break;
        case Kind::Number:
            if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(QString::number(r.number(b.num)));
            break;
        case Kind::Reference:
            if (auto* c = qobject_cast<QComboBox*>(w))
                c->setCurrentIndex(clubs::referenceRow(r.number(b.num), clubs::sourceCount(d, b.source)));
            break;
        case Kind::Code:
            if (auto* c = qobject_cast<QComboBox*>(w))
                c->setCurrentIndex(clubs::codeRow(r.number(b.num), b.codeCount));
            break;
        case Kind::Flag:
            if (auto* c = qobject_cast<QCheckBox*>(w)) c->setChecked(r.number(b.num) != 0);
            break;
    }
}

// What a control shows when there is no record behind it.
void showNothing(const db::Database& d, const Binding& b, QWidget* w)
{
    switch (b.kind) {
        case Kind::Text:
        case Kind::Number:
            if (auto* e = qobject_cast<QLineEdit*>(w)) e->clear();
            break;
        case Kind::Reference:
            if (auto* c = qobject_cast<QComboBox*>(w))
                c->setCurrentIndex(static_cast<int>(clubs::sourceCount(d, b.source)));
            break;
        case Kind::Code:
            if (auto* c = qobject_cast<QComboBox*>(w)) c->setCurrentIndex(0);
            break;
        case Kind::Flag:
            if (auto* c = qobject_cast<QCheckBox*>(w)) c->setChecked(false);
            break;
    }
}

// Stores one control into its field of a record.
template <class Rec>
void storeField(const db::Database& d, const Binding& b, const QWidget* w, Rec& r)
{
    switch (b.kind) {
        case Kind::Text:
            if (auto* e = qobject_cast<const QLineEdit*>(w)) r.setText(b.text, toRaw(e->text()));
            break;
        case Kind::Number:
            if (auto* e = qobject_cast<const QLineEdit*>(w))
                r.setNumber(b.num, db::textToNumber(toRaw(e->text())));
            break;
        case Kind::Reference:
            if (auto* c = qobject_cast<const QComboBox*>(w))
                r.setNumber(b.num,
                            clubs::storedReference(c->currentIndex(), clubs::sourceCount(d, b.source)));
            break;
        case Kind::Code:
            if (auto* c = qobject_cast<const QComboBox*>(w))
                r.setNumber(b.num, clubs::codeRow(c->currentIndex(), b.codeCount));
            break;
        case Kind::Flag:
            if (auto* c = qobject_cast<const QCheckBox*>(w)) r.setNumber(b.num, c->isChecked() ? 255 : 0);
            break;
    }
}

template <class Rec>
std::vector<RecordListModel::Row> namedRows(const db::Table<Rec>& table, db::TextField field, std::size_t n)
{
    std::vector<RecordListModel::Row> rows;
    rows.reserve(n + 1);
    for (std::size_t i = 0; i < n && i < table.size(); ++i)
        rows.push_back({fromRaw(table[i].text(field)), -1});
    return rows;
}

// Fills each combo with the rows, plus `extra` when the table loaded whole.
void fillCombos(std::initializer_list<QComboBox*> combos, std::vector<RecordListModel::Row> rows,
                bool complete, std::string_view extra)
{
    if (complete) rows.push_back({name(extra), -1});
    for (QComboBox* c : combos) attachModel(c)->setRows(rows);
}

}  // namespace

ClubPage::ClubPage(AppContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), ui(std::make_unique<Ui::ClubPage>())
{
    ui->setupUi(this);

    for (const Binding& b : clubs::kClubFields) clubControls_.push_back(control(b.control));
    for (const clubs::StadiumPage& p : clubs::kStadiumPages) {
        std::vector<QWidget*> controls;
        for (const Binding& b : clubs::kStadiumFields)
            controls.push_back(control(name(p.prefix) + name(b.control)));
        stadiumControls_.push_back(std::move(controls));
    }

    for (QListView* v : {ui->ListBoxClubs, ui->ClubRivalClubs, ui->ClubFavStaff, ui->ClubDisStaff,
                         ui->ClubStaff, ui->ClubPlayers})
        attachModel(v);
    for (QComboBox* c : findChildren<QComboBox*>()) attachModel(c);
    RecordListModel* pro = recordModel(ui->ClubProStatus);
    for (std::string_view s : db::kProStatusNames) pro->append(name(s));
    RecordListModel* day = recordModel(ui->ClubMatchday);
    for (std::string_view s : db::kMatchdayNames) day->append(name(s));

    // The three-entry lists are exactly three lines high.
    for (QListView* v : {ui->ClubRivalClubs, ui->ClubFavStaff, ui->ClubDisStaff}) {
        const int line = v->fontMetrics().height() + 3;
        v->setFixedHeight(3 * line + 2 * v->frameWidth() + 2);
    }
    onLeftDoubleClick(ui->ClubRivalClubs, [this] { ClubRivalClubsDblClick(); });
    onLeftDoubleClick(ui->ClubFavStaff, [this] { ClubFavStaffDblClick(); });
    onLeftDoubleClick(ui->ClubDisStaff, [this] { ClubDisStaffDblClick(); });
    onLeftDoubleClick(ui->ClubPlayers, [this] { ClubPlayersDblClick(); });
    onLeftDoubleClick(ui->ClubStaff, [this] { ClubStaffDblClick(); });
    // The selected club is the one on screen, and the one Confirm Changes writes.
    keepSelection(ui->ListBoxClubs);
    addWhereUsedMenu(ui->ListBoxClubs, [this] {
        if (selectedClubId() >= 0 && ctx_.navigation)
            ctx_.navigation->showWhereUsed(db::TableId::Clubs, static_cast<std::size_t>(selectedClubId()));
    });

    // The sub-pages are chosen by a row of buttons.
    auto* sheets = new QButtonGroup(this);
    sheets->addButton(ui->ClubGeneralButton, 0);
    sheets->addButton(ui->ClubOthersButton, 1);
    sheets->addButton(ui->ClubStaffButton, 2);
    ui->ClubGeneralButton->setChecked(true);
    ui->ClubSheets->setCurrentIndex(0);
    connect(sheets, &QButtonGroup::idClicked, ui->ClubSheets, &QStackedWidget::setCurrentIndex);
    // A sub-page chosen from elsewhere (a jump to one field) lights its button.
    connect(ui->ClubSheets, &QStackedWidget::currentChanged, this, [sheets](int index) {
        if (QAbstractButton* b = sheets->button(index)) b->setChecked(true);
    });

    connect(ui->Button1, &QPushButton::clicked, this, &ClubPage::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &ClubPage::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &ClubPage::Button3Click);
    connect(ui->ClubSearch, &QLineEdit::returnPressed, this, &ClubPage::Button2Click);
    connect(ui->ListBoxClubs->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!selecting_) ListBoxClubsClick();
    });
    connect(ui->ListBoxClubs, &QListView::clicked, this, &ClubPage::ListBoxClubsClick);
    // Only the user's pick: the club display shows the details itself.
    connect(ui->ClubStadium1, &QComboBox::activated, this, &ClubPage::ClubStadium1Change);
    connect(ui->ClubStadium2, &QComboBox::activated, this, &ClubPage::ClubStadium2Change);

    connect(&ctx_.events, &DatabaseEvents::changed, this, &ClubPage::databaseChanged);
    connect(&ctx_.events, &DatabaseEvents::textChanging, this, [this](db::TableId t, int record) {
        // The club list keeps the name a club had when it was filled.
        if (t == db::TableId::Clubs) recordModel(ui->ListBoxClubs)->pinText(record);
    });
}

void ClubPage::databaseChanged(const DatabaseChange& c)
{
    using db::TableId;
    using Kind = DatabaseChange::Kind;
    if (c.kind == Kind::Unloaded) clearLists();
    if (c.kind == Kind::Loaded) fillLists();
    const db::Database& d = ctx_.db;
    followTable(recordModel(ui->ListBoxClubs), TableId::Clubs, c, d.clubs.size(), clubLongNames(d));
    if (c.removes(TableId::Clubs)) recordModel(ui->ClubRivalClubs)->dropMissing(d.clubs.size());
    if (c.removes(TableId::Staff))
        for (QListView* v : {ui->ClubFavStaff, ui->ClubDisStaff, ui->ClubPlayers, ui->ClubStaff})
            recordModel(v)->dropMissing(d.staff.size());
    // Undo and redo: the club on screen shows its restored values.
    if ((c.kind == Kind::Undone || c.kind == Kind::Redone) &&
        (c.touches(TableId::Clubs) || c.touches(TableId::Stadiums) || c.touches(TableId::Staff)))
        ListBoxClubsClick();
}

ClubPage::~ClubPage() = default;

QWidget* ClubPage::control(std::string_view controlName) const
{
    return control(name(controlName));
}

QWidget* ClubPage::control(const QString& controlName) const
{
    QWidget* w = findChild<QWidget*>(controlName);
    Q_ASSERT_X(w, "ClubPage", qPrintable(controlName));
    return w;
}

// ---- Lists -------------------------------------------------------------------

void ClubPage::fillLists()
{
    const db::Database& d = ctx_.db;
    using db::LoadStep;
    fillCombos({ui->Stadium1City, ui->Stadium2City},
               namedRows(d.cities, db::CityRecord::CityName, d.cities.size()),
               d.stepComplete(LoadStep::Cities), db::kUnknown);
    listAllClubsFrom(d.clubs.size());
    fillCombos({ui->ClubDivision, ui->ClubLastDivision, ui->ClubResDivision},
               namedRows(d.clubComps, db::ClubCompRecord::ClubCompName, d.clubComps.size()),
               d.stepComplete(LoadStep::ClubComps), db::kUnknown);
    fillCombos({ui->ClubFg1, ui->ClubBg1, ui->ClubFg2, ui->ClubBg2, ui->ClubFg3, ui->ClubBg3},
               namedRows(d.colours, db::ColourRecord::ColourName, d.colours.size()),
               d.stepComplete(LoadStep::Colours), db::kUnknown);
    fillCombos({ui->ClubNation}, namedRows(d.nations, db::NationRecord::NationName, d.nations.size()),
               d.stepComplete(LoadStep::Nations), db::kUnknown);
    const auto stadiums = namedRows(d.stadiums, db::StadiumRecord::StadiumName, d.stadiums.size());
    const bool stadiumsComplete = d.stepComplete(LoadStep::Stadiums);
    fillCombos({ui->ClubStadium1}, stadiums, stadiumsComplete, db::kUnknown);
    fillCombos({ui->ClubStadium2, ui->Stadium1Nearby, ui->Stadium2Nearby}, stadiums, stadiumsComplete,
               db::kNone);
}

void ClubPage::clearLists()
{
    for (QComboBox* c : findChildren<QComboBox*>())
        if (c != ui->ClubProStatus && c != ui->ClubMatchday) recordModel(c)->clear();
    // The lists that show a club hold positions in tables that are about to
    // be refilled.
    for (QListView* v : {ui->ListBoxClubs, ui->ClubRivalClubs, ui->ClubFavStaff, ui->ClubDisStaff,
                         ui->ClubStaff, ui->ClubPlayers})
        recordModel(v)->clear();
}

void ClubPage::listAllClubsFrom(std::size_t n)
{
    const db::Database& d = ctx_.db;
    recordModel(ui->ListBoxClubs)->setRecords(allRecords(std::min(n, d.clubs.size())), clubLongNames(d));
}

// ---- Search and Reset --------------------------------------------------------

void ClubPage::Button2Click()
{
    WaitCursor wait;
    const db::Database& d = ctx_.db;
    recordModel(ui->ListBoxClubs)
        ->setRecords(db::searchClubs(d, toRaw(ui->ClubSearch->text())), clubLongNames(d));
}

void ClubPage::Button3Click()
{
    ui->ClubSearch->clear();
    listAllClubsFrom(db::listedCount(ctx_.db, db::Entry::Clubs, ctx_.db.clubs.size()));
}

// ---- Display -----------------------------------------------------------------

int ClubPage::selectedClubId() const
{
    const auto& clubTable = ctx_.db.clubs;
    const int record = recordModel(ui->ListBoxClubs)->recordAt(selectedRow(ui->ListBoxClubs));
    if (!db::isValidRef(record, clubTable.size())) return -1;
    const std::int32_t id = clubTable[static_cast<std::size_t>(record)].get(db::ClubRecord::ClubId);
    return db::isValidRef(id, clubTable.size()) ? id : -1;
}

void ClubPage::ListBoxClubsClick()
{
    const int id = selectedClubId();
    if (id >= 0) showClub(id);
}

void ClubPage::showClub(int clubId)
{
    const db::Database& d = ctx_.db;
    const db::ClubRecord& club = d.clubs[static_cast<std::size_t>(clubId)];

    for (std::size_t i = 0; i < clubs::kClubFields.size(); ++i)
        showField(d, clubs::kClubFields[i], clubControls_[i], club);

    for (std::size_t p = 0; p < clubs::kStadiumPages.size(); ++p) {
        auto* selector = qobject_cast<QComboBox*>(control(clubs::kStadiumPages[p].selector));
        selector->setCurrentIndex(
            clubs::referenceRow(club.get(clubs::kStadiumPages[p].field), d.stadiums.size()));
        showStadium(static_cast<int>(p));
    }

    for (const clubs::EntryList& list : clubs::kEntryLists) {
        std::vector<RecordListModel::Row> rows;
        for (int record : clubs::entryRecords(d, club, list)) {
            if (record < 0)
                rows.push_back({name(db::kNone), -1});
            else if (list.source == Source::Clubs)
                rows.push_back(
                    {fromRaw(d.clubs[static_cast<std::size_t>(record)].text(db::ClubRecord::LongName)),
                     record});
            else
                rows.push_back({fromRaw(d.staff[static_cast<std::size_t>(record)].displayName), record});
        }
        recordModel(qobject_cast<QListView*>(control(list.control)))->setRows(std::move(rows));
    }

    std::vector<RecordListModel::Row> management;
    for (const clubs::StaffLine& line : clubs::managementLines(d, club))
        management.push_back(
            {name(line.prefix) + fromRaw(d.staff[static_cast<std::size_t>(line.staff)].displayName),
             line.staff});
    recordModel(ui->ClubStaff)->setRows(std::move(management));
    std::vector<RecordListModel::Row> players;
    for (int id : clubs::playerLines(d, club))
        players.push_back({fromRaw(d.staff[static_cast<std::size_t>(id)].displayName), id});
    recordModel(ui->ClubPlayers)->setRows(std::move(players));
}

void ClubPage::showStadium(int page)
{
    const db::Database& d = ctx_.db;
    const clubs::StadiumPage& p = clubs::kStadiumPages[static_cast<std::size_t>(page)];
    const std::vector<QWidget*>& controls = stadiumControls_[static_cast<std::size_t>(page)];
    const int s = qobject_cast<QComboBox*>(control(p.selector))->currentIndex();
    const bool named = db::isValidRef(s, d.stadiums.size());
    for (std::size_t i = 0; i < clubs::kStadiumFields.size(); ++i) {
        if (named)
            showField(d, clubs::kStadiumFields[i], controls[i], d.stadiums[static_cast<std::size_t>(s)]);
        else
            showNothing(d, clubs::kStadiumFields[i], controls[i]);
    }
}

void ClubPage::ClubStadium1Change()
{
    showStadium(0);
}

void ClubPage::ClubStadium2Change()
{
    showStadium(1);
}

// ---- Confirm Changes ---------------------------------------------------------

EditStep ClubPage::confirmStep(int clubId) const
{
    const db::Database& d = ctx_.db;
    EditStep step(
        ctx_, confirmStepText(db::isValidRef(clubId, d.clubs.size())
                                  ? d.clubs[static_cast<std::size_t>(clubId)].text(db::ClubRecord::LongName)
                                  : std::string()));
    step.touch(db::TableId::Clubs, clubId);
    // The stadiums the page has chosen take the details typed for them.
    for (const clubs::StadiumPage& p : clubs::kStadiumPages)
        step.touch(db::TableId::Stadiums, qobject_cast<QComboBox*>(control(p.selector))->currentIndex());
    return step;
}

void ClubPage::Button1Click()
{
    const int id = selectedClubId();
    if (id < 0) return;
    const EditStep step = confirmStep(id);
    db::Database& d = ctx_.db;
    db::ClubRecord& club = d.clubs[static_cast<std::size_t>(id)];

    ctx_.events.announceTextChange(db::TableId::Clubs, id);
    for (std::size_t i = 0; i < clubs::kClubFields.size(); ++i)
        storeField(d, clubs::kClubFields[i], clubControls_[i], club);

    for (std::size_t p = 0; p < clubs::kStadiumPages.size(); ++p) {
        const clubs::StadiumPage& page = clubs::kStadiumPages[p];
        const int s = qobject_cast<QComboBox*>(control(page.selector))->currentIndex();
        if (!db::isValidRef(s, d.stadiums.size())) {
            // Details typed for no stadium have nowhere to go.
            club.set(page.field, -2);
            continue;
        }
        club.set(page.field, s);
        db::StadiumRecord& stadium = d.stadiums[static_cast<std::size_t>(s)];
        for (std::size_t i = 0; i < clubs::kStadiumFields.size(); ++i)
            storeField(d, clubs::kStadiumFields[i], stadiumControls_[p][i], stadium);
    }

    for (const clubs::EntryList& list : clubs::kEntryLists) {
        const RecordListModel* m = recordModel(qobject_cast<QListView*>(control(list.control)));
        // Entries past the third (a picker appended with nothing selected)
        // have no slot; a list that lost lines keeps the slots it lacks.
        for (int k = 0; k < list.field.count && k < m->size(); ++k)
            club.setId(list.field, k,
                       clubs::storedEntry(d, list.source, toRaw(m->textAt(k)), m->recordAt(k)));
    }
}

// ---- Adding and jumping ------------------------------------------------------

void ClubPage::addClub()
{
    bringTabToFront(this);
    Button3Click();
    // Every club list, this page's too, takes the new club when the step
    // announces it.
    const EditStep step(ctx_, QStringLiteral("New Club"));
    try {
        ctx_.db.appendClub(db::composeNewClub(ctx_.db));
    } catch (const db::Error& e) {
        if (ctx_.messages) ctx_.messages->failure(QString::fromStdString(e.what()));
    }
}

void ClubPage::goToClub(int clubId)
{
    // Callers check the identifier; one that names no listed club changes nothing.
    if (!db::isValidRef(clubId, db::listedCount(ctx_.db, db::Entry::Clubs, ctx_.db.clubs.size()))) return;
    Button3Click();
    selecting_ = true;
    selectRow(ui->ListBoxClubs, clubId);
    selecting_ = false;
    ListBoxClubsClick();
    bringTabToFront(this);
}

// The pickers hand their choice back; it goes into the list as it is when
// the user chooses (another club may be on screen by then).
void ClubPage::ClubRivalClubsDblClick()
{
    if (ctx_.navigation)
        ctx_.navigation->pickClub(0, [this](int record, const QString& text) {
            replaceSelectedEntry(ui->ClubRivalClubs, record, text);
        });
}

void ClubPage::ClubFavStaffDblClick()
{
    if (ctx_.navigation)
        ctx_.navigation->pickStaff(0, [this](int record, const QString& text) {
            replaceSelectedEntry(ui->ClubFavStaff, record, text);
        });
}

void ClubPage::ClubDisStaffDblClick()
{
    if (ctx_.navigation)
        ctx_.navigation->pickStaff(1, [this](int record, const QString& text) {
            replaceSelectedEntry(ui->ClubDisStaff, record, text);
        });
}

void ClubPage::ClubPlayersDblClick()
{
    jumpToStaff(ui->ClubPlayers);
}

void ClubPage::ClubStaffDblClick()
{
    jumpToStaff(ui->ClubStaff);
}

void ClubPage::jumpToStaff(QListView* list)
{
    const auto& staff = ctx_.db.staff;
    const int record = recordModel(list)->recordAt(selectedRow(list));
    if (!db::isValidRef(record, staff.size())) return;
    const std::int32_t staffId = staff[static_cast<std::size_t>(record)].get(db::StaffRecord::StaffId);
    if (!db::isValidRef(staffId, staff.size()) || !ctx_.navigation) return;
    ctx_.navigation->showStaff(staffId);
}

void ClubPage::revealField(const db::FieldInfo& f)
{
    const std::string_view control = clubs::controlOfField(f);
    if (!control.empty())
        revealControl(this, QString::fromLatin1(control.data(), static_cast<qsizetype>(control.size())));
}

#include "StaffFixture.h"

#include <QApplication>

#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "db/format/Codes.h"
#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "staff/NamesForm.h"
#include "staff/StaffPage.h"

using namespace db;

namespace {

void addNames(Database& d, NameKind kind, std::initializer_list<const char*> texts)
{
    for (const char* t : texts) d.appendName(kind, t);
    for (auto& n : d.names(kind)) n.set(NameRecord::UsageCount, 3);
}

void setDate(StaffRecord& s, DateField f, std::uint16_t dayOfYear, std::int16_t year)
{
    s.set(f.dayOfYear(), dayOfYear);
    s.set(f.year(), year);
    // The reserved half of a date must travel untouched.
    s.set(I32Field{static_cast<std::uint16_t>(f.offset + 4)}, 0x5A5A1234);
}

StaffRecord person(std::int32_t first, std::int32_t second, std::uint8_t classification)
{
    StaffRecord s;
    s.set(StaffRecord::FirstNameId, first);
    s.set(StaffRecord::SecondNameId, second);
    s.set(StaffRecord::CommonNameId, 0);
    s.set(StaffRecord::Classification, classification);
    s.set(StaffRecord::NationId, 0);
    s.set(StaffRecord::SecondNationId, 1);
    s.set(StaffRecord::NationContractedId, -2);
    s.set(StaffRecord::ClubContractedId, -2);
    s.set(StaffRecord::PlayingSquad, 1);
    s.fill(StaffRecord::Reserved24, 0x24);
    s.set(StaffRecord::Reserved149, 149);
    s.fillIds(StaffRecord::FavouriteClubs, -2);
    s.fillIds(StaffRecord::DislikedClubs, -2);
    s.fillIds(StaffRecord::FavouriteStaff, -2);
    s.fillIds(StaffRecord::DislikedStaff, -2);
    setDate(s, StaffRecord::DateOfBirth, 100, 1970);
    setDate(s, StaffRecord::NationJoinDate, 0, 1990);
    setDate(s, StaffRecord::NationContractEnd, 364, 2001);
    setDate(s, StaffRecord::ClubJoinDate, 31, 1998);
    setDate(s, StaffRecord::ClubContractEnd, 180, 2002);
    for (std::uint16_t o = 86; o < 94; ++o) s.set(U8Field{o}, static_cast<std::uint8_t>(o - 80));
    return s;
}

PlayerRecord player(std::uint8_t seed)
{
    PlayerRecord p;
    for (std::size_t i = 4; i < PlayerRecord::Size; ++i)
        p.bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) % 21);
    p.set(PlayerRecord::CurrentAbility, 120);
    p.set(PlayerRecord::PotentialAbility, -1);
    p.set(PlayerRecord::Reserved69, 0xAB);
    return p;
}

NonPlayerRecord nonPlayer(std::uint8_t seed)
{
    NonPlayerRecord n;
    for (std::size_t i = 4; i < NonPlayerRecord::Size; ++i)
        n.bytes[i] = static_cast<std::uint8_t>((i * 5 + seed) % 21);
    n.set(NonPlayerRecord::CurrentAbility, 150);
    n.set(NonPlayerRecord::PotentialAbility, -2);
    n.fillIds(NonPlayerRecord::Reserved35, -1);
    n.set(NonPlayerRecord::Formation, 3);
    return n;
}

Database buildDatabase()
{
    Database d = Database::withEmptyIndex();
    addNames(d, NameKind::First,
             {"Alan", "Bob", "Carl", "Dirk", "Emil", "Finn", "Gus", "Hugo", "Ivan", "Jens"});
    addNames(d, NameKind::Second, {"Smith", "Johnson", "Larsson", "SONNY", "Brown"});
    addNames(d, NameKind::Common, {"Pele", "Kaka"});
    d.firstNames[5].set(NameRecord::UsageCount, 0);  // lowering it wraps to 255
    d.firstNames[9].set(NameRecord::UsageCount, 7);

    for (const char* n : {"England", "Sweden", "Norway"}) {
        NationRecord r;
        r.set(I32Field{0}, static_cast<std::int32_t>(d.nations.size()));
        r.setText(NationRecord::NationName, n);
        d.nations.push_back(r);
    }
    d.entry(Entry::Nations).set(IndexEntry::RecordCount, static_cast<std::int32_t>(d.nations.size()));
    for (int s = 0; s <= static_cast<int>(LoadStep::WizardTemplates); ++s)
        d.markStepComplete(static_cast<LoadStep>(s));

    for (const char* n : {"Alpha FC", "Beta United"}) {
        ClubRecord c;
        c.setText(ClubRecord::LongName, n);
        c.fillIds(ClubRecord::PlayerIds, -1);
        d.appendClub(c);
    }

    // 0: a player with references that name nothing.
    StaffRecord p = person(5, 1, Classification::Player);
    p.set(StaffRecord::NationId, -2);
    p.set(StaffRecord::SecondNationId, 99);
    p.set(StaffRecord::JobForClub, 17);
    p.set(StaffRecord::ClubContractedId, 0);
    p.set(StaffRecord::NationContractedId, 1);
    p.set(StaffRecord::JobForNation, 11);
    p.setId(StaffRecord::FavouriteClubs, 0, 1);
    p.setId(StaffRecord::FavouriteClubs, 1, 3);  // a staff id, not a club id
    p.setId(StaffRecord::FavouriteClubs, 2, -1);
    p.setId(StaffRecord::FavouriteStaff, 0, 1);
    p.setId(StaffRecord::FavouriteStaff, 1, -1);
    p.setId(StaffRecord::FavouriteStaff, 2, 3);
    p.setId(StaffRecord::DislikedStaff, 1, 4000);
    setDate(p, StaffRecord::DateOfBirth, 59, 1975);
    p.set(StaffRecord::Wage, -5);
    p.set(StaffRecord::Value, 1000000);
    p.set(StaffRecord::InternationalCaps, 200);
    p.set(StaffRecord::ClubValuation, 250);
    d.appendStaff(p, std::nullopt, player(1));

    // 1: a non-player whose formation is past the formation codes.
    StaffRecord np = person(0, 0, Classification::NonPlayer);
    np.set(StaffRecord::SecondNationId, -1);
    np.set(StaffRecord::ClubContractedId, 1);
    np.set(StaffRecord::JobForClub, 5);
    NonPlayerRecord npr = nonPlayer(1);
    npr.set(NonPlayerRecord::Formation, 10);
    d.appendStaff(np, npr, std::nullopt);

    // 2: a youth player whose links name person 3's records.
    d.appendStaff(person(2, 2, 4), std::nullopt, std::nullopt);

    // 3: both records.
    d.appendStaff(person(3, 3, Classification::NonPlayerAndPlayer), nonPlayer(2), player(2));
    d.staff[2].set(StaffRecord::PlayerId, 1);
    d.staff[2].set(StaffRecord::NonPlayerId, 1);

    // 4 and 5: classifications whose links name no record.
    StaffRecord bp = person(4, 4, Classification::Player);
    bp.set(StaffRecord::ClubContractedId, -1);
    d.appendStaff(bp, std::nullopt, std::nullopt);
    d.staff[4].set(StaffRecord::PlayerId, 999);
    d.appendStaff(person(6, 0, Classification::NonPlayer), std::nullopt, std::nullopt);
    d.staff[5].set(StaffRecord::NonPlayerId, -5);

    // 6: identifiers from a hostile file.
    StaffRecord h = person(-7, -7, 0);
    h.set(StaffRecord::CommonNameId, -7);
    h.set(StaffRecord::ClubContractedId, 2000000000);
    h.set(StaffRecord::NationId, 2000000000);
    h.set(StaffRecord::NationContractedId, 2000000000);
    h.fillIds(StaffRecord::FavouriteStaff, 2000000000);
    h.fillIds(StaffRecord::FavouriteClubs, 2000000000);
    h.set(StaffRecord::JobForClub, 255);
    h.set(StaffRecord::PlayingSquad, 255);
    h.set(StaffRecord::Classification, 255);
    d.appendStaff(h, std::nullopt, std::nullopt);

    for (auto& s : d.staff) s.displayName = d.buildDisplayName(s);
    return d;
}

template <typename T>
void append(std::string& out, const std::vector<T>& table)
{
    for (const auto& r : table) out.append(reinterpret_cast<const char*>(r.data()), T::Size);
    out += '|';
}

}  // namespace

QStringList rows(const QListView* view)
{
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r) out << view->model()->index(r, 0).data().toString();
    return out;
}

void useProgramFont()
{
    QFont f = QApplication::font();
    f.setPointSize(8);
    QApplication::setFont(f);
}

StaffFixture::StaffFixture()
{
    useProgramFont();
    ctx.db = buildDatabase();
    ctx.messages = &messages;
    page = std::make_unique<StaffPage>(ctx);
    names = std::make_unique<NamesForm>(ctx);
    findStaff = std::make_unique<FindStaffForm>(ctx);
    findClub = std::make_unique<FindClubForm>(ctx);
    transfer = std::make_unique<TransferForm>(ctx);
    clubPage = std::make_unique<ClubPage>(ctx);
    ctx.staffPage = page.get();
    ctx.namesForm = names.get();
    ctx.findStaffForm = findStaff.get();
    ctx.findClubForm = findClub.get();
    ctx.transferForm = transfer.get();
    ctx.clubPage = clubPage.get();
    page->fillLists();
    names->fillLists();
    findClub->fillLists();
    transfer->fillLists();
    clubPage->fillLists();
    page->resize(512, 405);
}

StaffFixture::~StaffFixture() = default;

QLineEdit* StaffFixture::edit(const char* name) const
{
    return page->findChild<QLineEdit*>(QString::fromLatin1(name));
}

QComboBox* StaffFixture::combo(const char* name) const
{
    return page->findChild<QComboBox*>(QString::fromLatin1(name));
}

QListView* StaffFixture::list(const char* name) const
{
    return page->findChild<QListView*>(QString::fromLatin1(name));
}

QPushButton* StaffFixture::button(const char* name) const
{
    return page->findChild<QPushButton*>(QString::fromLatin1(name));
}

void StaffFixture::show(int id)
{
    page->showStaff(id);
}

std::string StaffFixture::snapshot() const
{
    std::string out;
    append(out, ctx.db.index);
    append(out, ctx.db.firstNames);
    append(out, ctx.db.secondNames);
    append(out, ctx.db.commonNames);
    append(out, ctx.db.nations);
    append(out, ctx.db.clubs);
    append(out, ctx.db.staff);
    append(out, ctx.db.staffExtra);
    append(out, ctx.db.nonPlayers);
    append(out, ctx.db.players);
    for (const auto& s : ctx.db.staff) out += s.displayName.str() + '|';
    return out;
}

#include "ClubWorld.h"

#include <QTest>

#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "staff/StaffPage.h"

namespace clubtest {

namespace {

template <class Rec>
void addNamed(db::Database& d, db::Table<Rec>& table, int entry, db::TextField field,
              std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        Rec r;
        r.setText(field, n);
        table.push_back(r);
    }
    d.entry(entry).set(db::IndexEntry::RecordCount, static_cast<std::int32_t>(table.size()));
}

db::StadiumRecord stadium(const char* name, int city, int capacity, int seating, int expansion, int nearby,
                          bool covered, bool undersoil)
{
    db::StadiumRecord s;
    s.setText(db::StadiumRecord::StadiumName, name);
    s.set(db::StadiumRecord::CityId, city);
    s.set(db::StadiumRecord::Capacity, capacity);
    s.set(db::StadiumRecord::Seating, seating);
    s.set(db::StadiumRecord::Expansion, expansion);
    s.set(db::StadiumRecord::NearbyStadiumId, nearby);
    s.setFlag(db::StadiumRecord::Covered, covered);
    s.setFlag(db::StadiumRecord::UndersoilHeating, undersoil);
    return s;
}

db::ClubRecord club(const char* longName, const char* shortName)
{
    db::ClubRecord c;
    c.setText(db::ClubRecord::LongName, longName);
    c.setText(db::ClubRecord::ShortName, shortName);
    c.set(db::ClubRecord::ChairmanId, -1);
    c.fillIds(db::ClubRecord::DirectorIds, -1);
    c.set(db::ClubRecord::ManagerId, -1);
    c.set(db::ClubRecord::AssistantManagerId, -1);
    c.fillIds(db::ClubRecord::PlayerIds, -1);
    c.fillIds(db::ClubRecord::CoachIds, -1);
    c.fillIds(db::ClubRecord::ScoutIds, -1);
    c.fillIds(db::ClubRecord::PhysioIds, -1);
    c.fillIds(db::ClubRecord::FavouriteStaff, -1);
    c.fillIds(db::ClubRecord::DislikedStaff, -1);
    c.fillIds(db::ClubRecord::RivalClubs, -1);
    for (int i = 0; i < db::ClubRecord::ReservedTail.width; ++i)
        c.bytes[db::ClubRecord::ReservedTail.offset + i] = static_cast<std::uint8_t>(0xA0 + i % 7);
    c.set(db::ClubRecord::Reserved55, 0x55);
    c.set(db::ClubRecord::Reserved82, 0x82);
    return c;
}

}  // namespace

db::Database sampleDatabase()
{
    using db::ClubRecord;
    db::Database d = db::Database::withEmptyIndex();
    addNamed(d, d.cities, db::Entry::Cities, db::CityRecord::CityName, {"Lakeside", "Hillford", "Marrow"});
    addNamed(d, d.clubComps, db::Entry::ClubComps, db::ClubCompRecord::ClubCompName,
             {"Premier Division", "First Division"});
    addNamed(d, d.colours, db::Entry::Colours, db::ColourRecord::ColourName,
             {"Red", "White", "Blue", "Green"});
    addNamed(d, d.nations, db::Entry::Nations, db::NationRecord::NationName, {"Arland", "Borovia"});
    addNamed(d, d.firstNames, db::Entry::FirstNames, db::NameRecord::Name, {"John", "Ann", "Mary", "Paul"});
    addNamed(d, d.secondNames, db::Entry::SecondNames, db::NameRecord::Name,
             {"Smith", "Brown", "Stone", "Reed"});
    d.stadiums = {stadium("Old Park", 0, 20000, 15000, 5000, 1, true, false),
                  stadium("River Ground", 1, 8000, 3000, 0, -2, false, true),
                  stadium("North Bowl", 2, 45000, 45000, 1000, 0, true, true)};
    d.entry(db::Entry::Stadiums).set(db::IndexEntry::RecordCount, 3);

    const int names[][2] = {{0, 0}, {1, 1}, {0, 1}, {1, 0}, {2, 2}, {3, 3}};
    for (const auto& n : names) {
        db::StaffRecord s;
        s.set(db::StaffRecord::FirstNameId, n[0]);
        s.set(db::StaffRecord::SecondNameId, n[1]);
        s.set(db::StaffRecord::ClubContractedId, -1);
        s.displayName = d.buildDisplayName(s);
        d.appendStaff(s, std::nullopt, db::PlayerRecord{});
    }

    ClubRecord lakeside = club("Lakeside United", "Lakeside");
    lakeside.set(ClubRecord::NationId, 0);
    lakeside.set(ClubRecord::DivisionId, 0);
    lakeside.set(ClubRecord::LastDivisionId, 1);
    lakeside.set(ClubRecord::LastPosition, 3);
    lakeside.set(ClubRecord::ReserveDivisionId, 1);
    lakeside.set(ClubRecord::ProStatus, 1);
    lakeside.set(ClubRecord::Cash, -250000);
    lakeside.set(ClubRecord::StadiumId, 0);
    lakeside.set(ClubRecord::OwnStadium, 1);
    lakeside.set(ClubRecord::ReserveStadiumId, 1);
    lakeside.set(ClubRecord::Matchday, 7);
    lakeside.set(ClubRecord::AverageAttendance, 12000);
    lakeside.set(ClubRecord::MinimumAttendance, 8000);
    lakeside.set(ClubRecord::MaximumAttendance, 20000);
    lakeside.set(ClubRecord::Training, 200);
    lakeside.set(ClubRecord::Reputation, 7500);
    lakeside.set(ClubRecord::Plc, 0);
    lakeside.set(ClubRecord::HomeForeColourId, 0);
    lakeside.set(ClubRecord::HomeBackColourId, 1);
    lakeside.set(ClubRecord::AwayForeColourId, 2);
    lakeside.set(ClubRecord::AwayBackColourId, 3);
    lakeside.set(ClubRecord::ThirdForeColourId, 1);
    lakeside.set(ClubRecord::ThirdBackColourId, 2);
    lakeside.setId(ClubRecord::RivalClubs, 0, 1);
    lakeside.setId(ClubRecord::RivalClubs, 1, 2);
    lakeside.setId(ClubRecord::RivalClubs, 2, 3);
    lakeside.setId(ClubRecord::FavouriteStaff, 0, 4);
    lakeside.setId(ClubRecord::DislikedStaff, 2, 5);
    lakeside.set(ClubRecord::ChairmanId, 0);
    lakeside.setId(ClubRecord::DirectorIds, 1, 1);
    lakeside.set(ClubRecord::ManagerId, 2);
    lakeside.setId(ClubRecord::ScoutIds, 6, 3);
    lakeside.setId(ClubRecord::PlayerIds, 0, 4);
    lakeside.setId(ClubRecord::PlayerIds, 49, 5);
    d.appendClub(lakeside);

    ClubRecord hillford = club("Hillford Town", "Hillford");
    hillford.set(ClubRecord::StadiumId, 0);  // shares Old Park with Lakeside
    hillford.set(ClubRecord::ReserveStadiumId, 2);
    d.appendClub(hillford);
    d.appendClub(club("Marrow Rovers", "Rovers FC"));
    d.appendClub(club("Borovia City", "Borovia"));

    for (int s = 0; s < static_cast<int>(db::LoadStep::Count); ++s)
        d.markStepComplete(static_cast<db::LoadStep>(s));
    return d;
}

World::World(db::Database d)
{
    ctx.db = std::move(d);
    ctx.messages = &messages;
    tabs.resize(520, 434);
    page = new ClubPage(ctx);
    ctx.clubPage = page;
    auto* staffPage = new StaffPage(ctx);
    ctx.staffPage = staffPage;
    tabs.addTab(new QWidget, QStringLiteral("Main"));
    tabs.addTab(page, QStringLiteral("Clubs"));
    tabs.addTab(staffPage, QStringLiteral("Staff"));
    picker = std::make_unique<FindClubForm>(ctx);
    ctx.findClubForm = picker.get();
    ctx.findStaffForm = new FindStaffForm(ctx, &tabs);
    ctx.transferForm = new TransferForm(ctx, &tabs);
    page->fillLists();
    picker->fillLists();
    ctx.transferForm->fillLists();
    staffPage->fillLists();
    tabs.setCurrentWidget(page);
    tabs.show();
    if (!QTest::qWaitForWindowExposed(&tabs)) qWarning("the club page was not shown");
}

World::~World()
{
    ctx.findStaffForm->hide();
    ctx.transferForm->hide();
}

void World::selectClub(int row)
{
    QListView* v = list("ListBoxClubs");
    const QModelIndex idx = v->model()->index(row, 0);
    v->scrollTo(idx);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(idx).center());
}

void World::pick(const char* name, int row)
{
    QComboBox* c = combo(name);
    c->setCurrentIndex(row);
    emit c->activated(row);
}

QStringList texts(const QAbstractItemView* view)
{
    QStringList out;
    for (int r = 0; r < view->model()->rowCount(); ++r) out << view->model()->index(r, 0).data().toString();
    return out;
}

QStringList World::texts(const char* name) const
{
    return clubtest::texts(list(name));
}

std::vector<std::uint8_t> World::snapshot() const
{
    std::vector<std::uint8_t> out;
    const auto add = [&](const auto& table) {
        for (const auto& r : table) out.insert(out.end(), r.bytes.begin(), r.bytes.end());
    };
    add(ctx.db.clubs);
    add(ctx.db.stadiums);
    add(ctx.db.staff);
    add(ctx.db.index);
    add(ctx.db.nations);
    add(ctx.db.cities);
    add(ctx.db.colours);
    add(ctx.db.clubComps);
    return out;
}

}  // namespace clubtest

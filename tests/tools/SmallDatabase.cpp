#include "SmallDatabase.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "db/format/Codes.h"
#include "db/query/Checker.h"

namespace clitest {

namespace {

template <typename R>
void appendLookup(db::Table<R>& table, db::TextField field, const std::string& raw)
{
    R r;
    r.setText(field, raw);
    table.push_back(r);
}

db::ClubRecord club(const std::string& longName, const std::string& shortName)
{
    using C = db::ClubRecord;
    C c;
    c.setText(C::LongName, longName);
    c.setText(C::ShortName, shortName);
    c.set(C::NationId, 0);
    c.set(C::DivisionId, 0);
    c.set(C::LastDivisionId, -2);
    c.set(C::ReserveDivisionId, 1);  // the competition count: none
    c.set(C::StadiumId, 0);
    c.set(C::ReserveStadiumId, -1);
    for (db::I32Field f : {C::HomeForeColourId, C::HomeBackColourId, C::AwayForeColourId, C::AwayBackColourId,
                           C::ThirdForeColourId, C::ThirdBackColourId})
        c.set(f, 1);
    c.fillIds(C::FavouriteStaff, -1);
    c.fillIds(C::DislikedStaff, -1);
    c.fillIds(C::RivalClubs, -2);
    c.set(C::ChairmanId, -1);
    c.fillIds(C::DirectorIds, -1);
    c.set(C::ManagerId, -1);
    c.set(C::AssistantManagerId, -1);
    c.fillIds(C::PlayerIds, -1);
    c.fillIds(C::CoachIds, -1);
    c.fillIds(C::ScoutIds, -1);
    c.fillIds(C::PhysioIds, -1);
    return c;
}

void person(db::Database& d, int first, int second, int clubId, std::uint8_t job, std::uint8_t cls)
{
    using S = db::StaffRecord;
    S s;
    s.set(S::FirstNameId, first);
    s.set(S::SecondNameId, second);
    s.set(S::CommonNameId, -1);
    s.set(S::DateOfBirth.dayOfYear(), 58);
    s.set(S::DateOfBirth.year(), 1975);
    s.set(S::NationId, 0);
    s.set(S::SecondNationId, 2);  // the nation count: none
    s.set(S::NationContractedId, -2);
    s.set(S::ClubContractedId, clubId);
    s.set(S::JobForClub, job);
    s.set(S::Classification, cls);
    s.fillIds(S::FavouriteClubs, -2);
    s.fillIds(S::DislikedClubs, -2);
    s.fillIds(S::FavouriteStaff, -1);
    s.fillIds(S::DislikedStaff, -1);
    std::optional<db::NonPlayerRecord> np;
    std::optional<db::PlayerRecord> pl;
    if (db::Classification::hasNonPlayer(cls)) np.emplace();
    if (db::Classification::hasPlayer(cls)) pl.emplace();
    const std::int32_t id = d.appendStaff(s, np, pl);
    d.staff[static_cast<std::size_t>(id)].displayName =
        d.buildDisplayName(d.staff[static_cast<std::size_t>(id)]);
    d.firstNames[static_cast<std::size_t>(first)].set(
        db::NameRecord::UsageCount,
        static_cast<std::uint8_t>(
            d.firstNames[static_cast<std::size_t>(first)].get(db::NameRecord::UsageCount) + 1));
    d.secondNames[static_cast<std::size_t>(second)].set(
        db::NameRecord::UsageCount,
        static_cast<std::uint8_t>(
            d.secondNames[static_cast<std::size_t>(second)].get(db::NameRecord::UsageCount) + 1));
}

template <typename R>
void setCount(db::Database& d, int entry, const db::Table<R>& table)
{
    d.entry(entry).set(db::IndexEntry::RecordCount, static_cast<std::int32_t>(table.size()));
}

}  // namespace

db::Database smallDatabase()
{
    db::Database d = db::Database::withEmptyIndex();
    appendLookup(d.nations, db::NationRecord::NationName, "England");
    appendLookup(d.nations, db::NationRecord::NationName, "C\xF4te d'Ivoire");
    appendLookup(d.cities, db::CityRecord::CityName, "Quarnford");
    appendLookup(d.clubComps, db::ClubCompRecord::ClubCompName, "Premier League");
    appendLookup(d.colours, db::ColourRecord::ColourName, "White");
    appendLookup(d.colours, db::ColourRecord::ColourName, "Claret");
    db::StadiumRecord st;
    st.setText(db::StadiumRecord::StadiumName, "Quarn Park");
    st.set(db::StadiumRecord::CityId, 0);
    st.set(db::StadiumRecord::NearbyStadiumId, -2);
    d.stadiums.push_back(st);
    setCount(d, db::Entry::Nations, d.nations);
    setCount(d, db::Entry::Cities, d.cities);
    setCount(d, db::Entry::ClubComps, d.clubComps);
    setCount(d, db::Entry::Colours, d.colours);
    setCount(d, db::Entry::Stadiums, d.stadiums);

    d.appendName(db::NameKind::First, "John");
    d.appendName(db::NameKind::First, "Zo\xEB");
    d.appendName(db::NameKind::First, "Fran\xE7ois");
    d.appendName(db::NameKind::Second, "Smith");
    d.appendName(db::NameKind::Second, "O'Neil, \"Jr\"");
    d.appendName(db::NameKind::Common, "Johnny");

    d.appendClub(club("Quarn Town", "Quarn"));
    d.appendClub(club("Comma, \"Quoted\" M\xFCnchen", "M\xFCnchen"));

    person(d, 0, 0, 0, 1, 1);    // 0: chairman of club 0
    person(d, 1, 1, 0, 11, 2);   // 1: player of club 0
    person(d, 2, 0, 1, 12, 3);   // 2: player-manager of club 1
    person(d, 0, 1, -2, 11, 2);  // 3: free agent
    d.clubs[0].set(db::ClubRecord::ChairmanId, 0);
    d.clubs[0].setId(db::ClubRecord::PlayerIds, 0, 1);
    d.clubs[1].set(db::ClubRecord::ManagerId, 2);
    d.clubs[1].setId(db::ClubRecord::PlayerIds, 0, 2);
    d.staffExtra.resize(4);
    setCount(d, db::Entry::StaffExtra, d.staffExtra);
    // The staff offsets as back-to-back tables give them.
    for (int k = db::Entry::StaffExtra; k <= db::Entry::Players; ++k)
        d.entry(k).set(db::IndexEntry::TableOffset, static_cast<std::int32_t>(db::expectedStaffOffset(d, k)));
    return d;
}

namespace {

template <typename R>
void writeTable(std::ofstream& out, const db::Table<R>& table)
{
    for (const R& r : table)
        out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(R::Size));
}

template <typename R>
void writeFile(const std::filesystem::path& path, const db::Table<R>& table)
{
    std::ofstream out(path, std::ios::binary);
    writeTable(out, table);
}

}  // namespace

void writeGameFolder(const db::Database& d, const std::string& gameDir)
{
    const std::filesystem::path data = std::filesystem::path(gameDir) / "data";
    std::filesystem::create_directories(data);
    {
        std::ofstream out(data / "index.dat", std::ios::binary);
        out.write("QUARNIDX", 8);
        for (const db::IndexEntry& e : d.index)
            out.write(reinterpret_cast<const char*>(e.data()),
                      static_cast<std::streamsize>(db::IndexEntry::Size));
    }
    writeFile(data / "club.dat", d.clubs);
    writeFile(data / "colour.dat", d.colours);
    writeFile(data / "nation.dat", d.nations);
    writeFile(data / "stadium.dat", d.stadiums);
    writeFile(data / "city.dat", d.cities);
    writeFile(data / "club_comp.dat", d.clubComps);
    writeFile(data / "first_names.dat", d.firstNames);
    writeFile(data / "second_names.dat", d.secondNames);
    writeFile(data / "common_names.dat", d.commonNames);
    std::ofstream staff(data / "staff.dat", std::ios::binary);
    writeTable(staff, d.staff);
    writeTable(staff, d.staffExtra);
    writeTable(staff, d.nonPlayers);
    writeTable(staff, d.players);
}

std::string scratchFolder(const std::string& tag)
{
    static std::mt19937_64 gen{std::random_device{}()};
    const std::filesystem::path p =
        std::filesystem::temp_directory_path() / ("quarndb-cli-test-" + tag + "-" + std::to_string(gen()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p.string();
}

}  // namespace clitest

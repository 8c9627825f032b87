#include "Export.h"

#include <functional>

#include "db/format/Codes.h"
#include "db/format/FieldCatalog.h"
#include "db/rules/Win1252.h"

namespace cli {

namespace {

using db::Database;

// Collects one row; the first row also names the columns.
class Row {
public:
    Row(ExportTable& table, bool header) : table_(table), header_(header) {}
    ~Row()
    {
        if (!header_) table_.rows.push_back(std::move(cells_));
    }

    void cell(const std::string& column, Cell value)
    {
        if (header_)
            table_.columns.push_back(column);
        else
            cells_.push_back(std::move(value));
    }
    void num(const std::string& column, std::int64_t v) { cell(column, v); }
    void text(const std::string& column, const std::string& raw) { cell(column, db::win1252ToUtf8(raw)); }
    void date(const std::string& column, const db::RecordBytes<157>& rec, db::DateField f)
    {
        cell(column, formatDate(rec.get(f.dayOfYear()), rec.get(f.year())));
    }
    // A coded value and its caption; a code past the caption table has no
    // caption, so its column shows the code itself rather than nothing.
    template <std::size_t N>
    void code(const std::string& column, std::uint8_t v, const std::array<std::string_view, N>& names)
    {
        num(column, v);
        cell(column + "Name", std::string(v < N ? names[v] : std::to_string(v)));
    }

private:
    ExportTable& table_;
    bool header_;
    std::vector<Cell> cells_;
};

// The name of the record a reference names, or nothing.
using Resolver = std::function<std::optional<std::string>(std::int32_t)>;

template <typename R>
Resolver byText(const db::Table<R>& table, db::TextField field)
{
    return [&table, field](std::int32_t id) -> std::optional<std::string> {
        if (!db::isValidRef(id, table.size())) return std::nullopt;
        return table[static_cast<std::size_t>(id)].text(field);
    };
}

Resolver staffNames(const Database& db)
{
    return [&db](std::int32_t id) -> std::optional<std::string> {
        if (!db::isValidRef(id, db.staff.size())) return std::nullopt;
        return db.staff[static_cast<std::size_t>(id)].displayName;
    };
}

void ref(Row& row, const std::string& idColumn, const std::string& nameColumn, std::int32_t value,
         const Resolver& resolve)
{
    row.num(idColumn, value);
    const auto name = resolve(value);
    row.cell(nameColumn, name ? Cell(db::win1252ToUtf8(*name)) : Cell());
}

// List elements: "<base>Id1", "<base>Name1", ... or without the "Id" for
// lists whose field name has none (FavouriteStaff1, FavouriteStaffName1).
template <typename R>
void refList(Row& row, const R& rec, db::IdListField list, const std::string& base, bool withId,
             const Resolver& resolve)
{
    for (int k = 0; k < list.count; ++k) {
        const std::string n = std::to_string(k + 1);
        ref(row, base + (withId ? "Id" : "") + n, base + "Name" + n, rec.id(list, k), resolve);
    }
}

// One column per one-byte field of the record from `first` to `last`, named
// as the field catalog names them.
template <typename R>
void catalogRange(Row& row, db::TableId t, const R& rec, db::U8Field first, db::U8Field last)
{
    for (const db::FieldInfo& f : db::fieldsOf(t))
        if (f.offset >= first.offset && f.offset <= last.offset)
            row.num(std::string(f.name), rec.get(db::U8Field{f.offset}));
}

// ---- The tables ---------------------------------------------------------

template <typename R, typename Fill>
ExportTable build(const db::Table<R>& table, Fill fill)
{
    ExportTable out;
    {
        Row header(out, true);
        fill(header, R{}, std::size_t{0});
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        Row row(out, false);
        fill(row, table[i], i);
    }
    return out;
}

template <typename R>
ExportTable lookup(const db::Table<R>& table, db::TextField field, const char* column)
{
    return build(table, [&](Row& row, const R& rec, std::size_t i) {
        row.num("Id", static_cast<std::int64_t>(i));
        row.text(column, rec.text(field));
    });
}

ExportTable names(const db::Table<db::NameRecord>& table)
{
    using N = db::NameRecord;
    return build(table, [](Row& row, const N& rec, std::size_t) {
        row.num("NameId", rec.get(N::NameId));
        row.text("Name", rec.text(N::Name));
        row.num("UsageCount", rec.get(N::UsageCount));
    });
}

ExportTable stadiums(const Database& db)
{
    using S = db::StadiumRecord;
    const Resolver city = byText(db.cities, db::CityRecord::CityName);
    const Resolver stadium = byText(db.stadiums, S::StadiumName);
    return build(db.stadiums, [&](Row& row, const S& rec, std::size_t i) {
        row.num("Id", static_cast<std::int64_t>(i));
        row.text("StadiumName", rec.text(S::StadiumName));
        ref(row, "CityId", "CityName", rec.get(S::CityId), city);
        row.num("Capacity", rec.get(S::Capacity));
        row.num("Seating", rec.get(S::Seating));
        row.num("Expansion", rec.get(S::Expansion));
        ref(row, "NearbyStadiumId", "NearbyStadiumName", rec.get(S::NearbyStadiumId), stadium);
        row.num("Covered", rec.flag(S::Covered));
        row.num("UndersoilHeating", rec.flag(S::UndersoilHeating));
    });
}

ExportTable clubs(const Database& db)
{
    using C = db::ClubRecord;
    const Resolver nation = byText(db.nations, db::NationRecord::NationName);
    const Resolver comp = byText(db.clubComps, db::ClubCompRecord::ClubCompName);
    const Resolver stadium = byText(db.stadiums, db::StadiumRecord::StadiumName);
    const Resolver colour = byText(db.colours, db::ColourRecord::ColourName);
    const Resolver club = byText(db.clubs, C::LongName);
    const Resolver staff = staffNames(db);
    return build(db.clubs, [&](Row& row, const C& rec, std::size_t) {
        row.num("ClubId", rec.get(C::ClubId));
        row.text("LongName", rec.text(C::LongName));
        row.text("ShortName", rec.text(C::ShortName));
        ref(row, "NationId", "NationName", rec.get(C::NationId), nation);
        ref(row, "DivisionId", "DivisionName", rec.get(C::DivisionId), comp);
        ref(row, "LastDivisionId", "LastDivisionName", rec.get(C::LastDivisionId), comp);
        row.num("LastPosition", rec.get(C::LastPosition));
        ref(row, "ReserveDivisionId", "ReserveDivisionName", rec.get(C::ReserveDivisionId), comp);
        row.code("ProStatus", rec.get(C::ProStatus), db::kProStatusNames);
        row.num("Cash", rec.get(C::Cash));
        ref(row, "StadiumId", "StadiumName", rec.get(C::StadiumId), stadium);
        row.num("OwnStadium", rec.flag(C::OwnStadium));
        ref(row, "ReserveStadiumId", "ReserveStadiumName", rec.get(C::ReserveStadiumId), stadium);
        row.code("Matchday", rec.get(C::Matchday), db::kMatchdayNames);
        row.num("AverageAttendance", rec.get(C::AverageAttendance));
        row.num("MinimumAttendance", rec.get(C::MinimumAttendance));
        row.num("MaximumAttendance", rec.get(C::MaximumAttendance));
        row.num("Training", rec.get(C::Training));
        row.num("Reputation", rec.get(C::Reputation));
        row.num("Plc", rec.flag(C::Plc));
        ref(row, "HomeForeColourId", "HomeForeColourName", rec.get(C::HomeForeColourId), colour);
        ref(row, "HomeBackColourId", "HomeBackColourName", rec.get(C::HomeBackColourId), colour);
        ref(row, "AwayForeColourId", "AwayForeColourName", rec.get(C::AwayForeColourId), colour);
        ref(row, "AwayBackColourId", "AwayBackColourName", rec.get(C::AwayBackColourId), colour);
        ref(row, "ThirdForeColourId", "ThirdForeColourName", rec.get(C::ThirdForeColourId), colour);
        ref(row, "ThirdBackColourId", "ThirdBackColourName", rec.get(C::ThirdBackColourId), colour);
        refList(row, rec, C::FavouriteStaff, "FavouriteStaff", false, staff);
        refList(row, rec, C::DislikedStaff, "DislikedStaff", false, staff);
        refList(row, rec, C::RivalClubs, "RivalClub", false, club);
        ref(row, "ChairmanId", "ChairmanName", rec.get(C::ChairmanId), staff);
        refList(row, rec, C::DirectorIds, "Director", true, staff);
        ref(row, "ManagerId", "ManagerName", rec.get(C::ManagerId), staff);
        ref(row, "AssistantManagerId", "AssistantManagerName", rec.get(C::AssistantManagerId), staff);
        refList(row, rec, C::PlayerIds, "Player", true, staff);
        refList(row, rec, C::CoachIds, "Coach", true, staff);
        refList(row, rec, C::ScoutIds, "Scout", true, staff);
        refList(row, rec, C::PhysioIds, "Physio", true, staff);
    });
}

ExportTable staff(const Database& db)
{
    using S = db::StaffRecord;
    const Resolver first = byText(db.firstNames, db::NameRecord::Name);
    const Resolver second = byText(db.secondNames, db::NameRecord::Name);
    const Resolver common = byText(db.commonNames, db::NameRecord::Name);
    const Resolver nation = byText(db.nations, db::NationRecord::NationName);
    const Resolver club = byText(db.clubs, db::ClubRecord::LongName);
    const Resolver person = staffNames(db);
    return build(db.staff, [&](Row& row, const S& rec, std::size_t) {
        row.num("StaffId", rec.get(S::StaffId));
        row.text("Name", rec.displayName);
        ref(row, "FirstNameId", "FirstName", rec.get(S::FirstNameId), first);
        ref(row, "SecondNameId", "SecondName", rec.get(S::SecondNameId), second);
        ref(row, "CommonNameId", "CommonName", rec.get(S::CommonNameId), common);
        row.date("DateOfBirth", rec, S::DateOfBirth);
        ref(row, "NationId", "NationName", rec.get(S::NationId), nation);
        ref(row, "SecondNationId", "SecondNationName", rec.get(S::SecondNationId), nation);
        row.num("InternationalCaps", rec.get(S::InternationalCaps));
        row.num("InternationalGoals", rec.get(S::InternationalGoals));
        ref(row, "NationContractedId", "NationContractedName", rec.get(S::NationContractedId), nation);
        row.code("JobForNation", rec.get(S::JobForNation), db::kJobNames);
        row.date("NationJoinDate", rec, S::NationJoinDate);
        row.date("NationContractEnd", rec, S::NationContractEnd);
        ref(row, "ClubContractedId", "ClubContractedName", rec.get(S::ClubContractedId), club);
        row.code("JobForClub", rec.get(S::JobForClub), db::kJobNames);
        row.date("ClubJoinDate", rec, S::ClubJoinDate);
        row.date("ClubContractEnd", rec, S::ClubContractEnd);
        row.num("Wage", rec.get(S::Wage));
        row.num("Value", rec.get(S::Value));
        catalogRange(row, db::TableId::Staff, rec, S::Adaptability, S::Temperament);
        row.code("PlayingSquad", rec.get(S::PlayingSquad), db::kSquadNames);
        row.code("Classification", rec.get(S::Classification), db::kClassificationNames);
        row.num("ClubValuation", rec.get(S::ClubValuation));
        refList(row, rec, S::FavouriteClubs, "FavouriteClub", false, club);
        refList(row, rec, S::DislikedClubs, "DislikedClub", false, club);
        refList(row, rec, S::FavouriteStaff, "FavouriteStaff", false, person);
        refList(row, rec, S::DislikedStaff, "DislikedStaff", false, person);
        row.num("PlayerId", rec.get(S::PlayerId));
        row.num("NonPlayerId", rec.get(S::NonPlayerId));
    });
}

// The person whose general record links to each attribute record (the first
// one when several do), so that the attribute tables read on their own.
std::vector<std::int64_t> owners(const Database& db, std::size_t size, db::I32Field link)
{
    std::vector<std::int64_t> owner(size, -1);
    for (std::size_t i = 0; i < db.staff.size(); ++i) {
        const std::int32_t id = db.staff[i].get(link);
        if (db::isValidRef(id, size) && owner[static_cast<std::size_t>(id)] < 0)
            owner[static_cast<std::size_t>(id)] = static_cast<std::int64_t>(i);
    }
    return owner;
}

void owner(Row& row, const Database& db, const std::vector<std::int64_t>& owners, std::size_t i)
{
    const std::int64_t id = i < owners.size() ? owners[i] : -1;
    row.cell("StaffId", id >= 0 ? Cell(id) : Cell());
    row.cell("StaffName",
             id >= 0 ? Cell(db::win1252ToUtf8(db.staff[static_cast<std::size_t>(id)].displayName)) : Cell());
}

ExportTable players(const Database& db)
{
    using P = db::PlayerRecord;
    const auto who = owners(db, db.players.size(), db::StaffRecord::PlayerId);
    return build(db.players, [&](Row& row, const P& rec, std::size_t i) {
        row.num("PlayerId", rec.get(P::PlayerId));
        owner(row, db, who, i);
        row.num("SquadNumber", rec.get(P::SquadNumber));
        row.num("CurrentAbility", rec.get(P::CurrentAbility));
        row.num("PotentialAbility", rec.get(P::PotentialAbility));
        row.num("HomeReputation", rec.get(P::HomeReputation));
        row.num("CurrentReputation", rec.get(P::CurrentReputation));
        row.num("WorldReputation", rec.get(P::WorldReputation));
        catalogRange(row, db::TableId::Players, rec, P::Goalkeeper, P::WorkRate);
    });
}

ExportTable nonPlayers(const Database& db)
{
    using N = db::NonPlayerRecord;
    const auto who = owners(db, db.nonPlayers.size(), db::StaffRecord::NonPlayerId);
    return build(db.nonPlayers, [&](Row& row, const N& rec, std::size_t i) {
        row.num("NonPlayerId", rec.get(N::NonPlayerId));
        owner(row, db, who, i);
        row.num("CurrentAbility", rec.get(N::CurrentAbility));
        row.num("PotentialAbility", rec.get(N::PotentialAbility));
        row.num("HomeReputation", rec.get(N::HomeReputation));
        row.num("CurrentReputation", rec.get(N::CurrentReputation));
        row.num("WorldReputation", rec.get(N::WorldReputation));
        catalogRange(row, db::TableId::NonPlayers, rec, N::Attacking, N::WorkingWithYoungsters);
        row.code("Formation", rec.get(N::Formation), db::kFormationNames);
    });
}

}  // namespace

const std::vector<std::string>& exportTableNames()
{
    static const std::vector<std::string> names = {"clubs",   "staff",       "players",      "non-players",
                                                   "nations", "stadiums",    "cities",       "competitions",
                                                   "colours", "first-names", "second-names", "common-names"};
    return names;
}

std::optional<ExportTable> exportTable(const Database& db, std::string_view name)
{
    if (name == "clubs") return clubs(db);
    if (name == "staff") return staff(db);
    if (name == "players") return players(db);
    if (name == "non-players") return nonPlayers(db);
    if (name == "nations") return lookup(db.nations, db::NationRecord::NationName, "NationName");
    if (name == "stadiums") return stadiums(db);
    if (name == "cities") return lookup(db.cities, db::CityRecord::CityName, "CityName");
    if (name == "competitions") return lookup(db.clubComps, db::ClubCompRecord::ClubCompName, "ClubCompName");
    if (name == "colours") return lookup(db.colours, db::ColourRecord::ColourName, "ColourName");
    if (name == "first-names") return names(db.firstNames);
    if (name == "second-names") return names(db.secondNames);
    if (name == "common-names") return names(db.commonNames);
    return std::nullopt;
}

std::string formatDate(std::uint16_t dayOfYear, std::int16_t year)
{
    return db::formatGameDate(dayOfYear, year);
}

}  // namespace cli

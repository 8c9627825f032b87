#include "ClubBindings.h"

#include "db/format/Codes.h"

namespace clubs {

using db::ClubRecord;
using db::StadiumRecord;

const std::array<Binding, 23> kClubFields = {
    textBinding("ClubLongName", ClubRecord::LongName),
    textBinding("ClubShortName", ClubRecord::ShortName),
    referenceBinding("ClubNation", ClubRecord::NationId, Source::Nations),
    codeBinding("ClubProStatus", ClubRecord::ProStatus, static_cast<int>(db::kProStatusNames.size())),
    numberBinding("ClubCash", ClubRecord::Cash),
    numberBinding("ClubTraining", ClubRecord::Training),
    numberBinding("ClubReputation", ClubRecord::Reputation),
    codeBinding("ClubMatchday", ClubRecord::Matchday, static_cast<int>(db::kMatchdayNames.size())),
    flagBinding("ClubPLC", ClubRecord::Plc),
    numberBinding("ClubLastPosition", ClubRecord::LastPosition),
    referenceBinding("ClubDivision", ClubRecord::DivisionId, Source::ClubComps),
    referenceBinding("ClubLastDivision", ClubRecord::LastDivisionId, Source::ClubComps),
    referenceBinding("ClubResDivision", ClubRecord::ReserveDivisionId, Source::ClubComps),
    numberBinding("ClubAvgAtt", ClubRecord::AverageAttendance),
    numberBinding("ClubMinAtt", ClubRecord::MinimumAttendance),
    numberBinding("ClubMaxAtt", ClubRecord::MaximumAttendance),
    referenceBinding("ClubFg1", ClubRecord::HomeForeColourId, Source::Colours),
    referenceBinding("ClubFg2", ClubRecord::AwayForeColourId, Source::Colours),
    referenceBinding("ClubFg3", ClubRecord::ThirdForeColourId, Source::Colours),
    referenceBinding("ClubBg1", ClubRecord::HomeBackColourId, Source::Colours),
    referenceBinding("ClubBg2", ClubRecord::AwayBackColourId, Source::Colours),
    referenceBinding("ClubBg3", ClubRecord::ThirdBackColourId, Source::Colours),
    flagBinding("ClubOwnStadium", ClubRecord::OwnStadium),
};

const std::array<StadiumPage, 2> kStadiumPages = {
    StadiumPage{"ClubStadium1", ClubRecord::StadiumId, "Stadium1"},
    StadiumPage{"ClubStadium2", ClubRecord::ReserveStadiumId, "Stadium2"},
};

const std::array<Binding, 8> kStadiumFields = {
    textBinding("Name", StadiumRecord::StadiumName),
    referenceBinding("City", StadiumRecord::CityId, Source::Cities),
    numberBinding("Capacity", StadiumRecord::Capacity),
    numberBinding("Expansion", StadiumRecord::Expansion),
    numberBinding("Seating", StadiumRecord::Seating),
    referenceBinding("Nearby", StadiumRecord::NearbyStadiumId, Source::Stadiums),
    flagBinding("Covered", StadiumRecord::Covered),
    flagBinding("Undersoil", StadiumRecord::UndersoilHeating),
};

const std::array<EntryList, 3> kEntryLists = {
    EntryList{"ClubRivalClubs", ClubRecord::RivalClubs, Source::Clubs},
    EntryList{"ClubFavStaff", ClubRecord::FavouriteStaff, Source::Staff},
    EntryList{"ClubDisStaff", ClubRecord::DislikedStaff, Source::Staff},
};

std::string_view controlOfField(const db::FieldInfo& f)
{
    for (const Binding& b : kClubFields)
        if ((b.kind == Kind::Text ? b.text.offset : b.num.offset) == f.offset) return b.control;
    for (const StadiumPage& p : kStadiumPages)
        if (p.field.offset == f.offset) return p.selector;
    for (const EntryList& l : kEntryLists)
        if (l.field.offset == f.offset) return l.control;
    // The staff slots are shown as two lists: the players, and everybody else.
    if (f.offset == ClubRecord::PlayerIds.offset) return "ClubPlayers";
    for (db::NumField slot : {db::NumField(ClubRecord::ChairmanId), db::NumField(ClubRecord::ManagerId),
                              db::NumField(ClubRecord::AssistantManagerId)})
        if (slot.offset == f.offset) return "ClubStaff";
    for (db::IdListField list :
         {ClubRecord::DirectorIds, ClubRecord::CoachIds, ClubRecord::ScoutIds, ClubRecord::PhysioIds})
        if (list.offset == f.offset) return "ClubStaff";
    return {};
}

int referenceRow(std::int64_t value, std::size_t count)
{
    return db::isValidRef(value, count) ? static_cast<int>(value) : static_cast<int>(count);
}

std::int32_t storedReference(int row, std::size_t count)
{
    return db::isValidRef(row, count) ? row : -2;
}

int codeRow(std::int64_t code, int entries)
{
    return code >= 0 && code < entries ? static_cast<int>(code) : 0;
}

std::vector<int> entryRecords(const db::Database& d, const db::ClubRecord& club, const EntryList& list)
{
    const std::size_t n = sourceCount(d, list.source);
    std::vector<int> records;
    for (int k = 0; k < list.field.count; ++k) {
        const std::int32_t id = club.id(list.field, k);
        records.push_back(db::isValidRef(id, n) ? id : -1);
    }
    return records;
}

std::int32_t storedEntry(const db::Database& d, Source s, const std::string& rawText, int record)
{
    if (rawText == db::kNone || !db::isValidRef(record, sourceCount(d, s))) return -2;
    const auto at = static_cast<std::size_t>(record);
    if (s == Source::Clubs) return d.clubs[at].get(ClubRecord::ClubId);
    return d.staff[at].get(db::StaffRecord::StaffId);
}

std::vector<StaffLine> managementLines(const db::Database& d, const db::ClubRecord& club)
{
    std::vector<StaffLine> lines;
    const auto add = [&](std::string_view prefix, std::int32_t id) {
        if (db::isValidRef(id, d.staff.size())) lines.push_back({prefix, id});
    };
    const auto addAll = [&](std::string_view prefix, db::IdListField f) {
        for (int k = 0; k < f.count; ++k) add(prefix, club.id(f, k));
    };
    add("Chairman: ", club.get(ClubRecord::ChairmanId));
    addAll("Director: ", ClubRecord::DirectorIds);
    add("Manager: ", club.get(ClubRecord::ManagerId));
    add("Ass. Manager: ", club.get(ClubRecord::AssistantManagerId));
    addAll("Coach: ", ClubRecord::CoachIds);
    addAll("Scout: ", ClubRecord::ScoutIds);
    addAll("Physio: ", ClubRecord::PhysioIds);
    return lines;
}

std::vector<int> playerLines(const db::Database& d, const db::ClubRecord& club)
{
    std::vector<int> players;
    for (int k = 0; k < ClubRecord::PlayerIds.count; ++k) {
        const std::int32_t id = club.id(ClubRecord::PlayerIds, k);
        if (db::isValidRef(id, d.staff.size())) players.push_back(id);
    }
    return players;
}

}  // namespace clubs

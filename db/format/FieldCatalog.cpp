#include "db/format/FieldCatalog.h"

#include <cstdio>

#include "db/rules/GameDate.h"

namespace db {

namespace {

using C = ClubRecord;
using S = StaffRecord;
using NP = NonPlayerRecord;
using P = PlayerRecord;

constexpr FieldInfo kIndexFields[] = {
    bytesField("Reserved1", IndexEntry::Reserved1),
    numberField("RecordCount", IndexEntry::RecordCount),
    numberField("TableOffset", IndexEntry::TableOffset),
    bytesField("Reserved2", IndexEntry::Reserved2),
};

constexpr FieldInfo kCityFields[] = {textField("CityName", CityRecord::CityName)};
constexpr FieldInfo kClubCompFields[] = {textField("ClubCompName", ClubCompRecord::ClubCompName)};
constexpr FieldInfo kColourFields[] = {textField("ColourName", ColourRecord::ColourName)};
constexpr FieldInfo kNationFields[] = {textField("NationName", NationRecord::NationName)};

constexpr FieldInfo kNameFields[] = {
    textField("Name", NameRecord::Name),
    idField("NameId", NameRecord::NameId),
    bytesField("Reserved", NameRecord::Reserved),
    numberField("UsageCount", NameRecord::UsageCount),
};

constexpr FieldInfo kStadiumFields[] = {
    textField("StadiumName", StadiumRecord::StadiumName),
    refField("CityId", StadiumRecord::CityId, TableId::Cities),
    numberField("Capacity", StadiumRecord::Capacity),
    numberField("Seating", StadiumRecord::Seating),
    numberField("Expansion", StadiumRecord::Expansion),
    refField("NearbyStadiumId", StadiumRecord::NearbyStadiumId, TableId::Stadiums),
    flagField("Covered", StadiumRecord::Covered),
    flagField("UndersoilHeating", StadiumRecord::UndersoilHeating),
};

constexpr FieldInfo kClubFields[] = {
    idField("ClubId", C::ClubId),
    textField("LongName", C::LongName),
    numberField("Reserved55", C::Reserved55),
    textField("ShortName", C::ShortName),
    numberField("Reserved82", C::Reserved82),
    refField("NationId", C::NationId, TableId::Nations),
    refField("DivisionId", C::DivisionId, TableId::ClubComps),
    refField("LastDivisionId", C::LastDivisionId, TableId::ClubComps),
    numberField("LastPosition", C::LastPosition),
    refField("ReserveDivisionId", C::ReserveDivisionId, TableId::ClubComps),
    codeField("ProStatus", C::ProStatus, kProStatusNames),
    numberField("Cash", C::Cash),
    refField("StadiumId", C::StadiumId, TableId::Stadiums),
    flagField("OwnStadium", C::OwnStadium),
    refField("ReserveStadiumId", C::ReserveStadiumId, TableId::Stadiums),
    codeField("Matchday", C::Matchday, kMatchdayNames),
    numberField("AverageAttendance", C::AverageAttendance),
    numberField("MinimumAttendance", C::MinimumAttendance),
    numberField("MaximumAttendance", C::MaximumAttendance),
    numberField("Training", C::Training),
    numberField("Reputation", C::Reputation),
    flagField("Plc", C::Plc),
    refField("HomeForeColourId", C::HomeForeColourId, TableId::Colours),
    refField("HomeBackColourId", C::HomeBackColourId, TableId::Colours),
    refField("AwayForeColourId", C::AwayForeColourId, TableId::Colours),
    refField("AwayBackColourId", C::AwayBackColourId, TableId::Colours),
    refField("ThirdForeColourId", C::ThirdForeColourId, TableId::Colours),
    refField("ThirdBackColourId", C::ThirdBackColourId, TableId::Colours),
    refsField("FavouriteStaff", C::FavouriteStaff, TableId::Staff),
    refsField("DislikedStaff", C::DislikedStaff, TableId::Staff),
    refsField("RivalClubs", C::RivalClubs, TableId::Clubs),
    refField("ChairmanId", C::ChairmanId, TableId::Staff),
    refsField("DirectorIds", C::DirectorIds, TableId::Staff),
    refField("ManagerId", C::ManagerId, TableId::Staff),
    refField("AssistantManagerId", C::AssistantManagerId, TableId::Staff),
    refsField("PlayerIds", C::PlayerIds, TableId::Staff),
    refsField("CoachIds", C::CoachIds, TableId::Staff),
    refsField("ScoutIds", C::ScoutIds, TableId::Staff),
    refsField("PhysioIds", C::PhysioIds, TableId::Staff),
    bytesField("ReservedTail", C::ReservedTail),
};

constexpr FieldInfo kStaffFields[] = {
    idField("StaffId", S::StaffId),
    refField("FirstNameId", S::FirstNameId, TableId::FirstNames),
    refField("SecondNameId", S::SecondNameId, TableId::SecondNames),
    refField("CommonNameId", S::CommonNameId, TableId::CommonNames),
    dateField("DateOfBirth", S::DateOfBirth),
    bytesField("Reserved24", S::Reserved24),
    refField("NationId", S::NationId, TableId::Nations),
    refField("SecondNationId", S::SecondNationId, TableId::Nations),
    numberField("InternationalCaps", S::InternationalCaps),
    numberField("InternationalGoals", S::InternationalGoals),
    refField("NationContractedId", S::NationContractedId, TableId::Nations),
    codeField("JobForNation", S::JobForNation, kJobNames),
    dateField("NationJoinDate", S::NationJoinDate),
    dateField("NationContractEnd", S::NationContractEnd),
    refField("ClubContractedId", S::ClubContractedId, TableId::Clubs),
    codeField("JobForClub", S::JobForClub, kJobNames),
    dateField("ClubJoinDate", S::ClubJoinDate),
    dateField("ClubContractEnd", S::ClubContractEnd),
    numberField("Wage", S::Wage),
    numberField("Value", S::Value),
    numberField("Adaptability", S::Adaptability),
    numberField("Ambition", S::Ambition),
    numberField("Determination", S::Determination),
    numberField("Loyalty", S::Loyalty),
    numberField("Pressure", S::Pressure),
    numberField("Professionalism", S::Professionalism),
    numberField("Sportsmanship", S::Sportsmanship),
    numberField("Temperament", S::Temperament),
    codeField("PlayingSquad", S::PlayingSquad, kSquadNames),
    codeField("Classification", S::Classification, kClassificationNames),
    numberField("ClubValuation", S::ClubValuation),
    refsField("FavouriteClubs", S::FavouriteClubs, TableId::Clubs),
    refsField("DislikedClubs", S::DislikedClubs, TableId::Clubs),
    refsField("FavouriteStaff", S::FavouriteStaff, TableId::Staff),
    refsField("DislikedStaff", S::DislikedStaff, TableId::Staff),
    linkField("PlayerId", S::PlayerId, TableId::Players),
    numberField("Reserved149", S::Reserved149),
    linkField("NonPlayerId", S::NonPlayerId, TableId::NonPlayers),
};

constexpr FieldInfo kStaffExtraFields[] = {bytesField("Bytes", BytesField{0, 8})};

constexpr FieldInfo kNonPlayerFields[] = {
    idField("NonPlayerId", NP::NonPlayerId),
    numberField("CurrentAbility", NP::CurrentAbility),
    numberField("PotentialAbility", NP::PotentialAbility),
    numberField("HomeReputation", NP::HomeReputation),
    numberField("CurrentReputation", NP::CurrentReputation),
    numberField("WorldReputation", NP::WorldReputation),
    numberField("Attacking", NP::Attacking),
    numberField("Business", NP::Business),
    numberField("CoachingPlayers", NP::CoachingPlayers),
    numberField("CoachingGoalkeepers", NP::CoachingGoalkeepers),
    numberField("CoachStyle", NP::CoachStyle),
    numberField("Directness", NP::Directness),
    numberField("Discipline", NP::Discipline),
    numberField("FreeRoles", NP::FreeRoles),
    numberField("Interference", NP::Interference),
    numberField("JudgingAbility", NP::JudgingAbility),
    numberField("JudgingPotential", NP::JudgingPotential),
    numberField("ManHandling", NP::ManHandling),
    numberField("Marking", NP::Marking),
    numberField("Motivating", NP::Motivating),
    numberField("Offside", NP::Offside),
    numberField("Patience", NP::Patience),
    numberField("Physiotherapy", NP::Physiotherapy),
    numberField("Pressing", NP::Pressing),
    numberField("Resources", NP::Resources),
    numberField("Tactics", NP::Tactics),
    numberField("WorkingWithYoungsters", NP::WorkingWithYoungsters),
    {"Reserved35", FieldKind::Number, NP::Reserved35.offset, 4, true, NP::Reserved35.count},
    codeField("Formation", NP::Formation, kFormationNames),
};

constexpr FieldInfo kPlayerFields[] = {
    idField("PlayerId", P::PlayerId),
    numberField("SquadNumber", P::SquadNumber),
    numberField("CurrentAbility", P::CurrentAbility),
    numberField("PotentialAbility", P::PotentialAbility),
    numberField("HomeReputation", P::HomeReputation),
    numberField("CurrentReputation", P::CurrentReputation),
    numberField("WorldReputation", P::WorldReputation),
    numberField("Goalkeeper", P::Goalkeeper),
    numberField("Sweeper", P::Sweeper),
    numberField("Defender", P::Defender),
    numberField("Anchorman", P::Anchorman),
    numberField("Midfielder", P::Midfielder),
    numberField("Supportman", P::Supportman),
    numberField("Attacker", P::Attacker),
    numberField("Wingback", P::Wingback),
    numberField("RightSide", P::RightSide),
    numberField("LeftSide", P::LeftSide),
    numberField("Central", P::Central),
    numberField("FreeRole", P::FreeRole),
    numberField("Acceleration", P::Acceleration),
    numberField("Aggression", P::Aggression),
    numberField("Agility", P::Agility),
    numberField("Anticipation", P::Anticipation),
    numberField("Balance", P::Balance),
    numberField("Bravery", P::Bravery),
    numberField("Consistency", P::Consistency),
    numberField("Corners", P::Corners),
    numberField("Crossing", P::Crossing),
    numberField("Decisions", P::Decisions),
    numberField("Dirtiness", P::Dirtiness),
    numberField("Dribbling", P::Dribbling),
    numberField("Finishing", P::Finishing),
    numberField("Flair", P::Flair),
    numberField("FreeKicks", P::FreeKicks),
    numberField("Handling", P::Handling),
    numberField("Heading", P::Heading),
    numberField("ImportantMatches", P::ImportantMatches),
    numberField("InjuryProneness", P::InjuryProneness),
    numberField("Jumping", P::Jumping),
    numberField("Leadership", P::Leadership),
    numberField("LeftFoot", P::LeftFoot),
    numberField("LongShots", P::LongShots),
    numberField("Marking", P::Marking),
    numberField("Movement", P::Movement),
    numberField("NaturalFitness", P::NaturalFitness),
    numberField("OneOnOnes", P::OneOnOnes),
    numberField("Pace", P::Pace),
    numberField("Passing", P::Passing),
    numberField("Penalties", P::Penalties),
    numberField("Positioning", P::Positioning),
    numberField("Reflexes", P::Reflexes),
    numberField("RightFoot", P::RightFoot),
    numberField("Stamina", P::Stamina),
    numberField("Strength", P::Strength),
    numberField("Tackling", P::Tackling),
    numberField("Teamwork", P::Teamwork),
    numberField("Technique", P::Technique),
    numberField("ThrowIns", P::ThrowIns),
    numberField("Versatility", P::Versatility),
    numberField("Vision", P::Vision),
    numberField("WorkRate", P::WorkRate),
    numberField("Reserved69", P::Reserved69),
};

std::uint32_t readLe(const std::uint8_t* p, std::size_t width)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= std::uint32_t(p[i]) << (8 * i);
    return v;
}

std::int64_t numberAt(const FieldInfo& f, const std::uint8_t* p)
{
    const std::uint32_t raw = readLe(p, f.width);
    if (!f.isSigned) return raw;
    if (f.width == 1) return static_cast<std::int8_t>(raw);
    if (f.width == 2) return static_cast<std::int16_t>(raw);
    return static_cast<std::int32_t>(raw);
}

// The staff member of each attribute record (the first whose link names it).
void buildOwners(const Database& d, std::vector<std::int32_t>& owners, std::size_t size, I32Field link)
{
    owners.assign(size, -1);
    for (std::size_t i = 0; i < d.staff.size(); ++i) {
        const std::int32_t id = d.staff[i].get(link);
        if (isValidRef(id, size) && owners[static_cast<std::size_t>(id)] < 0)
            owners[static_cast<std::size_t>(id)] = static_cast<std::int32_t>(i);
    }
}

}  // namespace

std::span<const FieldInfo> fieldsOf(TableId t)
{
    switch (t) {
        case TableId::Index:
            return kIndexFields;
        case TableId::Cities:
            return kCityFields;
        case TableId::Clubs:
            return kClubFields;
        case TableId::ClubComps:
            return kClubCompFields;
        case TableId::Colours:
            return kColourFields;
        case TableId::FirstNames:
        case TableId::SecondNames:
        case TableId::CommonNames:
            return kNameFields;
        case TableId::Nations:
            return kNationFields;
        case TableId::Stadiums:
            return kStadiumFields;
        case TableId::Staff:
            return kStaffFields;
        case TableId::StaffExtra:
            return kStaffExtraFields;
        case TableId::NonPlayers:
            return kNonPlayerFields;
        case TableId::Players:
            return kPlayerFields;
        case TableId::Count:
            break;
    }
    return {};
}

std::string_view tableName(TableId t)
{
    switch (t) {
        case TableId::Index:
            return "Index";
        case TableId::Cities:
            return "Cities";
        case TableId::Clubs:
            return "Clubs";
        case TableId::ClubComps:
            return "Club competitions";
        case TableId::Colours:
            return "Colours";
        case TableId::FirstNames:
            return "First names";
        case TableId::SecondNames:
            return "Second names";
        case TableId::CommonNames:
            return "Common names";
        case TableId::Nations:
            return "Nations";
        case TableId::Stadiums:
            return "Stadiums";
        case TableId::Staff:
            return "Staff";
        case TableId::StaffExtra:
            return "Staff extra";
        case TableId::NonPlayers:
            return "Non-players";
        case TableId::Players:
            return "Players";
        case TableId::Count:
            break;
    }
    return {};
}

std::string elementName(const FieldInfo& f, int element)
{
    std::string name(f.name);
    if (f.count > 1) name += "[" + std::to_string(element + 1) + "]";
    return name;
}

std::string formatGameDate(std::uint16_t dayOfYear, std::int16_t year)
{
    auto day = static_cast<std::int16_t>(static_cast<std::uint16_t>(dayOfYear + 1u));
    std::uint16_t month = 1;
    MakeDate(day, month);
    return std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year);
}

std::string formatValue(const Database& d, const FieldInfo& f, int element, const std::uint8_t* record)
{
    const std::uint8_t* p = record + f.offset + f.width * element;
    switch (f.kind) {
        case FieldKind::Number:
            return std::to_string(numberAt(f, p));
        case FieldKind::Text: {
            std::size_t len = 0;
            while (len < f.width && p[len] != 0) ++len;
            return std::string(reinterpret_cast<const char*>(p), len);
        }
        case FieldKind::Date:
            return formatGameDate(static_cast<std::uint16_t>(readLe(p, 2)),
                                  static_cast<std::int16_t>(readLe(p + 2, 2)));
        case FieldKind::Flag:
            if (*p == 0) return "No";
            return *p == 255 ? "Yes" : "Yes (" + std::to_string(*p) + ")";
        case FieldKind::Code:
            if (*p < f.captions.size() && !f.captions[*p].empty()) return std::string(f.captions[*p]);
            return std::to_string(*p);
        case FieldKind::Reference: {
            const auto id = static_cast<std::int32_t>(readLe(p, 4));
            if (isValidRef(id, tableSize(d, f.target))) {
                std::string name = RecordNamer(d).name(f.target, static_cast<std::size_t>(id));
                if (!name.empty()) return name;
                return "#" + std::to_string(id);
            }
            return std::string(kNone) + " (" + std::to_string(id) + ")";
        }
        case FieldKind::Bytes:
            break;
    }
    std::string hex;
    char buf[4];
    for (std::size_t i = 0; i < f.width; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", p[i]);
        hex += buf;
    }
    return hex;
}

// ---- Record names ----------------------------------------------------------------

std::int64_t RecordNamer::ownerOf(TableId t, std::size_t position) const
{
    std::vector<std::int32_t>* owners = nullptr;
    if (t == TableId::Players) {
        owners = &playerOwners_;
        if (owners->size() != db_.players.size()) buildOwners(db_, *owners, db_.players.size(), S::PlayerId);
    } else if (t == TableId::NonPlayers) {
        owners = &nonPlayerOwners_;
        if (owners->size() != db_.nonPlayers.size())
            buildOwners(db_, *owners, db_.nonPlayers.size(), S::NonPlayerId);
    }
    if (!owners || position >= owners->size()) return -1;
    return (*owners)[position];
}

std::string RecordNamer::name(TableId t, std::size_t position) const
{
    if (position >= tableSize(db_, t)) return {};
    switch (t) {
        case TableId::Index: {
            static constexpr std::pair<int, TableId> kEntries[] = {
                {Entry::Clubs, TableId::Clubs},
                {Entry::Colours, TableId::Colours},
                {Entry::Nations, TableId::Nations},
                {Entry::Stadiums, TableId::Stadiums},
                {Entry::Staff, TableId::Staff},
                {Entry::StaffExtra, TableId::StaffExtra},
                {Entry::NonPlayers, TableId::NonPlayers},
                {Entry::Players, TableId::Players},
                {Entry::Cities, TableId::Cities},
                {Entry::ClubComps, TableId::ClubComps},
                {Entry::FirstNames, TableId::FirstNames},
                {Entry::SecondNames, TableId::SecondNames},
                {Entry::CommonNames, TableId::CommonNames}};
            for (const auto& [entry, table] : kEntries)
                if (static_cast<std::size_t>(entry) == position) return std::string(tableName(table));
            return {};
        }
        case TableId::Clubs:
            return db_.clubs[position].text(C::LongName);
        case TableId::Staff:
            return db_.staff[position].displayName;
        case TableId::Players:
        case TableId::NonPlayers: {
            const std::int64_t owner = ownerOf(t, position);
            return owner >= 0 ? db_.staff[static_cast<std::size_t>(owner)].displayName : std::string();
        }
        case TableId::StaffExtra:
            return {};
        default:
            break;
    }
    // Lookup and name tables: their one text field.
    const std::span<const FieldInfo> fields = fieldsOf(t);
    for (const FieldInfo& f : fields)
        if (f.kind == FieldKind::Text)
            return withTable(
                db_, t, [&](const auto& table) { return formatValue(db_, f, 0, table[position].data()); });
    return {};
}

}  // namespace db

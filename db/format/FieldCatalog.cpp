#include "db/format/FieldCatalog.h"

namespace db {

namespace {

using C = ClubRecord;
using S = StaffRecord;
using NP = NonPlayerRecord;
using P = PlayerRecord;

// clang-format off
constexpr FieldInfo kIndexFields[] = {
    bytesField("Reserved1", IndexEntry::Reserved1, false),
    numberField("RecordCount", IndexEntry::RecordCount),
    numberField("TableOffset", IndexEntry::TableOffset),
    bytesField("Reserved2", IndexEntry::Reserved2, false),
};

constexpr FieldInfo kCityFields[] = {
    unnamedBytes(0, 4),
    textField("CityName", CityRecord::CityName),
    unnamedBytes(30, 26),
};
constexpr FieldInfo kClubCompFields[] = {
    unnamedBytes(0, 4),
    textField("ClubCompName", ClubCompRecord::ClubCompName),
    unnamedBytes(55, 52),
};
constexpr FieldInfo kColourFields[] = {
    unnamedBytes(0, 4),
    textField("ColourName", ColourRecord::ColourName),
    unnamedBytes(55, 3),
};
constexpr FieldInfo kNationFields[] = {
    unnamedBytes(0, 4),
    textField("NationName", NationRecord::NationName),
    unnamedBytes(55, 235),
};

constexpr FieldInfo kNameFields[] = {
    textField("Name", NameRecord::Name),
    idField("NameId", NameRecord::NameId),
    bytesField("Reserved", NameRecord::Reserved),
    numberField("UsageCount", NameRecord::UsageCount),
};

constexpr FieldInfo kStadiumFields[] = {
    unnamedBytes(0, 4),
    textField("StadiumName", StadiumRecord::StadiumName),
    unnamedBytes(55, 1),
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
    reservedNumber("Reserved55", C::Reserved55),
    textField("ShortName", C::ShortName),
    reservedNumber("Reserved82", C::Reserved82),
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
    refsField("FavouriteStaff", C::FavouriteStaff, TableId::Staff, -1),
    refsField("DislikedStaff", C::DislikedStaff, TableId::Staff, -1),
    refsField("RivalClubs", C::RivalClubs, TableId::Clubs),
    refField("ChairmanId", C::ChairmanId, TableId::Staff, -1),
    refsField("DirectorIds", C::DirectorIds, TableId::Staff, -1),
    refField("ManagerId", C::ManagerId, TableId::Staff, -1),
    refField("AssistantManagerId", C::AssistantManagerId, TableId::Staff, -1),
    refsField("PlayerIds", C::PlayerIds, TableId::Staff, -1),
    refsField("CoachIds", C::CoachIds, TableId::Staff, -1),
    refsField("ScoutIds", C::ScoutIds, TableId::Staff, -1),
    refsField("PhysioIds", C::PhysioIds, TableId::Staff, -1),
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
    refsField("FavouriteStaff", S::FavouriteStaff, TableId::Staff, -1),
    refsField("DislikedStaff", S::DislikedStaff, TableId::Staff, -1),
    linkField("PlayerId", S::PlayerId, TableId::Players),
    reservedNumber("Reserved149", S::Reserved149),
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
    reservedNumber("Reserved35", NP::Reserved35.at(0), NP::Reserved35.count),
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
    reservedNumber("Reserved69", P::Reserved69),
};
// clang-format on

// The fields of each table, in TableId order.
constexpr std::array<std::span<const FieldInfo>, kTableCount> kCatalog = {
    kIndexFields, kCityFields,       kClubFields,      kClubCompFields, kColourFields,
    kNameFields,  kNameFields,       kNameFields,      kNationFields,   kStadiumFields,
    kStaffFields, kStaffExtraFields, kNonPlayerFields, kPlayerFields,
};

// Every byte of each record belongs to exactly one field, fields in record
// order; unnamed runs are never split in two; references name a table.
constexpr bool wellFormed()
{
    for (const TableInfo& t : kTables) {
        const std::span<const FieldInfo> fields = kCatalog[static_cast<std::size_t>(t.id)];
        std::size_t at = 0;
        bool lastUnnamed = false;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            const FieldInfo& f = fields[k];
            if (f.offset != at || f.width == 0 || f.count == 0) return false;
            if (!f.named() && lastUnnamed) return false;
            if ((f.kind == FieldKind::Reference) != (f.target != TableId::Count && !f.identifier) &&
                !(f.kind == FieldKind::Number && f.target != TableId::Count))
                return false;
            if (f.kind == FieldKind::Reference && f.none >= 0) return false;
            lastUnnamed = !f.named();
            at = f.end();
        }
        if (at != t.recordSize) return false;
    }
    return true;
}
static_assert(wellFormed(), "the catalog covers every byte of every record once");

}  // namespace

std::span<const FieldInfo> fieldsOf(TableId t)
{
    if (t >= TableId::Count) return {};
    return kCatalog[static_cast<std::size_t>(t)];
}

const FieldInfo* findField(TableId t, std::string_view name)
{
    for (const FieldInfo& f : fieldsOf(t))
        if (f.named() && f.name == name) return &f;
    return nullptr;
}

std::string elementName(const FieldInfo& f, int element)
{
    std::string name(f.name);
    if (f.count > 1) name += "[" + std::to_string(element + 1) + "]";
    return name;
}

}  // namespace db

#pragma once

// Which control of the Staff tab shows which record field.
//
// Display (ListBoxStaffClick) and Confirm Changes (Button6Click) both walk
// these tables, so a control can never be shown from one field and written to
// another. A field's width and signedness come from its descriptor: one-byte
// fields show unsigned, 16- and 32-bit fields signed, and typed values are
// stored by their low bits.

#include <array>
#include <string_view>

#include "db/format/Codes.h"
#include "db/format/Database.h"
#include "db/format/FieldCatalog.h"
#include "db/format/Records.h"

namespace staff {

// An edit box showing a number field.
struct NumBinding {
    const char* control;
    db::NumField field;
};

// Three edit boxes (day, month, year) showing a GameDate.
struct DateBinding {
    const char* day;
    const char* month;
    const char* year;
    db::DateField field;
};

// A name combo: one entry per record of a names table.
struct NameBinding {
    const char* control;
    db::I32Field field;
    db::NameKind kind;
};

// A nation combo: every nation, then one extra entry for "none".
struct NationBinding {
    const char* control;
    db::I32Field field;
    std::string_view extraText;
};

// A fixed drop-down list of captions whose position is the stored code.
struct CodeBinding {
    const char* control;
    const std::string_view* captions;
    int count;
};

// A three-entry preference list of staff or clubs.
struct PreferenceBinding {
    const char* control;
    db::IdListField field;
    bool clubs;      // club identifiers, else staff identifiers
    int pickTarget;  // the target the picker is opened with
};

using S = db::StaffRecord;
using NP = db::NonPlayerRecord;
using P = db::PlayerRecord;

inline constexpr NameBinding kNames[] = {
    {"StaffFirstName", S::FirstNameId, db::NameKind::First},
    {"StaffSecondName", S::SecondNameId, db::NameKind::Second},
    {"StaffCommonName", S::CommonNameId, db::NameKind::Common},
};

inline constexpr NationBinding kNations[] = {
    {"StaffNation", S::NationId, db::kUnknown},
    {"StaffSecondNation", S::SecondNationId, db::kNone},
};

// Edit boxes of the general record that Confirm Changes writes.
inline constexpr NumBinding kGeneralNumbers[] = {
    {"StaffCaps", S::InternationalCaps},
    {"StaffGoals", S::InternationalGoals},
    {"StaffWage", S::Wage},
    {"StaffValue", S::Value},
    {"StaffAda", S::Adaptability},
    {"StaffAmb", S::Ambition},
    {"StaffDet", S::Determination},
    {"StaffLoy", S::Loyalty},
    {"StaffPre", S::Pressure},
    {"StaffPro", S::Professionalism},
    {"StaffSpo", S::Sportsmanship},
    {"StaffTem", S::Temperament},
};

inline constexpr DateBinding kDates[] = {
    {"StaffDOBDay", "StaffDOBMonth", "StaffDOBYear", S::DateOfBirth},
    {"StaffNatJoinDay", "StaffNatJoinMonth", "StaffNatJoinYear", S::NationJoinDate},
    {"StaffNatEndDay", "StaffNatEndMonth", "StaffNatEndYear", S::NationContractEnd},
    {"StaffClubJoinDay", "StaffClubJoinMonth", "StaffClubJoinYear", S::ClubJoinDate},
    {"StaffClubEndDay", "StaffClubEndMonth", "StaffClubEndYear", S::ClubContractEnd},
};

// Read-only controls: shown, never written (contracts change by transfer).
inline constexpr NumBinding kClubValuation{"StaffClubValuation", S::ClubValuation};
inline constexpr const char* kNationContract = "StaffNationContract";
inline constexpr const char* kClub = "StaffClub";

inline constexpr const char* kJobForNation = "StaffJobForNation";
inline constexpr const char* kJobForClub = "StaffJobForClub";
inline constexpr const char* kPlayingSquad = "StaffPlayingSquad";
inline constexpr const char* kClassification = "StaffClassification";
inline constexpr const char* kFormation = "StaffNPFormation";

inline constexpr CodeBinding kCodes[] = {
    {kJobForNation, db::kJobNames.data(), static_cast<int>(db::kJobNames.size())},
    {kJobForClub, db::kJobNames.data(), static_cast<int>(db::kJobNames.size())},
    {kPlayingSquad, db::kSquadNames.data(), static_cast<int>(db::kSquadNames.size())},
    {kClassification, db::kClassificationNames.data(), static_cast<int>(db::kClassificationNames.size())},
    {kFormation, db::kFormationNames.data(), static_cast<int>(db::kFormationNames.size())},
};

inline constexpr PreferenceBinding kPreferences[] = {
    {"StaffFavStaff", S::FavouriteStaff, false, 2},
    {"StaffDisStaff", S::DislikedStaff, false, 3},
    {"StaffFavClubs", S::FavouriteClubs, true, 1},
    {"StaffDisClubs", S::DislikedClubs, true, 2},
};

// The "Non-Playing" sub-page: abilities first, then the attributes in
// record order. The formation combo is handled beside this table.
inline constexpr NumBinding kNonPlayerNumbers[] = {
    {"StaffNPAbi", NP::CurrentAbility},
    {"StaffNPPot", NP::PotentialAbility},
    {"StaffNPHR", NP::HomeReputation},
    {"StaffNPCR", NP::CurrentReputation},
    {"StaffNPWR", NP::WorldReputation},
    {"StaffNPAtt", NP::Attacking},
    {"StaffNPBus", NP::Business},
    {"StaffNPCP", NP::CoachingPlayers},
    {"StaffNPCG", NP::CoachingGoalkeepers},
    {"StaffNPCT", NP::CoachStyle},
    {"StaffNPDir", NP::Directness},
    {"StaffNPDis", NP::Discipline},
    {"StaffNPFre", NP::FreeRoles},
    {"StaffNPInt", NP::Interference},
    {"StaffNPJud", NP::JudgingAbility},
    {"StaffNPJudP", NP::JudgingPotential},
    {"StaffNPMan", NP::ManHandling},
    {"StaffNPMar", NP::Marking},
    {"StaffNPMot", NP::Motivating},
    {"StaffNPOff", NP::Offside},
    {"StaffNPPat", NP::Patience},
    {"StaffNPPhy", NP::Physiotherapy},
    {"StaffNPPre", NP::Pressing},
    {"StaffNPRes", NP::Resources},
    {"StaffNPTac", NP::Tactics},
    {"StaffNPYou", NP::WorkingWithYoungsters},
};

// The "Playing" sub-page: squad number, abilities, then every rating and
// attribute in record order.
inline constexpr NumBinding kPlayerNumbers[] = {
    {"StaffPSqNo", P::SquadNumber},
    {"StaffPAbi", P::CurrentAbility},
    {"StaffPPot", P::PotentialAbility},
    {"StaffPHR", P::HomeReputation},
    {"StaffPCR", P::CurrentReputation},
    {"StaffPWR", P::WorldReputation},
    {"StaffPGK", P::Goalkeeper},
    {"StaffPSW", P::Sweeper},
    {"StaffPD", P::Defender},
    {"StaffPDM", P::Anchorman},
    {"StaffPM", P::Midfielder},
    {"StaffPAM", P::Supportman},
    {"StaffPA", P::Attacker},
    {"StaffPWB", P::Wingback},
    {"StaffPR", P::RightSide},
    {"StaffPL", P::LeftSide},
    {"StaffPC", P::Central},
    {"StaffPFR", P::FreeRole},
    {"StaffPAcc", P::Acceleration},
    {"StaffPAgg", P::Aggression},
    {"StaffPAgi", P::Agility},
    {"StaffPAnt", P::Anticipation},
    {"StaffPBal", P::Balance},
    {"StaffPBra", P::Bravery},
    {"StaffPCon", P::Consistency},
    {"StaffPCor", P::Corners},
    {"StaffPCro", P::Crossing},
    {"StaffPDec", P::Decisions},
    {"StaffPDir", P::Dirtiness},
    {"StaffPDri", P::Dribbling},
    {"StaffPFin", P::Finishing},
    {"StaffPFla", P::Flair},
    {"StaffPFre", P::FreeKicks},
    {"StaffPHan", P::Handling},
    {"StaffPHea", P::Heading},
    {"StaffPImp", P::ImportantMatches},
    {"StaffPInj", P::InjuryProneness},
    {"StaffPJum", P::Jumping},
    {"StaffPLea", P::Leadership},
    {"StaffPLef", P::LeftFoot},
    {"StaffPLon", P::LongShots},
    {"StaffPMar", P::Marking},
    {"StaffPMov", P::Movement},
    {"StaffPNat", P::NaturalFitness},
    {"StaffPOne", P::OneOnOnes},
    {"StaffPPac", P::Pace},
    {"StaffPPas", P::Passing},
    {"StaffPPen", P::Penalties},
    {"StaffPPos", P::Positioning},
    {"StaffPRef", P::Reflexes},
    {"StaffPRig", P::RightFoot},
    {"StaffPSta", P::Stamina},
    {"StaffPStr", P::Strength},
    {"StaffPTac", P::Tackling},
    {"StaffPTea", P::Teamwork},
    {"StaffPTec", P::Technique},
    {"StaffPThr", P::ThrowIns},
    {"StaffPVer", P::Versatility},
    {"StaffPVis", P::Vision},
    {"StaffPWor", P::WorkRate},
};

static_assert(std::size(kNonPlayerNumbers) == 5 + 21);
static_assert(std::size(kPlayerNumbers) == 1 + 5 + 54);

// The control of the Staff tab that shows catalog field `f` of table `t`
// (staff, players or non-players); empty when none does.
std::string_view controlOfField(db::TableId t, const db::FieldInfo& f);

}  // namespace staff

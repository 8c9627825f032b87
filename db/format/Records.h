#pragma once

// The record layouts of the game's data files and of wizard.quarn.
// Offsets are byte offsets inside one record; all numbers are little-endian.

#include <string>

#include "db/rules/DisplayName.h"
#include "db/format/Fields.h"

namespace db {

// One of the 22 entries of index.dat (67 bytes each, from offset 8).
struct IndexEntry : RecordBytes<67> {
    static constexpr BytesField Reserved1{0, 55};
    static constexpr I32Field RecordCount{55};
    static constexpr I32Field TableOffset{59};
    static constexpr BytesField Reserved2{63, 4};
};

// ---- Lookup tables ----------------------------------------------------------

struct CityRecord : RecordBytes<56> {
    static constexpr TextField CityName{4, 26};
};

struct ClubCompRecord : RecordBytes<107> {
    static constexpr TextField ClubCompName{4, 51};
};

struct ColourRecord : RecordBytes<58> {
    static constexpr TextField ColourName{4, 51};
};

struct NationRecord : RecordBytes<290> {
    static constexpr TextField NationName{4, 51};
};

struct StadiumRecord : RecordBytes<78> {
    static constexpr TextField StadiumName{4, 51};
    static constexpr I32Field CityId{56};
    static constexpr I32Field Capacity{60};
    static constexpr I32Field Seating{64};
    static constexpr I32Field Expansion{68};
    static constexpr I32Field NearbyStadiumId{72};
    static constexpr U8Field Covered{76};
    static constexpr U8Field UndersoilHeating{77};
};

// First, second and common names share this layout; the text starts at 0.
struct NameRecord : RecordBytes<60> {
    static constexpr TextField Name{0, 51};
    static constexpr I32Field NameId{51};
    static constexpr BytesField Reserved{55, 4};
    static constexpr U8Field UsageCount{59};
};

// ---- Clubs ------------------------------------------------------------------

struct ClubRecord : RecordBytes<581> {
    static constexpr I32Field ClubId{0};
    static constexpr TextField LongName{4, 51};
    static constexpr U8Field Reserved55{55};
    static constexpr TextField ShortName{56, 26};
    static constexpr U8Field Reserved82{82};
    static constexpr I32Field NationId{83};
    static constexpr I32Field DivisionId{87};
    static constexpr I32Field LastDivisionId{91};
    static constexpr U8Field LastPosition{95};
    static constexpr I32Field ReserveDivisionId{96};
    static constexpr U8Field ProStatus{100};
    static constexpr I32Field Cash{101};
    static constexpr I32Field StadiumId{105};
    static constexpr U8Field OwnStadium{109};
    static constexpr I32Field ReserveStadiumId{110};
    static constexpr U8Field Matchday{114};
    static constexpr I32Field AverageAttendance{115};
    static constexpr I32Field MinimumAttendance{119};
    static constexpr I32Field MaximumAttendance{123};
    static constexpr U8Field Training{127};
    static constexpr I16Field Reputation{128};
    static constexpr U8Field Plc{130};
    static constexpr I32Field HomeForeColourId{131};
    static constexpr I32Field HomeBackColourId{135};
    static constexpr I32Field AwayForeColourId{139};
    static constexpr I32Field AwayBackColourId{143};
    static constexpr I32Field ThirdForeColourId{147};
    static constexpr I32Field ThirdBackColourId{151};
    static constexpr IdListField FavouriteStaff{155, 3};
    static constexpr IdListField DislikedStaff{167, 3};
    static constexpr IdListField RivalClubs{179, 3};
    static constexpr I32Field ChairmanId{191};
    static constexpr IdListField DirectorIds{195, 3};
    static constexpr I32Field ManagerId{207};
    static constexpr I32Field AssistantManagerId{211};
    static constexpr IdListField PlayerIds{215, 50};
    static constexpr IdListField CoachIds{415, 5};
    static constexpr IdListField ScoutIds{435, 7};
    static constexpr IdListField PhysioIds{463, 3};
    static constexpr BytesField ReservedTail{475, 106};
};

// ---- Staff ------------------------------------------------------------------

// The general record of every person. In memory it also carries the display
// name (first name, space, second name; at most 100 bytes), never written.
struct StaffRecord : RecordBytes<157> {
    static constexpr std::size_t DisplayNameLimit = 100;

    static constexpr I32Field StaffId{0};
    static constexpr I32Field FirstNameId{4};
    static constexpr I32Field SecondNameId{8};
    static constexpr I32Field CommonNameId{12};
    static constexpr DateField DateOfBirth{16};
    static constexpr BytesField Reserved24{24, 2};
    static constexpr I32Field NationId{26};
    static constexpr I32Field SecondNationId{30};
    static constexpr U8Field InternationalCaps{34};
    static constexpr U8Field InternationalGoals{35};
    static constexpr I32Field NationContractedId{36};
    static constexpr U8Field JobForNation{40};
    static constexpr DateField NationJoinDate{41};
    static constexpr DateField NationContractEnd{49};
    static constexpr I32Field ClubContractedId{57};
    static constexpr U8Field JobForClub{61};
    static constexpr DateField ClubJoinDate{62};
    static constexpr DateField ClubContractEnd{70};
    static constexpr I32Field Wage{78};
    static constexpr I32Field Value{82};
    static constexpr U8Field Adaptability{86};
    static constexpr U8Field Ambition{87};
    static constexpr U8Field Determination{88};
    static constexpr U8Field Loyalty{89};
    static constexpr U8Field Pressure{90};
    static constexpr U8Field Professionalism{91};
    static constexpr U8Field Sportsmanship{92};
    static constexpr U8Field Temperament{93};
    static constexpr U8Field PlayingSquad{94};
    static constexpr U8Field Classification{95};
    static constexpr U8Field ClubValuation{96};
    static constexpr IdListField FavouriteClubs{97, 3};
    static constexpr IdListField DislikedClubs{109, 3};
    static constexpr IdListField FavouriteStaff{121, 3};
    static constexpr IdListField DislikedStaff{133, 3};
    static constexpr I32Field PlayerId{145};
    static constexpr I32Field Reserved149{149};
    static constexpr I32Field NonPlayerId{153};

    DisplayName displayName;  // Windows-1252 bytes
};
static_assert(sizeof(StaffRecord) == StaffRecord::Size + sizeof(DisplayName) &&
                  sizeof(StaffRecord) % 8 == 0 && (StaffRecord::Size + DisplayName::kHandleAt) % 8 == 0,
              "a display name's pointer is 8-byte aligned in every staff record of a table");

// The second table of staff.dat: carried through untouched.
struct StaffExtraRecord : RecordBytes<8> {};

struct NonPlayerRecord : RecordBytes<68> {
    static constexpr I32Field NonPlayerId{0};
    static constexpr I16Field CurrentAbility{4};
    static constexpr I16Field PotentialAbility{6};
    static constexpr I16Field HomeReputation{8};
    static constexpr I16Field CurrentReputation{10};
    static constexpr I16Field WorldReputation{12};
    static constexpr U8Field Attacking{14};
    static constexpr U8Field Business{15};
    static constexpr U8Field CoachingPlayers{16};
    static constexpr U8Field CoachingGoalkeepers{17};
    static constexpr U8Field CoachStyle{18};
    static constexpr U8Field Directness{19};
    static constexpr U8Field Discipline{20};
    static constexpr U8Field FreeRoles{21};
    static constexpr U8Field Interference{22};
    static constexpr U8Field JudgingAbility{23};
    static constexpr U8Field JudgingPotential{24};
    static constexpr U8Field ManHandling{25};
    static constexpr U8Field Marking{26};
    static constexpr U8Field Motivating{27};
    static constexpr U8Field Offside{28};
    static constexpr U8Field Patience{29};
    static constexpr U8Field Physiotherapy{30};
    static constexpr U8Field Pressing{31};
    static constexpr U8Field Resources{32};
    static constexpr U8Field Tactics{33};
    static constexpr U8Field WorkingWithYoungsters{34};
    static constexpr IdListField Reserved35{35, 8};
    static constexpr U8Field Formation{67};
};

struct PlayerRecord : RecordBytes<70> {
    static constexpr I32Field PlayerId{0};
    static constexpr U8Field SquadNumber{4};
    static constexpr I16Field CurrentAbility{5};
    static constexpr I16Field PotentialAbility{7};
    static constexpr I16Field HomeReputation{9};
    static constexpr I16Field CurrentReputation{11};
    static constexpr I16Field WorldReputation{13};
    static constexpr U8Field Goalkeeper{15};
    static constexpr U8Field Sweeper{16};
    static constexpr U8Field Defender{17};
    static constexpr U8Field Anchorman{18};
    static constexpr U8Field Midfielder{19};
    static constexpr U8Field Supportman{20};
    static constexpr U8Field Attacker{21};
    static constexpr U8Field Wingback{22};
    static constexpr U8Field RightSide{23};
    static constexpr U8Field LeftSide{24};
    static constexpr U8Field Central{25};
    static constexpr U8Field FreeRole{26};
    static constexpr U8Field Acceleration{27};
    static constexpr U8Field Aggression{28};
    static constexpr U8Field Agility{29};
    static constexpr U8Field Anticipation{30};
    static constexpr U8Field Balance{31};
    static constexpr U8Field Bravery{32};
    static constexpr U8Field Consistency{33};
    static constexpr U8Field Corners{34};
    static constexpr U8Field Crossing{35};
    static constexpr U8Field Decisions{36};
    static constexpr U8Field Dirtiness{37};
    static constexpr U8Field Dribbling{38};
    static constexpr U8Field Finishing{39};
    static constexpr U8Field Flair{40};
    static constexpr U8Field FreeKicks{41};
    static constexpr U8Field Handling{42};
    static constexpr U8Field Heading{43};
    static constexpr U8Field ImportantMatches{44};
    static constexpr U8Field InjuryProneness{45};
    static constexpr U8Field Jumping{46};
    static constexpr U8Field Leadership{47};
    static constexpr U8Field LeftFoot{48};
    static constexpr U8Field LongShots{49};
    static constexpr U8Field Marking{50};
    static constexpr U8Field Movement{51};
    static constexpr U8Field NaturalFitness{52};
    static constexpr U8Field OneOnOnes{53};
    static constexpr U8Field Pace{54};
    static constexpr U8Field Passing{55};
    static constexpr U8Field Penalties{56};
    static constexpr U8Field Positioning{57};
    static constexpr U8Field Reflexes{58};
    static constexpr U8Field RightFoot{59};
    static constexpr U8Field Stamina{60};
    static constexpr U8Field Strength{61};
    static constexpr U8Field Tackling{62};
    static constexpr U8Field Teamwork{63};
    static constexpr U8Field Technique{64};
    static constexpr U8Field ThrowIns{65};
    static constexpr U8Field Versatility{66};
    static constexpr U8Field Vision{67};
    static constexpr U8Field WorkRate{68};
    static constexpr U8Field Reserved69{69};

    // The position ratings (Goalkeeper..FreeRole) and the attributes
    // (Acceleration..WorkRate) as byte ranges.
    static constexpr BytesField PositionRatings{15, 12};
    static constexpr BytesField Attributes{27, 42};
};

// A player template of wizard.quarn. Template byte 47 + n stands for
// PlayerRecord byte n (5 <= n <= 68).
struct WizardTemplate : RecordBytes<116> {
    static constexpr int PlayerByteShift = 47;

    static constexpr TextField TemplateName{2, 50};
    static constexpr BytesField PositionRatings{62, 12};  // PlayerRecord 15..26
    static constexpr BytesField Bases1{74, 21};           // PlayerRecord 27..47
    static constexpr BytesField Bases2{96, 10};           // PlayerRecord 49..58
    static constexpr BytesField Bases3{107, 9};           // PlayerRecord 60..68
};

}  // namespace db

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "db/editing/Transfer.h"

using db::ClubRecord;
using db::IdListField;
using db::kFreeSlot;
using db::kNoClub;
using db::StaffRecord;
using db::TransferNotice;

namespace {

using Slots = std::map<std::string, std::int32_t>;

// Every staff slot of a club by a readable name ("Player0", "Manager", ...).
Slots slotsOf(const ClubRecord& c)
{
    Slots s;
    s["Chairman"] = c.get(ClubRecord::ChairmanId);
    s["Manager"] = c.get(ClubRecord::ManagerId);
    s["Assistant"] = c.get(ClubRecord::AssistantManagerId);
    const std::pair<const char*, IdListField> lists[] = {{"Director", ClubRecord::DirectorIds},
                                                         {"Player", ClubRecord::PlayerIds},
                                                         {"Coach", ClubRecord::CoachIds},
                                                         {"Scout", ClubRecord::ScoutIds},
                                                         {"Physio", ClubRecord::PhysioIds}};
    for (const auto& [name, list] : lists)
        for (int k = 0; k < list.count; ++k) s[name + std::to_string(k)] = c.id(list, k);
    return s;
}

// The slots whose value differs between two states.
std::set<std::string> changed(const Slots& before, const Slots& after)
{
    std::set<std::string> names;
    for (const auto& [name, value] : before)
        if (after.at(name) != value) names.insert(name);
    return names;
}

ClubRecord clubWithAllSlots(std::int32_t value)
{
    ClubRecord c;
    c.set(ClubRecord::ChairmanId, value);
    c.set(ClubRecord::ManagerId, value);
    c.set(ClubRecord::AssistantManagerId, value);
    for (IdListField list : {ClubRecord::DirectorIds, ClubRecord::PlayerIds, ClubRecord::CoachIds,
                             ClubRecord::ScoutIds, ClubRecord::PhysioIds})
        c.fillIds(list, value);
    return c;
}

// The slots each job takes at a club with every slot free.
const std::map<int, std::set<std::string>> kPlacedSlots = {
    {1, {"Chairman"}},
    {2, {"Director0"}},
    {3, {"Director0"}},
    {4, {"Director0"}},
    {5, {"Manager"}},
    {6, {"Assistant"}},
    {7, {"Assistant"}},
    {8, {"Coach0"}},
    {9, {"Scout0"}},
    {10, {"Physio0"}},
    {11, {"Player0"}},
    {12, {"Manager", "Player0"}},
    {13, {"Assistant", "Player0"}},
    {14, {"Assistant", "Player0"}},
    {15, {"Coach0", "Player0"}},
};

}  // namespace

TEST(Placement, EveryJobTakesItsSlotsAtAnEmptyClub)
{
    for (int job = 0; job <= 16; ++job) {
        SCOPED_TRACE(job);
        ClubRecord club = clubWithAllSlots(kFreeSlot);
        const Slots before = slotsOf(club);
        const bool placed = db::placeAtClub(club, 42, job);
        const auto expected = kPlacedSlots.find(job);
        if (expected == kPlacedSlots.end()) {
            // <none> and Player Retired hold no slot: the placement fails.
            EXPECT_FALSE(placed);
            EXPECT_EQ(slotsOf(club), before);
            continue;
        }
        EXPECT_TRUE(placed);
        const Slots after = slotsOf(club);
        EXPECT_EQ(changed(before, after), expected->second);
        for (const std::string& name : expected->second) EXPECT_EQ(after.at(name), 42);
    }
}

TEST(Placement, FullOrMinusTwoSlotsRefuseEveryJobAndWriteNothing)
{
    // Only -1 is free: another person's id and -2 both count as taken.
    for (std::int32_t occupant : {7, -2, 0}) {
        for (int job = 0; job <= 16; ++job) {
            SCOPED_TRACE(testing::Message() << "occupant " << occupant << " job " << job);
            ClubRecord club = clubWithAllSlots(occupant);
            const auto before = club.bytes;
            EXPECT_FALSE(db::placeAtClub(club, 42, job));
            EXPECT_EQ(club.bytes, before);
        }
    }
}

TEST(Placement, TakesTheFirstFreeEntryOfAList)
{
    ClubRecord club = clubWithAllSlots(5);
    club.setId(ClubRecord::DirectorIds, 1, kFreeSlot);
    club.setId(ClubRecord::DirectorIds, 2, kFreeSlot);
    ASSERT_TRUE(db::placeAtClub(club, 42, 3));
    EXPECT_EQ(club.id(ClubRecord::DirectorIds, 0), 5);
    EXPECT_EQ(club.id(ClubRecord::DirectorIds, 1), 42);
    EXPECT_EQ(club.id(ClubRecord::DirectorIds, 2), kFreeSlot);

    // The last player slot is found too.
    club.setId(ClubRecord::PlayerIds, 49, kFreeSlot);
    ASSERT_TRUE(db::placeAtClub(club, 43, 11));
    EXPECT_EQ(club.id(ClubRecord::PlayerIds, 49), 43);
}

TEST(Placement, DoubleJobsNeedBothSlotsOrTakeNone)
{
    struct Case {
        int job;
        const char* freeSingle;
    };
    // The management slot is free but no player slot is: nothing is written.
    for (Case c : {Case{12, "Manager"}, Case{13, "Assistant"}, Case{14, "Assistant"}, Case{15, "Coach4"}}) {
        SCOPED_TRACE(c.job);
        ClubRecord club = clubWithAllSlots(9);
        club.set(ClubRecord::ManagerId, kFreeSlot);
        club.set(ClubRecord::AssistantManagerId, kFreeSlot);
        club.setId(ClubRecord::CoachIds, 4, kFreeSlot);
        const auto before = club.bytes;
        EXPECT_FALSE(db::placeAtClub(club, 42, c.job));
        EXPECT_EQ(club.bytes, before);
        EXPECT_EQ(slotsOf(club).at(c.freeSingle), kFreeSlot);
    }
    // A free player slot but a taken manager slot fails as well.
    ClubRecord club = clubWithAllSlots(kFreeSlot);
    club.set(ClubRecord::ManagerId, -2);
    const auto before = club.bytes;
    EXPECT_FALSE(db::placeAtClub(club, 42, 12));
    EXPECT_EQ(club.bytes, before);
}

TEST(Placement, UnknownJobCodesHaveNoSlot)
{
    ClubRecord club = clubWithAllSlots(kFreeSlot);
    const auto before = club.bytes;
    for (int job : {17, 100, 255, -1}) EXPECT_FALSE(db::placeAtClub(club, 42, job));
    EXPECT_EQ(club.bytes, before);
}

TEST(Release, EveryJobClearsItsSlots)
{
    // Single slots hold somebody else (they are cleared without comparing);
    // every list holds 7, 42, 42, ...: only the first 42 is cleared.
    const std::map<int, std::set<std::string>> cleared = {
        {1, {"Chairman"}},
        {2, {"Director1"}},
        {3, {"Director1"}},
        {4, {"Director1"}},
        {5, {"Manager"}},
        {6, {"Assistant"}},
        {7, {"Assistant"}},
        {8, {"Coach1"}},
        {9, {"Scout1"}},
        {10, {"Physio1"}},
        {11, {"Player1"}},
        {12, {"Manager", "Player1"}},
        {13, {"Assistant", "Player1"}},
        {14, {"Assistant", "Player1"}},
        {15, {"Coach1", "Player1"}},
    };
    for (int job = 0; job <= 17; ++job) {
        SCOPED_TRACE(job);
        ClubRecord club = clubWithAllSlots(42);
        club.set(ClubRecord::ChairmanId, 99);
        club.set(ClubRecord::ManagerId, 99);
        club.set(ClubRecord::AssistantManagerId, 99);
        for (IdListField list : {ClubRecord::DirectorIds, ClubRecord::PlayerIds, ClubRecord::CoachIds,
                                 ClubRecord::ScoutIds, ClubRecord::PhysioIds})
            club.setId(list, 0, 7);
        const Slots before = slotsOf(club);
        db::releaseFromClub(club, 42, job);
        const Slots after = slotsOf(club);
        const auto expected = cleared.find(job);
        EXPECT_EQ(changed(before, after),
                  expected == cleared.end() ? std::set<std::string>{} : expected->second);
        for (const std::string& name : changed(before, after)) EXPECT_EQ(after.at(name), kFreeSlot);
    }
}

TEST(Release, MissingIdIsNoErrorAndPlayerCoachOnlyInPlayers)
{
    ClubRecord club = clubWithAllSlots(3);
    const auto before = club.bytes;
    for (int job : {2, 8, 9, 10, 11, 15}) db::releaseFromClub(club, 42, job);
    EXPECT_EQ(club.bytes, before);

    // A Player Coach listed among the players but not the coaches loses only
    // his player entry.
    club.setId(ClubRecord::PlayerIds, 20, 42);
    const Slots mid = slotsOf(club);
    db::releaseFromClub(club, 42, 15);
    EXPECT_EQ(changed(mid, slotsOf(club)), std::set<std::string>{"Player20"});
}

TEST(Release, ChairmanIsClearedWhoeverHoldsTheSeat)
{
    ClubRecord club = clubWithAllSlots(kFreeSlot);
    club.set(ClubRecord::ChairmanId, 1234);
    db::releaseFromClub(club, 42, 1);
    EXPECT_EQ(club.get(ClubRecord::ChairmanId), kFreeSlot);
}

// ---- The whole transfer -----------------------------------------------------

namespace {

struct World {
    db::Database d = db::Database::withEmptyIndex();

    World()
    {
        for (int i = 0; i < 3; ++i) d.appendClub(clubWithAllSlots(kFreeSlot));
        for (int i = 0; i < 5; ++i) {
            StaffRecord s;
            s.set(StaffRecord::ClubContractedId, kNoClub);
            d.appendStaff(s, std::nullopt, std::nullopt);
        }
    }
    ClubRecord& club(int k) { return d.clubs[static_cast<std::size_t>(k)]; }
    StaffRecord& person(int k) { return d.staff[static_cast<std::size_t>(k)]; }

    // Puts person `id` at club `clubId` with `job` as a loaded file would.
    void employ(int id, int clubId, int job)
    {
        person(id).set(StaffRecord::ClubContractedId, clubId);
        person(id).set(StaffRecord::JobForClub, static_cast<std::uint8_t>(job));
        ASSERT_TRUE(db::placeAtClub(club(clubId), id, job));
    }

    std::vector<std::uint8_t> snapshot() const
    {
        std::vector<std::uint8_t> all;
        for (const auto& c : d.clubs) all.insert(all.end(), c.bytes.begin(), c.bytes.end());
        for (const auto& s : d.staff) all.insert(all.end(), s.bytes.begin(), s.bytes.end());
        return all;
    }
};

const TransferNotice kDone{TransferNotice::Kind::Information, "Transfer was successful"};
const TransferNotice kFailed{TransferNotice::Kind::Error, "Transfer was NOT successful"};

}  // namespace

TEST(TransferStaff, FromNoClubIsSilentAndInvalidSourceCountsAsNoClub)
{
    for (std::int32_t from : {kNoClub, -1, 3, 1000}) {
        SCOPED_TRACE(from);
        World w;
        EXPECT_TRUE(db::transferStaff(w.d, {1, from, 0, 5}).empty());
        EXPECT_EQ(w.person(1).get(StaffRecord::ClubContractedId), 0);
        EXPECT_EQ(w.person(1).get(StaffRecord::JobForClub), 5);
        EXPECT_EQ(w.club(0).get(ClubRecord::ManagerId), 1);
    }
    // No club to no club only changes the job.
    World w;
    EXPECT_TRUE(db::transferStaff(w.d, {1, 77, kNoClub, 9}).empty());
    EXPECT_EQ(w.person(1).get(StaffRecord::ClubContractedId), kNoClub);
    EXPECT_EQ(w.person(1).get(StaffRecord::JobForClub), 9);
}

TEST(TransferStaff, ToOwnClubPlayerKeepsOneEntryManagerFails)
{
    World w;
    w.employ(4, 1, 11);
    EXPECT_EQ(db::transferStaff(w.d, {4, 1, 1, 11}), std::vector<TransferNotice>{kDone});
    int entries = 0;
    for (int k = 0; k < ClubRecord::PlayerIds.count; ++k)
        entries += w.club(1).id(ClubRecord::PlayerIds, k) == 4;
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(w.club(1).id(ClubRecord::PlayerIds, 1), 4);  // the second slot taken, the first cleared
    EXPECT_EQ(w.club(1).id(ClubRecord::PlayerIds, 0), kFreeSlot);

    World m;
    m.employ(2, 0, 5);
    const auto before = m.snapshot();
    EXPECT_EQ(db::transferStaff(m.d, {2, 0, 0, 5}), std::vector<TransferNotice>{kFailed});
    EXPECT_EQ(m.snapshot(), before);
}

TEST(TransferStaff, JobChangeReleasesByTheOldJob)
{
    World w;
    w.employ(1, 0, 8);  // coach at club 0 becomes scout at club 2
    EXPECT_EQ(db::transferStaff(w.d, {1, 0, 2, 9}), std::vector<TransferNotice>{kDone});
    EXPECT_EQ(w.club(0).id(ClubRecord::CoachIds, 0), kFreeSlot);
    EXPECT_EQ(w.club(2).id(ClubRecord::ScoutIds, 0), 1);
    EXPECT_EQ(w.person(1).get(StaffRecord::JobForClub), 9);
}

TEST(TransferStaff, UnknownStaffChangesNothing)
{
    World w;
    const auto before = w.snapshot();
    for (std::int32_t id : {-1, 5, 1 << 30}) {
        EXPECT_TRUE(db::transferStaff(w.d, {id, 0, 1, 11}).empty());
        EXPECT_TRUE(db::transferStaff(w.d, {id, 0, kNoClub, 0}).empty());
    }
    EXPECT_EQ(w.snapshot(), before);
}

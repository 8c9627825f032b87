#include <gtest/gtest.h>

#include <algorithm>

#include "SmallDatabase.h"
#include "db/query/Checker.h"

namespace {

using db::ClubRecord;
using db::StaffRecord;

std::vector<std::string> lines(const std::vector<db::Problem>& problems)
{
    std::vector<std::string> out;
    for (const db::Problem& p : problems) out.push_back(p.line());
    return out;
}

// The one problem the records hold; fails when there are none or several.
std::string onlyProblem(const db::Database& d)
{
    const auto found = lines(db::checkRecords(d));
    EXPECT_EQ(found.size(), 1u) << ::testing::PrintToString(found);
    return found.empty() ? std::string() : found.front();
}

TEST(CheckRecords, ConsistentDatabaseIsClean)
{
    const db::Database d = clitest::smallDatabase();
    EXPECT_TRUE(db::checkRecords(d).empty()) << ::testing::PrintToString(lines(db::checkRecords(d)));
}

TEST(CheckRecords, IdentifierNotEqualToPosition)
{
    db::Database d = clitest::smallDatabase();
    d.clubs[1].set(ClubRecord::ClubId, 7);
    EXPECT_EQ(onlyProblem(d), "clubs[1] ClubId: identifier 7 differs from its position 1");

    d = clitest::smallDatabase();
    d.players[1].set(db::PlayerRecord::PlayerId, 0);
    EXPECT_EQ(onlyProblem(d), "players[1] PlayerId: identifier 0 differs from its position 1");

    d = clitest::smallDatabase();
    d.secondNames[0].set(db::NameRecord::NameId, -1);
    EXPECT_EQ(onlyProblem(d), "second-names[0] NameId: identifier -1 differs from its position 0");
}

TEST(CheckRecords, TheThreeNoneValuesAreNotProblems)
{
    db::Database d = clitest::smallDatabase();
    for (std::int32_t none : {-1, -2, 2}) {  // 2 = the nation count
        d.clubs[0].set(ClubRecord::NationId, none);
        d.staff[3].set(StaffRecord::SecondNationId, none);
        d.stadiums[0].set(db::StadiumRecord::NearbyStadiumId, none == 2 ? 1 : none);
        EXPECT_TRUE(db::checkRecords(d).empty()) << none;
    }
}

TEST(CheckRecords, ReferencesOutOfRange)
{
    db::Database d = clitest::smallDatabase();
    d.clubs[0].set(ClubRecord::NationId, 3);  // one past the count
    EXPECT_EQ(onlyProblem(d), "clubs[0] NationId: reference 3 is outside nations (2 records)");

    d = clitest::smallDatabase();
    d.staff[3].setId(StaffRecord::DislikedClubs, 2, -7);
    EXPECT_EQ(onlyProblem(d), "staff[3] DislikedClubs[2]: reference -7 is outside clubs (2 records)");

    d = clitest::smallDatabase();
    d.stadiums[0].set(db::StadiumRecord::CityId, 2000000000);
    EXPECT_EQ(onlyProblem(d), "stadiums[0] CityId: reference 2000000000 is outside cities (1 records)");

    d = clitest::smallDatabase();
    d.clubs[1].setId(ClubRecord::ScoutIds, 6, 2000000000);
    EXPECT_EQ(onlyProblem(d), "clubs[1] ScoutIds[6]: reference 2000000000 is outside staff (4 records)");
}

// Only references read as none; every other finding is damage.
TEST(CheckRecords, OnlyReferencesOutsideTheirTableReadAsNone)
{
    db::Database d = clitest::smallDatabase();
    d.clubs[0].set(ClubRecord::NationId, 3);
    d.staff[3].setId(StaffRecord::FavouriteStaff, 0, 40);
    d.clubs[1].set(ClubRecord::ClubId, 7);
    d.staff[2].set(StaffRecord::PlayerId, 3);
    d.firstNames[0].set(db::NameRecord::UsageCount, 5);
    std::vector<std::string> none, damage;
    for (const db::Problem& p : db::checkRecords(d)) (p.readsAsNone ? none : damage).push_back(p.field);
    EXPECT_EQ(none, (std::vector<std::string>{"NationId", "FavouriteStaff[0]"}));
    EXPECT_EQ(damage, (std::vector<std::string>{"ClubId", "PlayerId", "UsageCount"}));
}

TEST(CheckRecords, SlotHoldingSomeoneContractedElsewhere)
{
    db::Database d = clitest::smallDatabase();
    d.clubs[0].setId(ClubRecord::PlayerIds, 1, 2);  // the player-manager of club 1
    EXPECT_EQ(onlyProblem(d),
              "clubs[0] PlayerIds[1]: staff 2 (Fran\xE7ois Smith) is contracted to club 1 "
              "(Comma, \"Quoted\" M\xFCnchen)");

    d = clitest::smallDatabase();
    d.clubs[0].setId(ClubRecord::PlayerIds, 1, 3);  // the free agent
    EXPECT_EQ(onlyProblem(d),
              "clubs[0] PlayerIds[1]: staff 3 (John O'Neil, \"Jr\") is contracted to no club");
}

TEST(CheckRecords, SlotHoldingAJobItDoesNotHold)
{
    db::Database d = clitest::smallDatabase();
    d.clubs[0].setId(ClubRecord::ScoutIds, 0, 1);  // a player in a scout slot
    EXPECT_EQ(
        onlyProblem(d),
        "clubs[0] ScoutIds[0]: staff 1 (Zo\xEB O'Neil, \"Jr\") has job 11 (Player), which ScoutIds does "
        "not hold");

    // A player-manager belongs in both the manager and a player slot.
    d = clitest::smallDatabase();
    EXPECT_EQ(d.clubs[1].get(ClubRecord::ManagerId), 2);
    d.staff[2].set(StaffRecord::JobForClub, 255);
    const auto found = lines(db::checkRecords(d));
    EXPECT_EQ(found.size(), 2u);
}

TEST(CheckRecords, ContractedButListedInNoSlot)
{
    db::Database d = clitest::smallDatabase();
    d.clubs[0].setId(ClubRecord::PlayerIds, 0, -1);
    EXPECT_EQ(
        onlyProblem(d),
        "staff[1] ClubContractedId: contracted to club 0 (Quarn Town), which lists the person in no staff "
        "slot");
}

TEST(CheckRecords, ClassificationLinksMissingOrOutOfRange)
{
    db::Database d = clitest::smallDatabase();
    d.staff[0].set(StaffRecord::NonPlayerId, -1);
    EXPECT_EQ(onlyProblem(d),
              "staff[0] NonPlayerId: missing link to non-players (-1) though the classification needs one");

    d = clitest::smallDatabase();
    d.staff[2].set(StaffRecord::PlayerId, 3);  // three players: 0..2
    EXPECT_EQ(onlyProblem(d), "staff[2] PlayerId: link 3 is outside players (3 records)");

    // A link the classification does not use is not looked at.
    d = clitest::smallDatabase();
    d.staff[0].set(StaffRecord::PlayerId, 99);
    EXPECT_TRUE(db::checkRecords(d).empty());
}

TEST(CheckRecords, TwoPersonsSharingOneAttributeRecord)
{
    db::Database d = clitest::smallDatabase();
    d.staff[3].set(StaffRecord::PlayerId, d.staff[1].get(StaffRecord::PlayerId));
    EXPECT_EQ(onlyProblem(d),
              "staff[3] PlayerId: players record 0 is also used by staff 1 (Zo\xEB O'Neil, \"Jr\")");
}

TEST(CheckRecords, UsageCountsThatDisagree)
{
    db::Database d = clitest::smallDatabase();
    d.firstNames[0].set(db::NameRecord::UsageCount, 5);
    EXPECT_EQ(onlyProblem(d), "first-names[0] UsageCount: says 5 but 2 staff use the name");

    d = clitest::smallDatabase();
    d.commonNames[0].set(db::NameRecord::UsageCount, 1);
    EXPECT_EQ(onlyProblem(d), "common-names[0] UsageCount: says 1 but 0 staff use the name");
}

TEST(CheckRecords, UsageCountWrapsLikeTheByteItIs)
{
    db::Database d = clitest::smallDatabase();
    // 256 users of one name store 0.
    for (int k = 0; k < 254; ++k) {
        db::StaffRecord s = d.staff[3];
        s.set(StaffRecord::ClubContractedId, -2);
        s.set(StaffRecord::Classification, 0);
        d.appendStaff(s, std::nullopt, std::nullopt);
    }
    d.firstNames[0].set(db::NameRecord::UsageCount, 0);
    d.secondNames[1].set(db::NameRecord::UsageCount, 0);
    EXPECT_TRUE(db::checkRecords(d).empty()) << ::testing::PrintToString(lines(db::checkRecords(d)));
}

TEST(CheckRecords, EmptyDatabaseIsClean)
{
    EXPECT_TRUE(db::checkRecords(db::Database::withEmptyIndex()).empty());
    EXPECT_TRUE(db::checkRecords(db::Database{}).empty());
}

// ---- Layout -----------------------------------------------------------------

db::FileSizes sizesOf(const db::Database& d)
{
    db::FileSizes sizes;
    sizes["index.dat"] = 8 + 22 * 67;
    for (const db::DataFile& f : db::dataFiles()) {
        std::uint64_t n = 0;
        for (int k : f.entries)
            n += static_cast<std::uint64_t>(d.entry(k).get(db::IndexEntry::RecordCount)) * db::recordSize(k);
        sizes[f.name] = n;
    }
    return sizes;
}

TEST(CheckLayout, ExactFilesAreClean)
{
    const db::Database d = clitest::smallDatabase();
    EXPECT_TRUE(db::checkLayout(d, sizesOf(d)).empty());
}

TEST(CheckLayout, TableOffsetThatDisagrees)
{
    db::Database d = clitest::smallDatabase();
    const auto sizes = sizesOf(d);
    d.entry(db::Entry::NonPlayers).set(db::IndexEntry::TableOffset, 1);
    const auto found = lines(db::checkLayout(d, sizes));
    ASSERT_EQ(found.size(), 1u) << ::testing::PrintToString(found);
    EXPECT_EQ(found[0], "index[9] TableOffset: 1 but the tables before it end at 660");
}

TEST(CheckLayout, FilesShorterThanTheCounts)
{
    const db::Database d = clitest::smallDatabase();
    auto sizes = sizesOf(d);
    sizes["club.dat"] = 581 * 2 - 1;
    sizes["staff.dat"] = *sizes["staff.dat"] - 70;
    sizes["index.dat"] = 1481;
    sizes["nation.dat"] = std::nullopt;
    const auto found = lines(db::checkLayout(d, sizes));
    EXPECT_EQ(found, (std::vector<std::string>{
                         "index.dat length: 1481 bytes, the 22 entries need 1482",
                         "club.dat length: 1161 bytes, shorter than the 1162 bytes the counts need",
                         "nation.dat length: missing; the counts need 580 bytes",
                         "staff.dat length: 936 bytes, shorter than the 1006 bytes the counts need",
                     }));
}

TEST(CheckLayout, HugeCountsAndOffsetsDoNotOverflow)
{
    db::Database d = clitest::smallDatabase();
    auto sizes = sizesOf(d);
    d.entry(db::Entry::Players).set(db::IndexEntry::RecordCount, 0x7FFFFFFF);
    d.entry(db::Entry::Staff).set(db::IndexEntry::RecordCount, 0x7FFFFFFF);
    d.entry(db::Entry::Players).set(db::IndexEntry::TableOffset, -2147483647 - 1);
    const auto found = lines(db::checkLayout(d, sizes));
    ASSERT_FALSE(found.empty());
    EXPECT_NE(std::find(found.begin(), found.end(),
                        "staff.dat length: 1006 bytes, shorter than the 337154932579 bytes the counts need"),
              found.end())
        << ::testing::PrintToString(found);
}

}  // namespace

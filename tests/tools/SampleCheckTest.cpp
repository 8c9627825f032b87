// check on the generated sample database: clean as generated, and each kind
// of damage planted in a copy is named.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SmallDatabase.h"
#include "db/format/Codes.h"
#include "db/query/Checker.h"
#include "db/query/Search.h"
#include "db/rules/Win1252.h"
#include "tools/cli/Cli.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::ClubRecord;
using db::StaffRecord;

struct CheckRun {
    int status;
    std::string out;
    std::string err;
};

CheckRun check(const std::string& dir)
{
    std::ostringstream out, err;
    const int status = cli::run({"check", dir}, out, err);
    return {status, out.str(), err.str()};
}

class SampleCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = clitest::scratchFolder("sample");
        sample::Options options;
        options.scale = 0.02;
        d = sample::makeDatabase(options);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void write() { sample::writeDataFolder(d, dir); }

    // First slot of `list` in a club that holds -1.
    static int freeSlot(const ClubRecord& c, db::IdListField list)
    {
        for (int k = 0; k < list.count; ++k)
            if (c.id(list, k) == -1) return k;
        return -1;
    }

    // The first person listed in the player slots of club `club`, with his slot.
    std::pair<std::int32_t, int> listedPlayer(std::size_t club) const
    {
        for (int k = 0; k < ClubRecord::PlayerIds.count; ++k) {
            const std::int32_t id = d.clubs[club].id(ClubRecord::PlayerIds, k);
            if (db::isValidRef(id, d.staff.size()) &&
                d.staff[static_cast<std::size_t>(id)].get(StaffRecord::JobForClub) == db::Job::Player)
                return {id, k};
        }
        return {-1, -1};
    }

    std::int32_t firstWithClassification(std::uint8_t cls, std::int32_t after = -1) const
    {
        for (std::size_t i = static_cast<std::size_t>(after + 1); i < d.staff.size(); ++i)
            if (d.staff[i].get(StaffRecord::Classification) == cls) return static_cast<std::int32_t>(i);
        return -1;
    }

    static bool has(const std::string& out, const std::string& line)
    {
        return out.find(line + "\n") != std::string::npos;
    }

    std::string name(std::int32_t staffId) const
    {
        return d.staff[static_cast<std::size_t>(staffId)].displayName;
    }

    std::string dir;
    db::Database d;
};

TEST_F(SampleCheck, GeneratedDatabaseIsClean)
{
    write();
    const CheckRun r = check(dir);
    EXPECT_EQ(r.status, cli::kExitOk) << r.out << r.err;
    EXPECT_EQ(r.out, "No problems found.\n");
}

// The checker itself, on a generated database of half the game's size: not
// one problem of any grade.
TEST(SampleChecker, HalfSizeGeneratedDatabaseHasNoProblemOfAnyGrade)
{
    sample::Options options;
    options.scale = 0.5;
    const db::Database d = sample::makeDatabase(options);
    const std::vector<db::Problem> found = db::checkRecords(d);
    EXPECT_TRUE(found.empty()) << found.size() << " problems, the first: " << found.front().line();
}

TEST_F(SampleCheck, EachPlantedFaultIsNamed)
{
    ASSERT_GE(d.clubs.size(), 4u);
    std::vector<std::string> expected;

    // An identifier that is not its position.
    d.clubs[3].set(ClubRecord::ClubId, 99);
    expected.push_back("clubs[3] ClubId: identifier 99 differs from its position 3");

    // A reference beyond its table (the none values are tried elsewhere).
    d.staff[5].set(StaffRecord::NationId, 100000);
    expected.push_back("staff[5] NationId: reference 100000 is outside nations (" +
                       std::to_string(d.nations.size()) + " records)");

    // A slot holding a player of another club.
    const auto [other, otherSlot] = listedPlayer(1);
    const int slot = freeSlot(d.clubs[0], ClubRecord::PlayerIds);
    ASSERT_GE(other, 0);
    ASSERT_GE(slot, 0);
    d.clubs[0].setId(ClubRecord::PlayerIds, slot, other);
    expected.push_back("clubs[0] PlayerIds[" + std::to_string(slot) + "]: staff " + std::to_string(other) +
                       " (" + name(other) + ") is contracted to club 1 (" +
                       d.clubs[1].text(ClubRecord::LongName) + ")");

    // A slot holding a job it does not hold: club 2's player as its scout.
    const auto [player, playerSlot] = listedPlayer(2);
    const int scoutSlot = freeSlot(d.clubs[2], ClubRecord::ScoutIds);
    ASSERT_GE(player, 0);
    ASSERT_GE(scoutSlot, 0);
    d.clubs[2].setId(ClubRecord::ScoutIds, scoutSlot, player);
    expected.push_back("clubs[2] ScoutIds[" + std::to_string(scoutSlot) + "]: staff " +
                       std::to_string(player) + " (" + name(player) +
                       ") has job 11 (Player), which ScoutIds does not hold");

    // Someone contracted to a club that lists him nowhere.
    const auto [dropped, droppedSlot] = listedPlayer(3);
    ASSERT_GE(dropped, 0);
    d.clubs[3].setId(ClubRecord::PlayerIds, droppedSlot, -1);
    expected.push_back("staff[" + std::to_string(dropped) + "] ClubContractedId: contracted to club 3 (" +
                       d.clubs[3].text(ClubRecord::LongName) + "), which lists the person in no staff slot");

    // Attribute links: one missing, one beyond its table, one shared.
    const std::int32_t a = firstWithClassification(db::Classification::Player);
    const std::int32_t b = firstWithClassification(db::Classification::Player, a);
    const std::int32_t c = firstWithClassification(db::Classification::NonPlayer);
    const std::int32_t e = firstWithClassification(db::Classification::NonPlayer, c);
    ASSERT_TRUE(a >= 0 && b >= 0 && c >= 0 && e >= 0);
    d.staff[static_cast<std::size_t>(a)].set(StaffRecord::PlayerId, -1);
    expected.push_back("staff[" + std::to_string(a) +
                       "] PlayerId: missing link to players (-1) though the classification needs one");
    const auto players = static_cast<std::int32_t>(d.players.size());
    d.staff[static_cast<std::size_t>(b)].set(StaffRecord::PlayerId, players + 5);
    expected.push_back("staff[" + std::to_string(b) + "] PlayerId: link " + std::to_string(players + 5) +
                       " is outside players (" + std::to_string(players) + " records)");
    const std::int32_t shared = d.staff[static_cast<std::size_t>(c)].get(StaffRecord::NonPlayerId);
    d.staff[static_cast<std::size_t>(e)].set(StaffRecord::NonPlayerId, shared);
    expected.push_back("staff[" + std::to_string(e) + "] NonPlayerId: non-players record " +
                       std::to_string(shared) + " is also used by staff " + std::to_string(c) + " (" +
                       name(c) + ")");

    // A usage count that disagrees.
    const unsigned usage = d.firstNames[0].get(db::NameRecord::UsageCount);
    d.firstNames[0].set(db::NameRecord::UsageCount, static_cast<std::uint8_t>(usage + 1));
    expected.push_back("first-names[0] UsageCount: says " + std::to_string((usage + 1) & 0xFF) + " but " +
                       std::to_string(usage) + " staff use the name");

    // A TableOffset that disagrees with the layout: the players table moved
    // by whole records, with the file grown to match so that it still loads.
    const std::int32_t offset = d.entry(db::Entry::Players).get(db::IndexEntry::TableOffset);
    write();
    {
        const auto staffPath = std::filesystem::path(dir) / "data" / "staff.dat";
        std::ifstream in(staffPath, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        in.close();
        bytes.insert(static_cast<std::size_t>(offset), 70, '\0');
        std::ofstream(staffPath, std::ios::binary) << bytes;
        std::fstream index(std::filesystem::path(dir) / "data" / "index.dat",
                           std::ios::in | std::ios::out | std::ios::binary);
        index.seekp(8 + 67 * db::Entry::Players + 59);
        const std::uint32_t moved = static_cast<std::uint32_t>(offset) + 70;
        for (int i = 0; i < 4; ++i) index.put(static_cast<char>((moved >> (8 * i)) & 0xFF));
    }
    expected.push_back("index[10] TableOffset: " + std::to_string(offset + 70) +
                       " but the tables before it end at " + std::to_string(offset));

    const CheckRun r = check(dir);
    EXPECT_EQ(r.status, cli::kExitProblems) << r.err;
    for (const std::string& line : expected) EXPECT_TRUE(has(r.out, line)) << line << "\n---\n" << r.out;
    // The reference beyond its table reads as none: listed, but not counted as damage.
    EXPECT_TRUE(has(r.out, std::to_string(expected.size() - 1) +
                               " problems found.\n"
                               "1 reference names no record and will read as none:"))
        << r.out;
}

// check prints the engine's problems, in its order and words, each after
// its grade: what the editor lists is what the command prints.
TEST_F(SampleCheck, CheckPrintsTheEnginesListInItsOrder)
{
    d.clubs[2].set(ClubRecord::ClubId, 5);
    d.clubs[1].set(ClubRecord::Cash, -900'000'000);
    d.staff[7].set(StaffRecord::NationId, 100000);
    d.firstNames[1].set(db::NameRecord::UsageCount, 200);
    d.players[3].set(db::PlayerRecord::Pace, 99);
    write();
    std::string expected;
    for (const db::Problem& p : db::checkRecords(d)) {
        if (p.readsAsNone && expected.find("will read as none") == std::string::npos)
            expected += "4 problems found.\n1 reference names no record and will read as none:\n";
        expected += std::string(db::gradeWord(p.grade)) + " " + db::win1252ToUtf8(p.line()) + "\n";
    }
    const CheckRun r = check(dir);
    EXPECT_EQ(r.status, cli::kExitProblems);
    EXPECT_EQ(r.out, expected);
}

TEST_F(SampleCheck, SearchAgreesWithTheCore)
{
    write();
    std::vector<std::string> needles = {"a", "E", "ER", " ", "zzz"};
    for (std::size_t i = 0; i < d.staff.size(); i += 97)
        needles.push_back(d.staff[i].displayName.substr(1, 4));
    for (std::size_t i = 0; i < d.clubs.size(); i += 7)
        needles.push_back(d.clubs[i].text(ClubRecord::ShortName));
    for (const std::string& raw : needles) {
        for (const std::string what : {"staff", "clubs"}) {
            const auto expected = what == "staff" ? db::searchStaff(d, raw) : db::searchClubs(d, raw);
            std::ostringstream out, err;
            const int status = cli::run({"search", dir, what, db::win1252ToUtf8(raw)}, out, err);
            std::vector<std::int32_t> ids;
            std::istringstream in(out.str());
            for (std::string line; std::getline(in, line);) ids.push_back(std::stoi(line));
            EXPECT_EQ(ids, expected) << what << " '" << raw << "'";
            EXPECT_EQ(status, expected.empty() ? cli::kExitProblems : cli::kExitOk);
        }
    }
}

TEST_F(SampleCheck, FileShorterThanItsCountsIsAProblemNotAFailure)
{
    write();
    const auto path = std::filesystem::path(dir) / "data" / "staff.dat";
    const auto size = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, size - 1);
    const CheckRun r = check(dir);
    EXPECT_EQ(r.status, cli::kExitProblems) << r.err;
    EXPECT_TRUE(has(r.out, "staff.dat length: " + std::to_string(size - 1) + " bytes, shorter than the " +
                               std::to_string(size) + " bytes the counts need"))
        << r.out;
}

TEST_F(SampleCheck, MissingDataFileCannotBeRead)
{
    d.entry(db::Entry::Colours).set(db::IndexEntry::RecordCount, 0);
    d.colours.clear();
    write();
    std::filesystem::remove(std::filesystem::path(dir) / "data" / "colour.dat");
    const CheckRun r = check(dir);
    EXPECT_EQ(r.status, cli::kExitError) << r.out;
    EXPECT_NE(r.err.find("Cannot open file"), std::string::npos) << r.err;
}

}  // namespace

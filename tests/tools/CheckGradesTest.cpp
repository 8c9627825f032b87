// The checker's grades, record names and catalog fields on faults planted in
// the small fixture, the edges of the unusual ranges, and where used.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "SmallDatabase.h"
#include "db/query/Checker.h"
#include "db/query/WhereUsed.h"
#include "tools/cli/Cli.h"

namespace {

using db::ClubRecord;
using db::Grade;
using db::PlayerRecord;
using db::StaffRecord;
using Plant = std::function<void(db::Database&)>;

void born(db::Database& d, std::size_t staff, int day, int year)
{
    d.staff[staff].set(StaffRecord::DateOfBirth.dayOfYear(), static_cast<std::uint16_t>(day));
    d.staff[staff].set(StaffRecord::DateOfBirth.year(), static_cast<std::int16_t>(year));
}

void abilities(db::Database& d, int current, int potential)
{
    d.players[0].set(PlayerRecord::CurrentAbility, static_cast<std::int16_t>(current));
    d.players[0].set(PlayerRecord::PotentialAbility, static_cast<std::int16_t>(potential));
}

TEST(CheckGrades, EachPlantedFaultIsOneProblemOfItsGrade)
{
    const std::string zoe = "Zo\xEB O'Neil, \"Jr\"";
    struct Case {
        const char* what;
        Plant plant;
        Grade grade;
        std::string table;
        std::int64_t record;
        std::string name;
        std::string field;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"identifier", [](db::Database& d) { d.clubs[1].set(ClubRecord::ClubId, 7); }, Grade::Damage, "clubs",
         1, "Comma, \"Quoted\" M\xFCnchen", "ClubId", "identifier 7 differs"},
        {"link outside", [](db::Database& d) { d.staff[2].set(StaffRecord::PlayerId, 3); }, Grade::Damage,
         "staff", 2, "Fran\xE7ois Smith", "PlayerId", "link 3 is outside players"},
        {"shared record", [](db::Database& d) { d.staff[3].set(StaffRecord::PlayerId, 0); }, Grade::Damage,
         "staff", 3, "John O'Neil, \"Jr\"", "PlayerId", "also used by staff 1"},
        {"slot of another club", [](db::Database& d) { d.clubs[0].setId(ClubRecord::PlayerIds, 1, 2); },
         Grade::Inconsistent, "clubs", 0, "Quarn Town", "PlayerIds[1]", "is contracted to club 1"},
        {"listed twice", [](db::Database& d) { d.clubs[0].setId(ClubRecord::PlayerIds, 3, 1); },
         Grade::Inconsistent, "clubs", 0, "Quarn Town", "PlayerIds[3]", "listed twice, also in PlayerIds[0]"},
        {"usage count", [](db::Database& d) { d.firstNames[0].set(db::NameRecord::UsageCount, 5); },
         Grade::Inconsistent, "first-names", 0, "John", "UsageCount", "says 5 but 2"},
        {"attribute", [](db::Database& d) { d.players[0].set(PlayerRecord::Pace, 21); }, Grade::Unusual,
         "players", 0, zoe, "Pace", "21 is outside the game's scale of 0 to 20"},
        {"mental attribute", [](db::Database& d) { d.staff[0].set(StaffRecord::Adaptability, 200); },
         Grade::Unusual, "staff", 0, "John Smith", "Adaptability", "200 is outside"},
        {"ability above potential", [](db::Database& d) { abilities(d, 150, 120); }, Grade::Unusual,
         "players", 0, zoe, "CurrentAbility", "current ability 150 is above the potential ability 120"},
        {"potential off the scale", [](db::Database& d) { abilities(d, 10, -3); }, Grade::Unusual, "players",
         0, zoe, "PotentialAbility", "-3 is outside"},
        {"player of nine", [](db::Database& d) { born(d, 1, 182, 1988); }, Grade::Unusual, "staff", 1, zoe,
         "DateOfBirth", "the player is 9 when the game starts"},
        {"player of sixty-one", [](db::Database& d) { born(d, 1, 0, 1937); }, Grade::Unusual, "staff", 1, zoe,
         "DateOfBirth", "the player is 61"},
        {"negative wage", [](db::Database& d) { d.staff[0].set(StaffRecord::Wage, -1); }, Grade::Unusual,
         "staff", 0, "John Smith", "Wage", "-1 is outside every normal wage"},
        {"cash", [](db::Database& d) { d.clubs[0].set(ClubRecord::Cash, 300'000'001); }, Grade::Unusual,
         "clubs", 0, "Quarn Town", "Cash", "300000001 is outside every normal balance"},
        {"reference read as none", [](db::Database& d) { d.clubs[0].set(ClubRecord::NationId, 3); },
         Grade::Unusual, "clubs", 0, "Quarn Town", "NationId", "reference 3 is outside nations"},
    };
    for (const Case& c : cases) {
        db::Database d = clitest::smallDatabase();
        c.plant(d);
        const std::vector<db::Problem> found = db::checkRecords(d);
        ASSERT_EQ(found.size(), 1u) << c.what << (found.empty() ? "" : ": " + found[0].line());
        const db::Problem& p = found[0];
        EXPECT_EQ(p.grade, c.grade) << c.what;
        EXPECT_EQ(p.table, c.table) << c.what;
        EXPECT_EQ(p.record, c.record) << c.what;
        EXPECT_EQ(p.recordName, c.name) << c.what;
        EXPECT_EQ(p.field, c.field) << c.what;
        EXPECT_NE(p.message.find(c.says), std::string::npos) << c.what << ": " << p.message;
        ASSERT_NE(p.fieldInfo, nullptr) << c.what;
        EXPECT_EQ(c.field.rfind(std::string(p.fieldInfo->name), 0), 0u) << c.what;
    }
}

TEST(CheckGrades, TheEdgesOfTheUnusualRangesAreUsual)
{
    const std::vector<std::pair<const char*, Plant>> cases = {
        {"huge potential", [](db::Database& d) { abilities(d, 200, -1); }},
        {"massive potential", [](db::Database& d) { abilities(d, 0, -2); }},
        {"ability at its potential", [](db::Database& d) { abilities(d, 200, 200); }},
        {"attribute of 20", [](db::Database& d) { d.players[0].set(PlayerRecord::WorkRate, 20); }},
        {"player of ten", [](db::Database& d) { born(d, 1, 181, 1988); }},
        {"player of sixty", [](db::Database& d) { born(d, 1, 364, 1937); }},
        {"old chairman", [](db::Database& d) { born(d, 0, 0, 1900); }},
        {"highest wage", [](db::Database& d) { d.staff[0].set(StaffRecord::Wage, 1'000'000); }},
        {"lowest cash", [](db::Database& d) { d.clubs[0].set(ClubRecord::Cash, -20'000'000); }},
        {"squad number", [](db::Database& d) { d.players[0].set(PlayerRecord::SquadNumber, 99); }},
    };
    for (const auto& [what, plant] : cases) {
        db::Database d = clitest::smallDatabase();
        plant(d);
        const std::vector<db::Problem> found = db::checkRecords(d);
        EXPECT_TRUE(found.empty()) << what << ": " << (found.empty() ? "" : found[0].line());
    }
}

TEST(CheckGrades, LayoutProblemsAreDamageAndNoneReadingReferencesComeLast)
{
    db::Database d = clitest::smallDatabase();
    d.entry(db::Entry::Players).set(db::IndexEntry::TableOffset, 1);
    for (const db::Problem& p : db::checkLayout(d, {})) EXPECT_EQ(p.grade, Grade::Damage) << p.line();

    d = clitest::smallDatabase();
    d.clubs[0].set(ClubRecord::NationId, 3);
    d.firstNames[0].set(db::NameRecord::UsageCount, 5);
    const std::vector<db::Problem> found = db::checkRecords(d);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].field, "UsageCount");
    EXPECT_TRUE(found[1].readsAsNone);
}

// ---- Where used ---------------------------------------------------------------

std::vector<std::string> uses(const db::Database& d, db::TableId t, std::size_t id)
{
    std::vector<std::string> out;
    for (const db::Use& u : db::whereUsed(d, t, id)) out.push_back(u.text());
    return out;
}

TEST(WhereUsed, EveryReferringFieldInCatalogOrder)
{
    db::Database d = clitest::smallDatabase();
    d.staff[3].setId(StaffRecord::FavouriteClubs, 1, 0);
    d.clubs[1].setId(ClubRecord::RivalClubs, 2, 0);
    using V = std::vector<std::string>;
    EXPECT_EQ(uses(d, db::TableId::Clubs, 0), (V{"clubs[1] RivalClubs[2]", "staff[0] ClubContractedId",
                                                 "staff[1] ClubContractedId", "staff[3] FavouriteClubs[1]"}));
    EXPECT_EQ(uses(d, db::TableId::Staff, 2), (V{"clubs[1] ManagerId", "clubs[1] PlayerIds[0]"}));
    EXPECT_EQ(uses(d, db::TableId::FirstNames, 0), (V{"staff[0] FirstNameId", "staff[3] FirstNameId"}));
    EXPECT_EQ(uses(d, db::TableId::Cities, 0), (V{"stadiums[0] CityId"}));
    EXPECT_EQ(uses(d, db::TableId::Players, 0), (V{"staff[1] PlayerId"}));
    EXPECT_EQ(uses(d, db::TableId::Colours, 1).size(), 12u);
    EXPECT_TRUE(uses(d, db::TableId::CommonNames, 0).empty());
    EXPECT_TRUE(uses(d, db::TableId::Clubs, 2).empty());  // past the table
    EXPECT_FALSE(db::isReferenced(db::TableId::Index));
}

TEST(WhereUsed, RefsCommand)
{
    const std::string dir = clitest::scratchFolder("refs");
    db::Database d = clitest::smallDatabase();
    d.firstNames[0].set(db::NameRecord::UsageCount, 7);  // inconsistent only: check still exits 0
    clitest::writeGameFolder(d, dir);
    auto run = [&](std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = cli::run(args, out, err);
        return std::make_pair(status, out.str() + err.str());
    };
    EXPECT_EQ(run({"refs", dir, "stadiums", "0"}),
              std::make_pair(cli::kExitOk, std::string("clubs[0] StadiumId\nclubs[1] StadiumId\n")));
    EXPECT_EQ(run({"refs", dir, "common-names", "0"}).first, cli::kExitProblems);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"refs", dir, "clubs", "2"},
                                                                 {"refs", dir, "clubs", "-1"},
                                                                 {"refs", dir, "clubs", "1x"},
                                                                 {"refs", dir, "index", "0"},
                                                                 {"refs", dir, "clubs"}})
        EXPECT_EQ(run(bad).first, cli::kExitError) << bad.back();
    const auto [status, text] = run({"check", dir});
    EXPECT_EQ(status, cli::kExitOk);
    EXPECT_EQ(text,
              "inconsistent first-names[0] UsageCount: says 7 but 2 staff use the name\n1 problem found.\n");
    std::filesystem::remove_all(dir);
}

}  // namespace

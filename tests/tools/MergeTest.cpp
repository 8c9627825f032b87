// Updates that name their base, and merges of several updates made from one
// database: the base check, version 1 updates, merges with disjoint and
// overlapping edits under each policy, bad inputs, and the merge command on
// sample game folders.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "SmallDatabase.h"
#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/editing/Transfer.h"
#include "db/exchange/Merge.h"
#include "db/exchange/json/UpdateJson.h"
#include "tools/cli/Cli.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::TableId;

std::string bytesOf(const db::Database& d)
{
    std::string s;
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const std::size_t n = db::tableSize(d, t), size = db::tableLayout(t).recordSize;
        s += std::to_string(n) + ";";
        for (std::size_t i = 0; i < n; ++i)
            s.append(reinterpret_cast<const char*>(db::recordData(d, t, i)), size);
    }
    return s;
}

// A new club with a new person in it: both updates that do this append to
// the same tables and count one more user of names 0.
void newClubWithPlayer(db::Database& d, const std::string& name)
{
    const std::int32_t club = d.appendClub(db::composeNewClub(d));
    d.clubs.back().setText(db::ClubRecord::LongName, name);
    const std::int32_t who = db::addNewStaff(d, db::Classification::Player, db::Job::Player);
    db::transferStaff(d, {who, -2, club, db::Job::Player});
}

// Three sets of edits of one base that touch no field twice (but the usage
// counts of names 0, which add up).
db::Database edited(const db::Database& base, int which)
{
    db::Database d = base;
    switch (which) {
        case 0:
            for (std::size_t i = 1; i < 6; ++i)
                d.clubs[i].set(db::ClubRecord::Cash, 1000 * static_cast<int>(i));
            newClubWithPlayer(d, "North End");
            d.staff.back().set(db::StaffRecord::FirstNameId, d.appendName(db::NameKind::First, "Aki"));
            d.firstNames.back().set(db::NameRecord::UsageCount, 1);
            d.firstNames[0].set(db::NameRecord::UsageCount,
                                d.firstNames[0].get(db::NameRecord::UsageCount) - 1);
            break;
        case 1:
            for (std::size_t i = 0; i < 10; ++i) d.players[i].set(db::PlayerRecord::CurrentAbility, 150);
            newClubWithPlayer(d, "South Park");
            db::addNewStaff(d, db::Classification::NonPlayer, 8);
            break;
        default:
            d.clubs[8].setText(db::ClubRecord::ShortName, "Renamed");
            db::addNewStaff(d, db::Classification::NonPlayerAndPlayer, 5);
            newClubWithPlayer(d, "East Side");
    }
    return d;
}

db::Update applied(db::Database& d, const db::Update& u)
{
    const db::ApplyResult r = db::applyUpdate(d, u);
    EXPECT_TRUE(r.applied) << (r.conflicts.empty() ? "" : r.conflicts.front().line());
    return u;
}

struct Fixture {
    db::Database base = sample::makeDatabase({0.01, 4});
    std::vector<db::MergeInput> inputs;

    explicit Fixture(int n)
    {
        for (int i = 0; i < n; ++i)
            inputs.push_back({"u" + std::to_string(i + 1) + ".json",
                              db::decodeUpdate(db::encodeUpdate(db::diffDatabases(base, edited(base, i))))});
    }
};

TEST(UpdateBase, TheTargetIsTheBaseTheBaseWithEditsOrAnotherDatabase)
{
    const db::Database a = sample::makeDatabase({0.01, 4});
    const db::Update u = db::diffDatabases(a, edited(a, 0));
    db::Database appended = a, changed = a, nations = a, shrunk = a;
    newClubWithPlayer(appended, "Mine");
    changed.players[3].set(db::PlayerRecord::CurrentAbility, 3);
    nations.nations[0].bytes[10] ^= 1;
    shrunk.stadiums.pop_back();
    const struct {
        const char* what;
        const db::Database& target;
        db::BaseMatch match;
        bool applies;
    } cases[] = {
        {"the base", a, db::BaseMatch::Same, true},
        {"appended", appended, db::BaseMatch::Edited, true},
        {"changed", changed, db::BaseMatch::Edited, true},
        {"other nations", nations, db::BaseMatch::Different, false},
        {"fewer stadiums", shrunk, db::BaseMatch::Different, false},
        {"another sample", sample::makeDatabase({0.01, 5}), db::BaseMatch::Different, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const db::BaseCheck check = db::checkBase(c.target, u.base);
        EXPECT_EQ(check.match, c.match) << check.describe("it");
        db::Database target = c.target;
        const std::string before = bytesOf(target);
        const db::ApplyResult r = db::applyUpdate(target, u);
        EXPECT_EQ(r.applied, c.applies);
        if (!c.applies) {
            ASSERT_EQ(r.conflicts.size(), 1u);
            EXPECT_NE(r.conflicts[0].line().find("found another database: its "), std::string::npos)
                << r.conflicts[0].line();
            EXPECT_EQ(bytesOf(target), before);
        }
    }
    EXPECT_EQ(db::checkBase(appended, u.base).tables[std::size_t(TableId::Clubs)], db::TableMatch::Appended);
    EXPECT_NE(db::checkBase(nations, u.base).describe("it").find("nations differ"), std::string::npos);
    // Forced, a different database gets the field-by-field check of before.
    db::Database target = nations;
    EXPECT_TRUE(db::applyUpdate(target, u, {true}).applied);
}

TEST(UpdateBase, Version1UpdatesStillApply)
{
    const db::Database a = sample::makeDatabase({0.01, 6});
    const db::Database b = edited(a, 2);
    db::Update u = db::diffDatabases(a, b);
    u.base = {};
    const std::string text = db::encodeUpdate(u);
    EXPECT_NE(text.find("\"version\": 1,"), std::string::npos);
    EXPECT_EQ(text.find("\"base\""), std::string::npos);
    const db::Update read = db::decodeUpdate(text);
    EXPECT_FALSE(read.base.known);
    EXPECT_EQ(db::encodeUpdate(read), text);
    db::Database target = a;
    const db::ApplyResult r = db::applyUpdate(target, read);
    EXPECT_TRUE(r.applied);
    EXPECT_EQ(r.base.match, db::BaseMatch::Unknown);
    EXPECT_EQ(bytesOf(target), bytesOf(b));
}

TEST(Merge, DisjointUpdatesMergedThenAppliedEqualApplyingThemInTurn)
{
    for (int n : {2, 3}) {
        SCOPED_TRACE(n);
        Fixture f(n);
        const db::MergeResult m = db::mergeUpdates(f.base, f.inputs, db::MergePolicy::None);
        EXPECT_TRUE(m.conflicts.empty()) << m.conflicts.front().line(f.inputs);
        // Every later update's new club and person moved past the earlier ones'.
        const db::Renumbering& last = m.renumbered.back();
        EXPECT_EQ(last.input, static_cast<std::size_t>(n - 1));
        EXPECT_EQ(last.table, TableId::Players);
        EXPECT_EQ(last.to - last.from,
                  static_cast<std::int64_t>(f.inputs[0].update[TableId::Players].appended.size() +
                                            f.inputs[1].update[TableId::Players].appended.size() *
                                                static_cast<std::size_t>(n - 2)));
        db::Database inTurn = f.base;
        for (const db::MergeInput& in : f.inputs) applied(inTurn, in.update);
        db::Database merged = f.base;
        applied(merged, db::decodeUpdate(db::encodeUpdate(m.merged)));
        EXPECT_EQ(bytesOf(merged), bytesOf(inTurn));
        // Also over a target with edits and new records of its own.
        db::Database mine = f.base, mineInTurn;
        newClubWithPlayer(mine, "Mine");
        mineInTurn = mine;
        for (const db::MergeInput& in : f.inputs) applied(mineInTurn, in.update);
        applied(mine, m.merged);
        EXPECT_EQ(bytesOf(mine), bytesOf(mineInTurn));
    }
}

TEST(Merge, OverlappingEditsFollowThePolicyAndAreAllListed)
{
    const db::Database base = sample::makeDatabase({0.01, 4});
    // Cash of club 1 differs three ways; club 2's is the same on two sides
    // (no conflict); each update moves staff 0 to a club of its own, whose
    // identifiers are the same in the files but not once renumbered.
    std::vector<db::MergeInput> inputs;
    for (int i = 0; i < 3; ++i) {
        db::Database d = base;
        d.clubs[1].set(db::ClubRecord::Cash, 100 + i);
        if (i < 2) d.clubs[2].set(db::ClubRecord::Cash, 7);
        d.appendClub(db::composeNewClub(d));
        d.clubs.back().setText(db::ClubRecord::LongName, "New " + std::to_string(i));
        d.staff[0].set(db::StaffRecord::ClubContractedId, static_cast<std::int32_t>(d.clubs.size() - 1));
        inputs.push_back({"side" + std::to_string(i), db::diffDatabases(base, d)});
    }
    const auto clubs = static_cast<std::int32_t>(base.clubs.size());
    const struct {
        db::MergePolicy policy;
        int kept;
        std::optional<std::int32_t> cash, club;
    } cases[] = {
        {db::MergePolicy::First, 0, 100, clubs},
        {db::MergePolicy::Last, 2, 102, clubs + 2},
        {db::MergePolicy::None, -1, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(db::policyName(c.policy));
        const db::MergeResult m = db::mergeUpdates(base, inputs, c.policy);
        ASSERT_EQ(m.conflicts.size(), 2u);
        for (const db::MergeConflict& x : m.conflicts) {
            EXPECT_EQ(x.kept, c.kept);
            EXPECT_EQ(x.sides.size(), 3u);
        }
        EXPECT_EQ(m.conflicts[0].line(inputs).substr(0, 9), "clubs[1] ");
        EXPECT_NE(m.conflicts[0].line(inputs).find(": base " +
                                                   std::to_string(base.clubs[1].get(db::ClubRecord::Cash)) +
                                                   "; side0 100; side1 101; side2 102 -> "),
                  std::string::npos)
            << m.conflicts[0].line(inputs);
        EXPECT_NE(m.conflicts[1].line(inputs).find("side0 " + std::to_string(clubs) + "; side1 " +
                                                   std::to_string(clubs + 1)),
                  std::string::npos)
            << m.conflicts[1].line(inputs);
        db::Database d = base;
        applied(d, m.merged);
        ASSERT_EQ(d.clubs.size(), base.clubs.size() + 3);
        EXPECT_EQ(d.clubs[2].get(db::ClubRecord::Cash), 7);
        EXPECT_EQ(d.clubs[1].get(db::ClubRecord::Cash),
                  c.cash.value_or(base.clubs[1].get(db::ClubRecord::Cash)));
        EXPECT_EQ(d.staff[0].get(db::StaffRecord::ClubContractedId),
                  c.club.value_or(base.staff[0].get(db::StaffRecord::ClubContractedId)));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(d.clubs[static_cast<std::size_t>(clubs + i)].get(db::ClubRecord::ClubId), clubs + i);
    }
}

// A reference holding its table's count reads as none; records appended
// before it, by the target or by another update, must not make it a link.
TEST(Merge, ACountThatMeansNoneStaysNone)
{
    const db::Database base = sample::makeDatabase({0.01, 4});
    db::Database none = base, club = base;
    none.staff[1].set(db::StaffRecord::ClubContractedId, static_cast<std::int32_t>(base.clubs.size()));
    newClubWithPlayer(club, "Elsewhere");
    const std::vector<db::MergeInput> inputs = {{"club", db::diffDatabases(base, club)},
                                                {"none", db::diffDatabases(base, none)}};
    const db::MergeResult m = db::mergeUpdates(base, inputs, db::MergePolicy::None);
    db::Database mine = base;
    newClubWithPlayer(mine, "Mine");
    for (const db::Update& u : {inputs[1].update, m.merged}) {
        db::Database target = mine;  // a club more than the update's base
        applied(target, u);
        EXPECT_EQ(target.staff[1].get(db::StaffRecord::ClubContractedId),
                  static_cast<std::int32_t>(target.clubs.size()));
    }
}

TEST(Merge, BadInputIsRefusedWithOneMessage)
{
    Fixture f(2);
    const db::Database other = sample::makeDatabase({0.01, 5});
    const db::Update foreign = db::diffDatabases(other, edited(other, 0));
    db::Update v1 = f.inputs[0].update;
    v1.base = {};
    v1[TableId::Clubs].changed.front().fields.front().oldBytes[0] ^= 1;
    db::Update damaged = f.inputs[1].update;
    damaged[TableId::Players].changed.front().id = 1 << 30;
    const struct {
        std::vector<db::MergeInput> inputs;
        std::string message;
    } cases[] = {
        {{}, "no updates to merge"},
        {{f.inputs[0], {"foreign.json", foreign}},
         "u1.json and foreign.json were made from different databases"},
        {{{"foreign.json", foreign}}, "foreign.json was not made from this base: the fingerprint of its"},
        {{f.inputs[1], {"old.json", v1}}, "old.json does not fit the base: clubs["},
        {{f.inputs[0], f.inputs[1], {"again.json", f.inputs[0].update}},
         "again.json is the same update as u1.json"},
        {{f.inputs[0], {"damaged.json", damaged}}, "no such record in the old database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            db::mergeUpdates(f.base, c.inputs, db::MergePolicy::First);
            ADD_FAILURE() << "accepted";
        } catch (const db::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

// ---- The command on sample game folders -----------------------------------

struct CliResult {
    int status;
    std::string out, err;
};

CliResult cliRun(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

TEST(MergeCommand, ThreeUpdatesMergedAndAppliedGiveACleanDatabase)
{
    const std::filesystem::path root = clitest::scratchFolder("merge-cli");
    const db::Database base = sample::makeDatabase({0.01, 4});
    const std::string baseDir = (root / "base").string(), game = (root / "game").string();
    sample::writeDataFolder(base, baseDir);
    sample::writeDataFolder(base, game);
    std::vector<std::string> args = {"merge", baseDir};
    for (int i = 0; i < 3; ++i) {
        const std::string dir = (root / ("e" + std::to_string(i))).string();
        const std::string file = (root / ("u" + std::to_string(i) + ".json")).string();
        sample::writeDataFolder(edited(base, i), dir);
        ASSERT_EQ(cliRun({"diff", baseDir, dir, "-o", file}).status, cli::kExitOk);
        args.push_back(file);
    }
    const std::string out = (root / "merged.json").string();
    args.insert(args.end(), {"-o", out, "--prefer", "first"});
    const CliResult merged = cliRun(args);
    ASSERT_EQ(merged.status, cli::kExitOk) << merged.err;
    EXPECT_NE(merged.out.find("renumbered: "), std::string::npos) << merged.out;
    EXPECT_NE(merged.out.find("; 0 conflicts.\n"), std::string::npos) << merged.out;
    EXPECT_TRUE(std::filesystem::exists(out + ".report.json"));

    const CliResult apply = cliRun({"apply", game, out});
    ASSERT_EQ(apply.status, cli::kExitOk) << apply.err << apply.out;
    EXPECT_NE(apply.out.find(" is the database the update was made from."), std::string::npos) << apply.out;
    const CliResult check = cliRun({"check", game});
    EXPECT_EQ(check.status, cli::kExitOk) << check.out;

    // A different database: apply stops before anything changes; merge with
    // it as the base writes nothing.
    const std::string other = (root / "other").string();
    sample::writeDataFolder(sample::makeDatabase({0.01, 5}), other);
    const CliResult foreign = cliRun({"apply", other, out});
    EXPECT_EQ(foreign.status, cli::kExitProblems);
    EXPECT_NE(foreign.err.find("is not the database the update was made from: its "), std::string::npos)
        << foreign.err;
    args[1] = other;
    args[args.size() - 3] = (root / "never.json").string();
    const CliResult bad = cliRun(args);
    EXPECT_EQ(bad.status, cli::kExitError);
    EXPECT_NE(bad.err.find("was not made from this base"), std::string::npos) << bad.err;
    EXPECT_FALSE(std::filesystem::exists(root / "never.json"));
    EXPECT_FALSE(std::filesystem::exists(root / "never.json.report.json"));
    std::filesystem::remove_all(root);
}

}  // namespace

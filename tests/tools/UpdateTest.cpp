// Database updates: random edit sequences on sample databases diffed, sent
// through the file form and applied to copies; bad update files; the
// quarndb-cli diff and apply commands on game folders.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "SmallDatabase.h"
#include "db/format/Codes.h"
#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/storage/SaveRecord.h"
#include "db/editing/Transfer.h"
#include "db/exchange/Update.h"
#include "db/exchange/json/UpdateJson.h"
#include "tools/cli/Cli.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::TableId;

db::Database sampleDatabase(std::uint64_t seed)
{
    return sample::makeDatabase({0.01, seed});
}

// Every byte of every table and of the index, for byte-for-byte comparisons.
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

// The file form in between, as a player would pass it on.
db::Update throughFile(const db::Update& u)
{
    return db::decodeUpdate(db::encodeUpdate(u));
}

// Edits through the operations the editor offers.
class Editor {
public:
    Editor(db::Database& d, std::uint64_t seed) : d_(d), rng_(seed) {}

    int pick(std::size_t n) { return std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(rng_); }

    // A number field of a club or person that is no reference.
    void editField(TableId t, std::size_t record)
    {
        const auto& fields = db::tableLayout(t).fields;
        for (;;) {
            const db::ByteField& f = fields[static_cast<std::size_t>(pick(fields.size()))];
            if (f.kind != db::ByteField::Kind::Number || f.refTable >= 0) continue;
            std::uint8_t* p = db::recordData(d_, t, record) + f.offset;
            p[0] = static_cast<std::uint8_t>(p[0] + 1 + pick(200));
            return;
        }
    }

    void randomStep()
    {
        switch (pick(7)) {
            case 0: {  // a number typed into any page
                const TableId t = std::array{TableId::Clubs, TableId::Stadiums, TableId::Staff,
                                             TableId::NonPlayers}[static_cast<std::size_t>(pick(4))];
                editField(t, static_cast<std::size_t>(pick(db::tableSize(d_, t))));
                break;
            }
            case 1:
                editField(TableId::Players, static_cast<std::size_t>(pick(d_.players.size())));
                break;
            case 2:
                d_.clubs[static_cast<std::size_t>(pick(d_.clubs.size()))].setText(
                    db::ClubRecord::LongName, "Caf\xe9 " + std::to_string(pick(99)));
                break;
            case 3: {  // a new club gets a name and a newly added person
                const std::int32_t club = d_.appendClub(db::composeNewClub(d_));
                d_.clubs.back().setText(db::ClubRecord::LongName, "New " + std::to_string(pick(999)));
                const std::int32_t who = db::addNewStaff(d_, db::Classification::NonPlayerAndPlayer, 5);
                db::transferStaff(d_, {who, -2, club, 5});
                break;
            }
            case 4: {  // a new person with new names
                const std::int32_t who = db::addNewStaff(d_, db::Classification::NonPlayer, 8);
                const std::int32_t first =
                    d_.appendName(db::NameKind::First, "Zo\xeb" + std::to_string(pick(99)));
                d_.staff[static_cast<std::size_t>(who)].set(db::StaffRecord::FirstNameId, first);
                d_.firstNames[static_cast<std::size_t>(first)].set(db::NameRecord::UsageCount, 1);
                break;
            }
            case 5: {  // a wizard player joins an existing club
                db::WizardTemplate t;
                for (std::size_t i = 0; i < t.bytes.size(); ++i)
                    t.bytes[i] = static_cast<std::uint8_t>(i % 17);
                const std::int32_t who = db::addWizardPlayer(d_, t, [this] { return pick(6); });
                db::transferStaff(d_, {who, -2, pick(d_.clubs.size()), db::Job::Player});
                break;
            }
            default: {  // a transfer of someone already there
                const std::int32_t who = pick(d_.staff.size());
                const db::StaffRecord& s = d_.staff[static_cast<std::size_t>(who)];
                db::transferStaff(d_, {who, s.get(db::StaffRecord::ClubContractedId), pick(d_.clubs.size()),
                                       s.get(db::StaffRecord::JobForClub)});
            }
        }
    }

private:
    db::Database& d_;
    std::mt19937_64 rng_;
};

// Where an appended record of the update lands in a target of `size` records.
std::int32_t shifted(std::int32_t v, std::int64_t count, std::size_t appended, std::size_t size)
{
    if (v >= count && v < count + static_cast<std::int64_t>(appended))
        return static_cast<std::int32_t>(v - count + static_cast<std::int64_t>(size));
    return v;
}

TEST(UpdateRoundTrip, RandomEditsGiveTheNewDatabaseByteForByte)
{
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        const db::Database a = sampleDatabase(seed);
        db::Database b = a;
        Editor edit(b, seed * 31);
        for (int i = 0; i < 25; ++i) edit.randomStep();

        const db::Update u = throughFile(db::diffDatabases(a, b));
        EXPECT_EQ(db::encodeUpdate(u), db::encodeUpdate(db::diffDatabases(a, b)));  // stable

        db::Database c = a;
        const db::ApplyResult r = db::applyUpdate(c, u);
        ASSERT_TRUE(r.applied) << (r.conflicts.empty() ? "" : r.conflicts.front().line());
        EXPECT_EQ(bytesOf(c), bytesOf(b));
        for (const db::StaffRecord& s : c.staff) EXPECT_EQ(s.displayName, c.buildDisplayName(s));

        // Twice: every changed field now conflicts, and nothing moves.
        const std::string applied = bytesOf(c);
        const db::ApplyResult again = db::applyUpdate(c, u);
        EXPECT_FALSE(again.applied);
        EXPECT_FALSE(again.conflicts.empty());
        EXPECT_EQ(bytesOf(c), applied);
    }
}

TEST(UpdateRoundTrip, UnrelatedEditsOfTheTargetSurvive)
{
    for (std::uint64_t seed = 20; seed <= 27; ++seed) {
        SCOPED_TRACE(seed);
        const db::Database a = sampleDatabase(seed);
        db::Database b = a;
        Editor edit(b, seed);
        for (int i = 0; i < 20; ++i) edit.randomStep();
        const db::Update u = throughFile(db::diffDatabases(a, b));

        // The receiver changed other clubs and added a club and a person of
        // his own, so the update's new records must move up.
        db::Database mine = a;
        Editor other(mine, seed + 1000);
        std::vector<bool> touched(a.clubs.size(), false);
        for (const db::RecordUpdate& rc : u[TableId::Clubs].changed)
            touched[static_cast<std::size_t>(rc.id)] = true;
        for (std::size_t i = 0; i < a.clubs.size(); ++i)
            if (!touched[i] && i % 3 == 0) other.editField(TableId::Clubs, i);
        mine.appendClub(db::composeNewClub(mine));
        mine.clubs.back().setText(db::ClubRecord::LongName, "Mine");
        db::addNewStaff(mine, db::Classification::Player, db::Job::Player);
        const db::Update own = db::diffDatabases(a, mine);

        db::Database r = mine;
        const db::ApplyResult result = db::applyUpdate(r, u);
        ASSERT_TRUE(result.applied) << (result.conflicts.empty() ? "" : result.conflicts.front().line());

        // Both sets of changes, the update's references moved past the
        // receiver's own new records.
        for (TableId t : {TableId::Clubs, TableId::Staff, TableId::Players, TableId::FirstNames}) {
            const db::TableLayout& info = db::tableLayout(t);
            for (const db::RecordUpdate& rc : own[t].changed) {
                if (std::any_of(u[t].changed.begin(), u[t].changed.end(),
                                [&](const db::RecordUpdate& x) { return x.id == rc.id; }))
                    continue;
                for (const db::FieldChange& fc : rc.fields)
                    EXPECT_EQ(0, std::memcmp(db::recordData(r, t, static_cast<std::size_t>(rc.id)) +
                                                 info.fields[fc.field].offset,
                                             fc.newBytes.data(), fc.newBytes.size()));
            }
            const std::size_t before = db::tableSize(mine, t);
            ASSERT_EQ(db::tableSize(r, t), before + u[t].appended.size());
            for (std::size_t k = 0; k < u[t].appended.size(); ++k) {
                const std::uint8_t* got = db::recordData(r, t, before + k);
                for (const db::ByteField& f : info.fields) {
                    std::vector<std::uint8_t> want(u[t].appended[k].bytes.begin() + f.offset,
                                                   u[t].appended[k].bytes.begin() + f.offset + f.width);
                    if (f.refTable >= 0 && f.width == 4) {
                        const auto ref = static_cast<TableId>(f.refTable);
                        std::int32_t v;
                        std::memcpy(&v, want.data(), 4);
                        v = shifted(v, u[ref].count, u[ref].appended.size(), db::tableSize(mine, ref));
                        std::memcpy(want.data(), &v, 4);
                    }
                    EXPECT_EQ(0, std::memcmp(got + f.offset, want.data(), f.width))
                        << info.name << " " << f.name;
                }
            }
        }
        EXPECT_EQ(r.entry(db::Entry::Clubs).get(db::IndexEntry::RecordCount),
                  static_cast<std::int32_t>(r.clubs.size()));
        EXPECT_EQ(r.entry(db::Entry::Players).get(db::IndexEntry::TableOffset),
                  static_cast<std::int32_t>(157 * r.staff.size() + 8 * r.staffExtra.size() +
                                            68 * r.nonPlayers.size()));
    }
}

TEST(UpdateConflicts, EveryDifferingOldValueIsListedAndNothingChanges)
{
    const db::Database a = sampleDatabase(3);
    db::Database b = a;
    b.clubs[1].set(db::ClubRecord::Cash, 123456);
    b.clubs[2].setText(db::ClubRecord::ShortName, "Renamed");
    b.appendClub(db::composeNewClub(b));
    const db::Update u = db::diffDatabases(a, b);

    db::Database target = a;
    target.clubs[1].set(db::ClubRecord::Cash, 7);
    target.clubs[2].setText(db::ClubRecord::ShortName, "Other");
    const std::string before = bytesOf(target);
    const db::ApplyResult r = db::applyUpdate(target, u);
    EXPECT_FALSE(r.applied);
    ASSERT_EQ(r.conflicts.size(), 2u);
    EXPECT_EQ(r.conflicts[0].field, "Cash");
    EXPECT_EQ(r.conflicts[0].found, "7");
    EXPECT_EQ(r.conflicts[0].expected, std::to_string(a.clubs[1].get(db::ClubRecord::Cash)));
    EXPECT_EQ(r.conflicts[1].line().substr(0, 9), "clubs[2] ");
    EXPECT_EQ(r.conflicts[1].found, "\"Other\"");
    EXPECT_EQ(bytesOf(target), before);

    // Forced: the update's values win.
    EXPECT_TRUE(db::applyUpdate(target, u, {true}).applied);
    EXPECT_EQ(target.clubs[1].get(db::ClubRecord::Cash), 123456);

    // A record the update changes that the target lacks cannot be forced.
    db::Database small = a;
    small.clubs.resize(1);
    EXPECT_FALSE(db::applyUpdate(small, u, {true}).applied);
}

// ---- Bad update files ----------------------------------------------------

std::string validText()
{
    db::Database a = sampleDatabase(5);
    db::Database b = a;
    b.clubs[0].set(db::ClubRecord::Cash, 99);
    b.appendClub(db::composeNewClub(b));
    return db::encodeUpdate(db::diffDatabases(a, b));
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST(UpdateFile, BadUpdatesGiveOneClearMessage)
{
    const std::string good = validText();
    ASSERT_NO_THROW(db::decodeUpdate(good));
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"not json at all", "not valid JSON"},
        {"", "not valid JSON"},
        {"[1, 2]", "not a Quarn db update"},
        {replaced(good, "\"version\": 2", "\"version\": 3"), "version 3; this program reads versions 1 to 2"},
        {replaced(good, "\"clubs\": \"", "\"clubs\": \"z"), "base hash of clubs must be 16"},
        {replaced(good, "\"version\": 2", "\"version\": 1"), "unknown key \"base\""},
        {replaced(good, "\"colours\":", "\"kits\":"), "Unknown table 'kits'"},
        {replaced(good, "\"Cash\": {", "\"Money\": {"), "Unknown field 'Money' of clubs"},
        {replaced(good, "\"Matchday\": 0", "\"Matchday\": 256"), "256 does not fit its field (0 to 255)"},
        {replaced(good, "\"Reputation\": 0", "\"Reputation\": 40000"),
         "40000 does not fit its field (-32768 to 32767)"},
        {replaced(good, "\"ChairmanId\": -1", "\"ChairmanId\": 900000"),
         "ChairmanId: 900000 points outside staff"},
        {replaced(good, "\"ReservedTail\": \"" + good.substr(good.find("\"ReservedTail\": \"") + 17, 2),
                  "\"ReservedTail\": \"zz"),
         "is not hex"},
        {replaced(good, "\"ShortName\": \"<new club>\"", "\"ShortName\": \"\u4e2d\""), "cannot store"},
        {replaced(good, "\"ShortName\": \"<new club>\",", ""), "ShortName is missing"},
        {std::string(100000, '['), "nests too deeply"},
        {replaced(good, "\"Matchday\": 0", "\"Matchday\": -" + std::string(400, '1')), "a number too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        try {
            db::decodeUpdate(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const db::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }

    // A file too large is refused before it is read.
    const std::string dir = clitest::scratchFolder("update-huge");
    const auto huge = std::filesystem::path(dir) / "huge.json";
    std::ofstream(huge).put('{');
    std::filesystem::resize_file(huge, db::kMaxUpdateBytes + 1);
    try {
        db::readUpdateFile(huge.string());
        ADD_FAILURE() << "accepted";
    } catch (const db::Error& e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
    std::filesystem::remove_all(dir);
}

TEST(FieldTables, EveryRecordByteBelongsToExactlyOneNamedField)
{
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const db::TableLayout& t = db::tableLayout(static_cast<TableId>(k));
        SCOPED_TRACE(t.name);
        std::size_t at = 0;
        for (const db::ByteField& f : t.fields) {
            EXPECT_EQ(f.offset, at) << f.name;
            EXPECT_EQ(db::fieldByName(t, f.name), &f) << "duplicate name " << f.name;
            at = f.offset + f.width;
        }
        EXPECT_EQ(at, t.recordSize);
    }
}

// ---- The commands on game folders ----------------------------------------

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

std::map<std::string, std::string> dataFiles(const std::filesystem::path& game)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(game / "data")) {
        std::ifstream in(e.path(), std::ios::binary);
        files[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

TEST(UpdateCommands, DiffThenApplyGivesTheNewFolderWithABackup)
{
    const std::filesystem::path root = clitest::scratchFolder("update-cli");
    const db::Database a = sampleDatabase(9);
    db::Database b = a;
    Editor edit(b, 9);
    for (int i = 0; i < 15; ++i) edit.randomStep();
    sample::writeDataFolder(a, (root / "a").string());
    sample::writeDataFolder(b, (root / "b").string());
    sample::writeDataFolder(a, (root / "c").string());
    const std::string file = (root / "update.json").string();

    ASSERT_EQ(cliRun({"diff", (root / "a").string(), (root / "b").string(), "-o", file}).status, 0);
    const CliResult stdoutDiff = cliRun({"diff", (root / "a").string(), (root / "b").string()});
    {  // closed again before the folder is removed (Windows refuses open files)
        std::ifstream in(file, std::ios::binary);
        EXPECT_EQ(stdoutDiff.out, std::string(std::istreambuf_iterator<char>(in), {}));
    }

    const auto original = dataFiles(root / "c");
    const CliResult dry = cliRun({"apply", (root / "c").string(), file, "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("append clubs["), std::string::npos) << dry.out;
    EXPECT_EQ(dataFiles(root / "c"), original);

    const CliResult applied = cliRun({"apply", (root / "c").string(), file});
    ASSERT_EQ(applied.status, 0) << applied.err;
    EXPECT_EQ(dataFiles(root / "c"), dataFiles(root / "b"));
    const auto backupAt = applied.out.find("copied to ");
    ASSERT_NE(backupAt, std::string::npos) << applied.out;
    const std::string backup =
        applied.out.substr(backupAt + 10, applied.out.find('\n', backupAt) - backupAt - 10);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(backup) / "club.dat")) << backup;

    const auto done = dataFiles(root / "c");
    const CliResult twice = cliRun({"apply", (root / "c").string(), file});
    EXPECT_EQ(twice.status, cli::kExitProblems);
    EXPECT_NE(twice.out.find("conflict: "), std::string::npos);
    EXPECT_NE(twice.err.find("nothing was written"), std::string::npos);
    EXPECT_EQ(dataFiles(root / "c"), done);

    std::ofstream(file, std::ios::trunc) << "{\"format\": \"quarndb-update\", \"version\": 7}";
    const CliResult bad = cliRun({"apply", (root / "c").string(), file});
    EXPECT_EQ(bad.status, cli::kExitError);
    EXPECT_NE(bad.err.find("version 7"), std::string::npos) << bad.err;
    EXPECT_EQ(dataFiles(root / "c"), done);

    // Not over an interrupted save, not even a dry run: recover comes first.
    ASSERT_EQ(cliRun({"diff", (root / "a").string(), (root / "b").string(), "-o", file}).status, 0);
    std::ofstream(root / "c" / "data" / ".quarndb-save", std::ios::binary)
        << db::formatSaveRecord({{"club.dat", ".club.dat.x.tmp", ".club.dat.quarn-old", 1, 1}});
    const auto interrupted = dataFiles(root / "c");
    for (const bool dryRun : {true, false}) {
        std::vector<std::string> args = {"apply", (root / "c").string(), file};
        if (dryRun) args.push_back("--dry-run");
        const CliResult r = cliRun(args);
        EXPECT_EQ(r.status, cli::kExitError);
        EXPECT_NE(r.err.find("interrupted save; run 'quarndb-cli recover"), std::string::npos) << r.err;
        EXPECT_EQ(dataFiles(root / "c"), interrupted);
    }
    std::filesystem::remove_all(root);
}

}  // namespace

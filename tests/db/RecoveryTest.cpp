// Recovery of a game folder after a save that went wrong twice, a record
// cut short, leftovers that are not ours, and saves that must not start.

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "db/storage/Recovery.h"
#include "db/storage/SaveRecord.h"
#include "db/storage/Storage.h"

using namespace testing_db;
namespace fs = std::filesystem;

namespace {

struct Game {
    TempDir dir;
    db::Database d;
    std::map<std::string, FileState> before, saved;

    Game()
    {
        writeSampleGame(dir.path(), 0.02);
        d = loadGame(dir.path());
        d.appendClub(db::ClubRecord{});
        d.appendStaff(db::StaffRecord{}, std::nullopt, db::PlayerRecord{});
        d.staff[1].set(db::StaffRecord::Wage, 4321);
        before = snapshot(dir.path());
        TempDir other;
        copyTree(dir.path(), other.path());
        db::NullProgress none;
        db::saveDatabase(d, other.path(), none);
        saved = snapshot(other.path());
    }
};

}  // namespace

// A swap step fails, and so does putting an original back: the folder is
// mixed, the message says so, and the next start makes it whole as one set.
TEST(Recovery, DoubleFaultsEndWholeAfterTheNextStart)
{
    Game g;
    // Renames 1-7 swap the files in; the first put-back is rename n + 1.
    // A failing folder flush after the last swap is undone the same way.
    struct Case {
        Op first;
        int firstAt;
    };
    std::vector<Case> cases;
    for (int n = 2; n <= 7; ++n) cases.push_back({Op::Rename, n});
    cases.push_back({Op::SyncDir, 2});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(opName(c.first)) + " " + std::to_string(c.firstAt));
        TempDir dir;
        copyTree(g.dir.path(), dir.path());
        FaultyFileSystem faulty;
        faulty.failOp = c.first;
        faulty.failAt = c.firstAt;
        faulty.secondOp = Op::Rename;
        faulty.secondAt = (c.first == Op::Rename ? c.firstAt : 7) + 1;
        db::NullProgress none;
        const std::string error = errorOf([&] { db::saveDatabase(g.d, dir.path(), none, faulty); });
        EXPECT_EQ(error.rfind("Stream write error. ", 0), 0u) << error;
        EXPECT_NE(error.find("is kept: the next File > Open or File > Save, the next start"), std::string::npos)
            << error;
        EXPECT_TRUE(fs::exists(dir.file("data/.quarndb-save")));

        db::NullProgress quiet;
        EXPECT_NE(errorOf([&] { db::saveDatabase(g.d, dir.path(), quiet); }), "");  // not over a mixed folder
        const db::RecoveryReport report = db::recoverGameFolder(dir.path());
        EXPECT_TRUE(report.whole()) << report.text();
        EXPECT_EQ(report.files.size(), 7u);
        const auto after = snapshot(dir.path());
        EXPECT_TRUE(after == g.before || after == g.saved) << report.text();
        EXPECT_EQ(loadGame(dir.path()).clubs.size(), after == g.saved ? g.d.clubs.size() : g.d.clubs.size() - 1);
    }
}

TEST(Recovery, ARecordCutShortMeansNothingWasReplaced)
{
    const db::SaveRecord record = {{"club.dat", ".club.dat.ab12cd34.tmp", ".club.dat.quarn-old", 581, 0xABCDEFull},
                                   {"index.dat", ".index.dat.x.tmp", ".index.dat.quarn-old-2", 1482, 7}};
    const std::string text = db::formatSaveRecord(record);
    db::SaveRecord parsed;
    ASSERT_TRUE(db::parseSaveRecord(Bytes(text.begin(), text.end()), parsed));
    EXPECT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[1].kept, ".index.dat.quarn-old-2");
    EXPECT_EQ(parsed[0].checksum, 0xABCDEFull);
    for (std::size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_FALSE(db::parseSaveRecord(Bytes(text.begin(), text.begin() + static_cast<long>(cut)), parsed)) << cut;
    std::string tampered = text;
    tampered[30] = tampered[30] == 'a' ? 'b' : 'a';
    EXPECT_FALSE(db::parseSaveRecord(Bytes(tampered.begin(), tampered.end()), parsed));
    std::string escaping = db::formatSaveRecord({{"../club.dat", "x", "y", 1, 1}});
    EXPECT_FALSE(db::parseSaveRecord(Bytes(escaping.begin(), escaping.end()), parsed));
}

// A second name that differs from the game's file may be someone's only
// copy of it: never removed, never put back without a record, only reported.
TEST(Recovery, StraysAreRemovedButForeignCopiesAreLeftAlone)
{
    Game g;
    writeBytes(g.dir.file("data/.staff.dat.quarn-old"), {1, 2, 3});
    fs::copy_file(g.dir.file("data/club.dat"), g.dir.file("data/.club.dat.quarn-old-3"));
    writeBytes(g.dir.file("data/.club.dat.k3j4h5g6.tmp"), {9});
    writeBytes(g.dir.file("data/.quarndb-save"), {'q', 'u'});  // cut short
    fs::create_directories(g.dir.file(".data-backup-2026-01-01-1200.tmp"));
    writeBytes(g.dir.file(".data-backup-2026-01-01-1200.tmp/club.dat"), {1});

    const db::RecoveryReport look = db::recoverGameFolder(g.dir.path(), false);
    EXPECT_EQ(look.outcome, db::RecoveryReport::Outcome::Tidied);
    EXPECT_EQ(look.leftovers.size(), 3u);
    EXPECT_TRUE(fs::exists(g.dir.file("data/.club.dat.k3j4h5g6.tmp")));

    const db::RecoveryReport done = db::recoverGameFolder(g.dir.path());
    ASSERT_EQ(done.leftAlone.size(), 1u);
    EXPECT_EQ(fs::path(done.leftAlone[0]).filename(), ".staff.dat.quarn-old");
    EXPECT_EQ(fs::path(done.unfinishedBackup).filename(), ".data-backup-2026-01-01-1200.tmp");
    auto expected = g.before;
    expected["data/.staff.dat.quarn-old"] = FileState{{1, 2, 3}, modeOf(g.dir.file("data/.staff.dat.quarn-old"))};
    EXPECT_EQ(snapshot(g.dir.path()), expected);
    EXPECT_EQ(db::recoverGameFolder(g.dir.path()).outcome, db::RecoveryReport::Outcome::Nothing);
}

TEST(Recovery, APartlyLoadedDatabaseIsNeverSaved)
{
    TempDir dir;
    writeSampleGame(dir.path(), 0.02);
    const auto before = snapshot(dir.path());
    db::Database d;
    db::readIndex(d, dir.path());
    db::NullProgress none;
    EXPECT_NE(errorOf([&] { db::loadDatabase(d, dir.path(), dir.file("no-wizard"), none); }), "");
    EXPECT_FALSE(d.players.empty());  // every table is there, the load still did not finish
    EXPECT_EQ(errorOf([&] { db::saveDatabase(d, dir.path(), none); }),
              "The database was not loaded completely; saving it would overwrite the game's files with missing "
              "records. Nothing was saved.");
    fs::remove(dir.file("data/stadium.dat"));
    db::Database half;
    db::readIndex(half, dir.path());
    errorOf([&] { db::loadDatabase(half, dir.path(), dir.file("wizard.quarn"), none); });
    writeSampleGame(dir.path(), 0.02);
    EXPECT_NE(errorOf([&] { db::saveDatabase(half, dir.path(), none); }), "");
    EXPECT_EQ(snapshot(dir.path()), before);
}

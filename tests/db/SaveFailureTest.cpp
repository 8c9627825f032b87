// A save that cannot finish must leave every file of the game folder as it
// was, whatever step fails.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TestSupport.h"
#include "db/Storage.h"

using namespace testing_db;

namespace {

// A loaded game with edits in memory, so that a save would change every
// file it writes.
struct EditedGame {
    TempDir dir;
    db::Database d;
    std::map<std::string, FileState> before;

    EditedGame()
    {
        writeSampleGame(dir.path(), 0.02);
        d = loadGame(dir.path());
        db::ClubRecord club;
        d.appendClub(club);
        for (auto kind : {db::NameKind::First, db::NameKind::Second, db::NameKind::Common})
            d.appendName(kind, "Ny");
        d.stadiums[0].set(db::StadiumRecord::Capacity, 12345);
        d.appendStaff(db::StaffRecord{}, db::NonPlayerRecord{}, db::PlayerRecord{});
        before = snapshot(dir.path());
    }
};

}  // namespace

TEST(SaveFailure, ReadOnlyFileIsRefusedBeforeAnythingChanges)
{
    EditedGame g;
    const std::string staff = g.dir.file("data/staff.dat");
    ::chmod(staff.c_str(), 0444);
    g.before = snapshot(g.dir.path());
    db::NullProgress none;
    EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, g.dir.path(), none); }), "Cannot open file " + staff);
    EXPECT_EQ(snapshot(g.dir.path()), g.before);
}

TEST(SaveFailure, MissingFileIsNotCreatedAndNothingChanges)
{
    EditedGame g;
    std::filesystem::remove(g.dir.file("data/second_names.dat"));
    g.before = snapshot(g.dir.path());
    db::NullProgress none;
    EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, g.dir.path(), none); }),
              "Cannot open file " + g.dir.file("data/second_names.dat"));
    EXPECT_EQ(snapshot(g.dir.path()), g.before);

    EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, g.dir.path() + "/elsewhere", none); }),
              "Cannot open file " + g.dir.path() + "/elsewhere/data/index.dat");
    EXPECT_FALSE(std::filesystem::exists(g.dir.path() + "/elsewhere"));
}

// Makes each call of each file operation fail in turn.
TEST(SaveFailure, EveryFailingStepLeavesEveryFileUnchanged)
{
    EditedGame g;
    db::NullProgress none;

    FaultyFileSystem counting;
    {
        // Count the calls of a clean save into a copy of the folder.
        TempDir other;
        std::filesystem::copy(
            g.dir.path(), other.path(),
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        db::saveDatabase(g.d, other.path(), none, counting);
    }

    int pointsTried = 0;
    for (Op op : {Op::Read, Op::CanWrite, Op::GetPerm, Op::CreateTemp, Op::Write, Op::Sync, Op::Close,
                  Op::SetPerm, Op::Rename, Op::SyncDir}) {
        const int calls = counting.calls[static_cast<int>(op)];
        EXPECT_GT(calls, 0) << opName(op);
        for (int n = 1; n <= calls; ++n) {
            FaultyFileSystem fs;
            fs.failOp = op;
            fs.failAt = n;
            RecordingProgress p;
            const std::string error = errorOf([&] { db::saveDatabase(g.d, g.dir.path(), p, fs); });
            ASSERT_TRUE(fs.failed) << opName(op) << " " << n;
            if (op == Op::Read)
                EXPECT_EQ(error, "Stream read error");
            else if (op == Op::CanWrite || op == Op::GetPerm)
                EXPECT_EQ(error.rfind("Cannot open file " + g.dir.path() + "/data/", 0), 0u) << error;
            else
                EXPECT_EQ(error, "Stream write error") << opName(op) << " " << n;
            ASSERT_EQ(snapshot(g.dir.path()), g.before)
                << opName(op) << " call " << n << " changed the folder";
            ++pointsTried;
        }
    }
    // Seven files, each opened, read, staged, flushed and renamed, and the folder flushed.
    EXPECT_EQ(pointsTried, 9 * 7 + 1);

    // And with nothing failing the same save goes through.
    db::saveDatabase(g.d, g.dir.path(), none);
    EXPECT_NE(snapshot(g.dir.path()), g.before);
    const db::Database back = loadGame(g.dir.path());
    EXPECT_EQ(back.clubs.size(), g.d.clubs.size());
    EXPECT_EQ(back.players.size(), g.d.players.size());
    EXPECT_EQ(back.stadiums[0].get(db::StadiumRecord::Capacity), 12345);
}

// A save that cannot finish must leave every file of the game folder as it
// was, whatever step fails.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestSupport.h"
#include "db/storage/Recovery.h"
#include "db/storage/Storage.h"

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
        d.appendStaff(db::StaffRecord{}, db::NonPlayerRecord{}, db::PlayerRecord{});
        // More bytes after the stadiums than the save writes: they stay.
        Bytes stadiums = readBytes(dir.file("data/stadium.dat"));
        stadiums.insert(stadiums.end(), stadiumTail.begin(), stadiumTail.end());
        writeBytes(dir.file("data/stadium.dat"), stadiums);
        d.stadiums[0].set(db::StadiumRecord::Capacity, 12345);
        before = snapshot(dir.path());
    }
    const Bytes stadiumTail = Bytes(3000, 0x5A);

    bool stadiumTailKept() const
    {
        const Bytes now = readBytes(dir.file("data/stadium.dat"));
        return now.size() == d.stadiums.size() * db::StadiumRecord::Size + stadiumTail.size() &&
               std::equal(stadiumTail.begin(), stadiumTail.end(), now.end() - 3000);
    }
};

}  // namespace

TEST(SaveFailure, ReadOnlyFileIsRefusedBeforeAnythingChanges)
{
    EditedGame g;
    const std::string staff = g.dir.file("data/staff.dat");
    setMode(staff, 0444);
    g.before = snapshot(g.dir.path());
    db::NullProgress none;
    const std::string error = errorOf([&] { db::saveDatabase(g.d, g.dir.path(), none); });
    EXPECT_EQ(error.rfind("Cannot open file " + staff + ". It ", 0), 0u) << error;
    EXPECT_TRUE(error.ends_with(
        " Nothing was changed; your edits are still open; make the game's data folder writable and Save again."))
        << error;
    EXPECT_EQ(snapshot(g.dir.path()), g.before);
}

TEST(SaveFailure, MissingFileIsNotCreatedAndNothingChanges)
{
    EditedGame g;
    std::filesystem::remove(g.dir.file("data/second_names.dat"));
    g.before = snapshot(g.dir.path());
    db::NullProgress none;
    EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, g.dir.path(), none); }).rfind(
                  "Cannot open file " + g.dir.file("data/second_names.dat") + ". It does not exist.", 0),
              0u);
    EXPECT_EQ(snapshot(g.dir.path()), g.before);

    EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, g.dir.file("elsewhere"), none); })
                  .rfind("Cannot open file " + g.dir.file("elsewhere/data/index.dat") + ".", 0),
              0u);
    EXPECT_FALSE(std::filesystem::exists(g.dir.file("elsewhere")));
}

namespace {

// Counts the calls of a clean save of `g` into a copy of its folder.
FaultyFileSystem countCalls(const EditedGame& g, bool refuseLinks)
{
    FaultyFileSystem counting;
    counting.refuseLinks = refuseLinks;
    TempDir other;
    copyTree(g.dir.path(), other.path());
    db::NullProgress none;
    db::saveDatabase(g.d, other.path(), none, counting);
    return counting;
}

// Makes each call of each operation in `ops` fail in turn and checks that
// the save reports it and leaves the folder as it was. Returns the number
// of failure points tried.
int failEachCall(EditedGame& g, bool refuseLinks, std::initializer_list<Op> ops)
{
    const FaultyFileSystem counting = countCalls(g, refuseLinks);
    int pointsTried = 0;
    for (Op op : ops) {
        int calls = counting.calls[static_cast<int>(op)];
        // The folder flushes after the commit belong to its tidying: see
        // FailedTidyingAfterTheCommitIsNoFailure.
        if (op == Op::SyncDir) {
            EXPECT_EQ(calls, 3);
            calls = 2;
        }
        EXPECT_GT(calls, 0) << opName(op);
        for (int n = 1; n <= calls; ++n) {
            FaultyFileSystem fs;
            fs.refuseLinks = refuseLinks;
            fs.failOp = op;
            fs.failAt = n;
            RecordingProgress p;
            const std::string error = errorOf([&] { db::saveDatabase(g.d, g.dir.path(), p, fs); });
            EXPECT_TRUE(fs.failed) << opName(op) << " " << n;
            // The specified first sentence, then the file, the cause and the
            // state of the folder.
            if (op == Op::ReadRange || op == Op::Size)
                EXPECT_EQ(error.rfind("Stream read error. Reading " + g.dir.file("data/"), 0), 0u) << error;
            else if (op == Op::CanWrite || op == Op::GetPerm)
                EXPECT_EQ(error.rfind("Cannot open file " + g.dir.file("data/"), 0), 0u) << error;
            else
                EXPECT_EQ(error.rfind("Stream write error. ", 0), 0u) << opName(op) << " " << n << error;
            EXPECT_NE(error.find(g.dir.path()), std::string::npos) << error;
            if (op == Op::Write)
                EXPECT_TRUE(error.ends_with(
                    ": the disk is full. Nothing was changed; your edits are still open; free some space and "
                    "Save again."))
                    << error;
            else
                EXPECT_TRUE(error.ends_with(" Nothing was changed; your edits are still open; Save again.") ||
                            op == Op::CanWrite || op == Op::GetPerm)
                    << error;
            EXPECT_EQ(snapshot(g.dir.path()), g.before)
                << opName(op) << " call " << n << " changed the folder";
            ++pointsTried;
        }
    }
    return pointsTried;
}

// The folder's files without the second names and the record a save may
// leave behind.
std::map<std::string, FileState> withoutLeftovers(std::map<std::string, FileState> files)
{
    std::erase_if(files,
                  [](const auto& f) { return f.first.ends_with(".quarn-old") || f.first.ends_with(".quarndb-save"); });
    return files;
}

}  // namespace

TEST(SaveFailure, EveryFailingStepLeavesEveryFileUnchanged)
{
    EditedGame g;
    // Seven files, each checked, measured, staged, flushed and renamed;
    // index.dat's header and stadium.dat's tail read back, the tail written
    // after the records; the save's record written, flushed and closed; the
    // folder flushed after the record and after the renames.
    EXPECT_EQ(failEachCall(g, false,
                           {Op::CanWrite, Op::GetPerm, Op::Size, Op::CreateTemp, Op::ReadRange, Op::Write,
                            Op::Sync, Op::Close, Op::SetPerm, Op::Rename, Op::SyncDir}),
              9 * 7 + 2 + 1 + 3 + 2);

    // And with nothing failing the same save goes through, leaving nothing
    // but the game's files.
    db::NullProgress none;
    db::saveDatabase(g.d, g.dir.path(), none);
    const auto after = snapshot(g.dir.path());
    EXPECT_NE(after, g.before);
    EXPECT_EQ(after.size(), g.before.size());
    const db::Database back = loadGame(g.dir.path());
    EXPECT_EQ(back.clubs.size(), g.d.clubs.size());
    EXPECT_EQ(back.players.size(), g.d.players.size());
    EXPECT_EQ(back.stadiums[0].get(db::StadiumRecord::Capacity), 12345);
    EXPECT_TRUE(g.stadiumTailKept());
}

// Where the file system has no hard links the originals are copied aside
// instead, and every step of that copy may fail too.
TEST(SaveFailure, WithoutHardLinksEveryFailingStepLeavesEveryFileUnchanged)
{
    EditedGame g;
    // A single refused link is no failure: that original is copied.
    const int links = countCalls(g, false).calls[static_cast<int>(Op::Link)];
    EXPECT_EQ(links, 7);
    for (int n = 1; n <= links; ++n) {
        TempDir dir;
        copyTree(g.dir.path(), dir.path());
        FaultyFileSystem fs;
        fs.failOp = Op::Link;
        fs.failAt = n;
        db::NullProgress none;
        EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, dir.path(), none, fs); }), "") << n;
        EXPECT_TRUE(fs.failed);
        EXPECT_EQ(snapshot(dir.path()).size(), g.before.size()) << n;
        EXPECT_EQ(loadGame(dir.path()).clubs.size(), g.d.clubs.size()) << n;
    }

    EXPECT_GT(failEachCall(g, true,
                           {Op::CreateNew, Op::ReadRange, Op::Write, Op::Sync, Op::Close, Op::SetPerm,
                            Op::Rename, Op::SyncDir}),
              7 * 5);

    FaultyFileSystem noLinks;
    noLinks.refuseLinks = true;
    db::NullProgress none;
    db::saveDatabase(g.d, g.dir.path(), none, noLinks);
    EXPECT_EQ(snapshot(g.dir.path()).size(), g.before.size());
    EXPECT_EQ(loadGame(g.dir.path()).clubs.size(), g.d.clubs.size());
    EXPECT_TRUE(g.stadiumTailKept());
}

// Once every file is renamed and the folder flushed the save has happened;
// failing to remove the originals' second names or the record afterwards
// changes nothing of that. The record stays until the second names are
// gone, so the next start (recovery) finishes the tidying; no save runs over
// it before then.
TEST(SaveFailure, FailedTidyingAfterTheCommitIsNoFailure)
{
    EditedGame g;
    db::NullProgress none;
    TempDir reference;
    copyTree(g.dir.path(), reference.path());
    db::saveDatabase(g.d, reference.path(), none);
    const auto saved = snapshot(reference.path());

    const FaultyFileSystem counting = countCalls(g, false);
    const int removals = counting.calls[static_cast<int>(Op::Remove)];
    EXPECT_EQ(removals, 8);  // seven second names, then the record
    for (int n = 1; n <= removals; ++n) {
        TempDir dir;
        copyTree(g.dir.path(), dir.path());
        FaultyFileSystem fs;
        fs.failOp = Op::Remove;
        fs.failAt = n;
        EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, dir.path(), none, fs); }), "") << n;
        const auto after = snapshot(dir.path());
        EXPECT_EQ(after.size(), saved.size() + (n <= 7 ? 2 : 1)) << n;
        EXPECT_EQ(withoutLeftovers(after), saved) << n;

        EXPECT_EQ(errorOf([&] { db::saveDatabase(g.d, dir.path(), none); })
                      .rfind("An earlier save into " + dir.file("data") + " was interrupted", 0),
                  0u);
        EXPECT_EQ(snapshot(dir.path()), after) << n;
        EXPECT_EQ(db::recoverGameFolder(dir.path()).outcome, db::RecoveryReport::Outcome::RolledForward);
        EXPECT_EQ(snapshot(dir.path()), saved) << n;
    }
}

TEST(SaveFailure, ASecondNameLeftOverIsNeverTouched)
{
    EditedGame g;
    const std::string kept = g.dir.file("data/.staff.dat.quarn-old");
    std::ofstream(kept, std::ios::binary) << "the only copy of an original";
    db::NullProgress none;
    db::saveDatabase(g.d, g.dir.path(), none);
    db::saveDatabase(g.d, g.dir.path(), none);
    std::ifstream in(kept, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "the only copy of an original");
    EXPECT_EQ(loadGame(g.dir.path()).players.size(), g.d.players.size());
}

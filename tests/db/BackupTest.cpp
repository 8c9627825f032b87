// The copy of the game's files taken before the first save of a run.

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "db/storage/Backup.h"
#include "db/storage/Storage.h"

using namespace testing_db;
namespace fs = std::filesystem;

namespace {

std::string expectedName(std::time_t t)
{
    const std::tm tm = localTime(t);
    char buf[64];
    std::strftime(buf, sizeof buf, "data-backup-%Y-%m-%d-%H%M", &tm);
    return buf;
}

const std::time_t kWhen = 1733690000;

}  // namespace

TEST(Backup, CopiesEverySavedFileByteForByte)
{
    TempDir dir;
    writeSampleGame(dir.path(), 0.02);
    db::NativeFileSystem native;
    const std::string folder = db::backupDataFolder(dir.path(), kWhen, native);
    EXPECT_EQ(folder, dir.file(expectedName(kWhen)));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"club.dat", "common_names.dat", "first_names.dat", "index.dat",
                                               "second_names.dat", "stadium.dat", "staff.dat"}));
    for (const std::string& n : names)
        EXPECT_EQ(readBytes(inFolder(folder, n)), readBytes(dir.file("data/" + n))) << n;
}

TEST(Backup, NeverOverwritesAnEarlierBackup)
{
    TempDir dir;
    writeSampleGame(dir.path(), 0.02);
    db::NativeFileSystem native;
    const std::string first = db::backupDataFolder(dir.path(), kWhen, native);
    const auto firstState = snapshot(first);
    writeBytes(dir.file("data/club.dat"), {1, 2, 3});
    const std::string second = db::backupDataFolder(dir.path(), kWhen, native);
    const std::string third = db::backupDataFolder(dir.path(), kWhen, native);
    EXPECT_EQ(second, first + "-2");
    EXPECT_EQ(third, first + "-3");
    EXPECT_EQ(snapshot(first), firstState);
    EXPECT_EQ(readBytes(inFolder(second, "club.dat")), (Bytes{1, 2, 3}));
}

TEST(Backup, SessionBacksUpOnlyBeforeItsFirstSave)
{
    TempDir dir;
    writeSampleGame(dir.path(), 0.02);
    const Bytes originalClubs = readBytes(dir.file("data/club.dat"));
    db::Database d = loadGame(dir.path());
    d.appendClub(db::ClubRecord{});
    db::SaveSession session;
    db::NullProgress none;
    const std::string folder = session.save(d, dir.path(), none, kWhen);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(readBytes(inFolder(folder, "club.dat")), originalClubs);
    EXPECT_EQ(readBytes(dir.file("data/club.dat")).size(), originalClubs.size() + 581);
    EXPECT_TRUE(session.backedUp(dir.path()));
    EXPECT_TRUE(session.backedUp(dir.file(".")));

    EXPECT_EQ(session.save(d, dir.path(), none, kWhen + 3600), "");
    EXPECT_FALSE(fs::exists(dir.file(expectedName(kWhen + 3600))));
    EXPECT_EQ(readBytes(inFolder(folder, "club.dat")), originalClubs);
}

TEST(Backup, FailureLeavesNoFolderAndStopsTheSave)
{
    TempDir dir;
    writeSampleGame(dir.path(), 0.02);
    const db::Database d = loadGame(dir.path());
    fs::remove(dir.file("data/staff.dat"));
    const auto before = snapshot(dir.path());
    db::SaveSession session;
    db::NullProgress none;
    EXPECT_EQ(errorOf([&] { session.save(d, dir.path(), none, kWhen); }),
              "Cannot open file " + dir.file("data/staff.dat"));
    EXPECT_EQ(snapshot(dir.path()), before);
    EXPECT_FALSE(session.backedUp(dir.path()));

    // A copy that fails part way takes its folder away again.
    writeSampleGame(dir.path(), 0.02);
    const auto restored = snapshot(dir.path());
    for (int n = 1; n <= 7; ++n) {
        FaultyFileSystem faulty;
        faulty.failOp = Op::Write;
        faulty.failAt = n;
        const std::string error = errorOf([&] { db::backupDataFolder(dir.path(), kWhen, faulty); });
        EXPECT_EQ(error.rfind("Stream write error. Copying " + dir.path(), 0), 0u) << error;
        EXPECT_TRUE(error.ends_with("the disk is full. Nothing was changed; your edits are still open; free some "
                                    "space and Save again."))
            << error;
        EXPECT_EQ(snapshot(dir.path()), restored) << n;
    }
    FaultyFileSystem noFolder;
    noFolder.failOp = Op::MakeDir;
    noFolder.failAt = 1;
    EXPECT_EQ(errorOf([&] { db::backupDataFolder(dir.path(), kWhen, noFolder); }),
              "Cannot create folder " + dir.file(expectedName(kWhen)));
}

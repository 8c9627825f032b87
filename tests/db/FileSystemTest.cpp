// The native file layer's ranged reads, sizes and second names, on which
// the save relies to keep the originals without holding them in memory.

#include <gtest/gtest.h>

#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#endif

#include "TestSupport.h"
#include "db/storage/FileSystem.h"

using namespace testing_db;

TEST(NativeFileSystem, RangedReadsAndSizes)
{
    TempDir dir;
    const std::string path = dir.file("f.dat");
    writeBytes(path, Bytes{1, 2, 3, 4, 5, 6, 7});
    db::NativeFileSystem fs;

    std::uint64_t size = 99;
    EXPECT_TRUE(fs.fileSize(path, size));
    EXPECT_EQ(size, 7u);
    EXPECT_FALSE(fs.fileSize(dir.file("missing"), size));
    EXPECT_FALSE(fs.fileSize(dir.path(), size));  // a folder has no file size

    Bytes out;
    EXPECT_EQ(fs.readRange(path, 2, 3, out), db::ReadStatus::Ok);
    EXPECT_EQ(out, (Bytes{3, 4, 5}));
    EXPECT_EQ(fs.readRange(path, 7, 0, out), db::ReadStatus::Ok);
    EXPECT_TRUE(out.empty());
    // A range running past the end is an error, not a short read.
    EXPECT_EQ(fs.readRange(path, 5, 3, out), db::ReadStatus::ReadFailed);
    EXPECT_EQ(fs.readRange(path, 100, 1, out), db::ReadStatus::ReadFailed);
    EXPECT_EQ(fs.readRange(dir.file("missing"), 0, 1, out), db::ReadStatus::CannotOpen);
}

TEST(NativeFileSystem, SecondNameSharesTheFileAndNeverReplaces)
{
    TempDir dir;
    const std::string path = dir.file("f.dat");
    const std::string kept = dir.file(".f.dat.old");
    writeBytes(path, Bytes{1, 2, 3});
    setMode(path, 0640);
    db::NativeFileSystem fs;

    ASSERT_TRUE(fs.link(path, kept));
    EXPECT_EQ(readBytes(kept), (Bytes{1, 2, 3}));
    EXPECT_EQ(modeOf(kept), modeAfterSet(0640));

    // Replacing the first name leaves the original under the second, and
    // renaming it back restores it whole.
    writeBytes(dir.file("new"), Bytes{9});
    ASSERT_TRUE(fs.rename(dir.file("new"), path));
    EXPECT_EQ(readBytes(kept), (Bytes{1, 2, 3}));
    ASSERT_TRUE(fs.rename(kept, path));
    EXPECT_EQ(readBytes(path), (Bytes{1, 2, 3}));
    EXPECT_FALSE(std::filesystem::exists(kept));

    writeBytes(kept, Bytes{7});
    EXPECT_FALSE(fs.link(path, kept));  // an existing name is never replaced
    EXPECT_EQ(readBytes(kept), (Bytes{7}));
    EXPECT_FALSE(fs.link(dir.file("missing"), dir.file("other")));
}

#ifdef _WIN32
// Wine hides dot files and keeps the mark in the file, and the save's staged
// files are dot files renamed over the game's: once given their final
// permissions they must arrive visible.
TEST(NativeFileSystem, AStagedFileArrivesVisible)
{
    TempDir dir;
    const std::filesystem::path staged = dir.file(".club.dat.tmp");
    const std::filesystem::path target = dir.file("club.dat");
    writeBytes(staged.string(), Bytes{1});
    ASSERT_TRUE(SetFileAttributesW(staged.c_str(), FILE_ATTRIBUTE_HIDDEN));
    db::NativeFileSystem fs;
    ASSERT_TRUE(fs.setPermissions(staged.string(), 0644u));
    ASSERT_TRUE(fs.rename(staged.string(), target.string()));
    EXPECT_FALSE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
#endif

// Loading a game folder: order, progress, and every way the files can be
// damaged or missing.

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "db/storage/Storage.h"
#include "tools/sample/SampleDb.h"

using namespace testing_db;

namespace {

template <typename R>
bool sameRecords(const db::Table<R>& a, const db::Table<R>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].bytes != b[i].bytes) return false;
    return true;
}

void setCount(const std::string& dir, int entry, std::int32_t count)
{
    Bytes index = readBytes(dir + "/data/index.dat");
    db::IndexEntry e;
    std::copy_n(index.begin() + 8 + 67 * entry, 67, e.bytes.begin());
    e.set(db::IndexEntry::RecordCount, count);
    std::copy(e.bytes.begin(), e.bytes.end(), index.begin() + 8 + 67 * entry);
    writeBytes(dir + "/data/index.dat", index);
}

void setOffset(const std::string& dir, int entry, std::int32_t offset)
{
    Bytes index = readBytes(dir + "/data/index.dat");
    db::IndexEntry e;
    std::copy_n(index.begin() + 8 + 67 * entry, 67, e.bytes.begin());
    e.set(db::IndexEntry::TableOffset, offset);
    std::copy(e.bytes.begin(), e.bytes.end(), index.begin() + 8 + 67 * entry);
    writeBytes(dir + "/data/index.dat", index);
}

void truncateFile(const std::string& path, std::size_t size)
{
    Bytes b = readBytes(path);
    b.resize(size);
    writeBytes(path, b);
}

}  // namespace

TEST(Load, ReadsEveryTableAsGenerated)
{
    TempDir dir;
    const db::Database made = writeSampleGame(dir.path());
    const db::Database d = loadGame(dir.path());
    EXPECT_TRUE(sameRecords(d.cities, made.cities));
    EXPECT_TRUE(sameRecords(d.clubs, made.clubs));
    EXPECT_TRUE(sameRecords(d.clubComps, made.clubComps));
    EXPECT_TRUE(sameRecords(d.colours, made.colours));
    EXPECT_TRUE(sameRecords(d.firstNames, made.firstNames));
    EXPECT_TRUE(sameRecords(d.secondNames, made.secondNames));
    EXPECT_TRUE(sameRecords(d.commonNames, made.commonNames));
    EXPECT_TRUE(sameRecords(d.nations, made.nations));
    EXPECT_TRUE(sameRecords(d.stadiums, made.stadiums));
    EXPECT_TRUE(sameRecords(d.staff, made.staff));
    EXPECT_TRUE(sameRecords(d.staffExtra, made.staffExtra));
    EXPECT_TRUE(sameRecords(d.nonPlayers, made.nonPlayers));
    EXPECT_TRUE(sameRecords(d.players, made.players));
    ASSERT_EQ(d.wizardTemplates.size(), 3u);
    EXPECT_EQ(d.wizardTemplates[2].text(db::WizardTemplate::TemplateName), "Template 2");
    EXPECT_TRUE(d.loadComplete());
    for (std::size_t i = 0; i < d.staff.size(); ++i)
        ASSERT_EQ(d.staff[i].displayName, made.staff[i].displayName);
    EXPECT_FALSE(d.staff[0].displayName.empty());
}

TEST(Load, ReportsProgressInLoadingOrder)
{
    TempDir dir;
    const db::Database made = writeSampleGame(dir.path(), 0.02, 2);
    db::Database d;
    db::readIndex(d, dir.path());
    RecordingProgress p;
    db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), p);

    std::vector<std::string> expected = {"show"};
    const auto table = [&](const char* status, std::size_t n) {
        expected.push_back(std::string("status ") + status);
        expected.push_back("max " + std::to_string(n));
        if (n) expected.push_back("steps");
        expected.push_back("pos 0");
    };
    table("Loading Cities", made.cities.size());
    table("Loading Clubs", made.clubs.size());
    table("Loading Club Competitions", made.clubComps.size());
    table("Loading Colours", made.colours.size());
    table("Loading First Names", made.firstNames.size());
    table("Loading Second Names", made.secondNames.size());
    table("Loading Common Names", made.commonNames.size());
    table("Loading Nations", made.nations.size());
    table("Loading Stadiums", made.stadiums.size());
    table("Loading Staff General", made.staff.size());
    table("Loading Staff Unknown", made.staffExtra.size());
    table("Loading Staff Non-Playing", made.nonPlayers.size());
    table("Loading Staff Playing", made.players.size());
    expected.insert(expected.end(), {"status Loading Player Wizard Plugin", "max 1", "steps", "hide"});
    EXPECT_EQ(p.calls, expected);
    const std::size_t records = made.cities.size() + made.clubs.size() + made.clubComps.size() +
                                made.colours.size() + made.firstNames.size() + made.secondNames.size() +
                                made.commonNames.size() + made.nations.size() + made.stadiums.size() +
                                made.staff.size() + made.staffExtra.size() + made.nonPlayers.size() +
                                made.players.size() + 2;
    EXPECT_EQ(p.steps, static_cast<int>(records));
}

TEST(Load, ZeroOrNegativeCountsGiveEmptyTables)
{
    TempDir dir;
    writeSampleGame(dir.path());
    setCount(dir.path(), db::Entry::Colours, 0);
    setCount(dir.path(), db::Entry::StaffExtra, -5);
    setCount(dir.path(), db::Entry::NonPlayers, 0);
    setOffset(dir.path(), db::Entry::NonPlayers, -1);  // never looked at for an empty table
    const db::Database d = loadGame(dir.path());
    EXPECT_TRUE(d.colours.empty());
    EXPECT_TRUE(d.staffExtra.empty());
    EXPECT_TRUE(d.nonPlayers.empty());
    EXPECT_FALSE(d.players.empty());  // found through its own offset
    EXPECT_TRUE(d.loadComplete());
}

TEST(Load, ShortFileKeepsWholeRecordsAndStops)
{
    TempDir dir;
    const db::Database made = writeSampleGame(dir.path());
    truncateFile(dir.file("data/club.dat"), 581 * 5 + 100);
    db::Database d;
    db::readIndex(d, dir.path());
    EXPECT_EQ(errorOf([&] { loadGame(dir.path()); }), "Stream read error");
    RecordingProgress p;
    EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), p); }),
              "Stream read error");
    ASSERT_EQ(d.clubs.size(), 5u);
    EXPECT_EQ(d.clubs[4].bytes, made.clubs[4].bytes);
    EXPECT_TRUE(d.stepComplete(db::LoadStep::Cities));
    EXPECT_FALSE(d.stepComplete(db::LoadStep::Clubs));
    EXPECT_TRUE(d.clubComps.empty());
    EXPECT_EQ(p.calls.back(), "steps");  // the status window stays up

    // A new load starts from empty tables.
    writeSampleGame(dir.path());
    db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), p);
    EXPECT_EQ(d.clubs.size(), made.clubs.size());
    EXPECT_EQ(d.cities.size(), made.cities.size());
}

TEST(Load, HugeCountOnShortFileFailsWithoutAllocatingForIt)
{
    TempDir dir;
    const db::Database made = writeSampleGame(dir.path());
    setCount(dir.path(), db::Entry::Clubs, 2000000000);
    setCount(dir.path(), db::Entry::Players, 2000000000);
    db::Database d;
    db::readIndex(d, dir.path());
    db::NullProgress none;
    EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), none); }),
              "Stream read error");
    EXPECT_EQ(d.clubs.size(), made.clubs.size());
    EXPECT_LE(d.clubs.capacity(), made.clubs.size());
}

TEST(Load, StaffOffsetsOutsideTheFileAreReadErrors)
{
    for (std::int32_t offset : {-1, -2000000000, 2000000000}) {
        TempDir dir;
        const db::Database made = writeSampleGame(dir.path());
        setOffset(dir.path(), db::Entry::NonPlayers, offset);
        db::Database d;
        db::readIndex(d, dir.path());
        db::NullProgress none;
        EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), none); }),
                  "Stream read error")
            << offset;
        EXPECT_EQ(d.staffExtra.size(), made.staffExtra.size());
        EXPECT_TRUE(d.nonPlayers.empty());
    }
}

TEST(Load, MissingFilesNameTheirPath)
{
    TempDir dir;
    writeSampleGame(dir.path());
    std::filesystem::remove(dir.file("data/stadium.dat"));
    db::Database d;
    db::readIndex(d, dir.path());
    db::NullProgress none;
    EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), none); }),
              "Cannot open file " + dir.file("data/stadium.dat"));
    EXPECT_TRUE(d.stepComplete(db::LoadStep::Nations));
    EXPECT_FALSE(d.nations.empty());

    writeSampleGame(dir.path());
    EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), "wizard.quarn-missing", none); }),
              "Cannot open file wizard.quarn-missing");
    EXPECT_TRUE(d.stepComplete(db::LoadStep::Players));
    EXPECT_FALSE(d.loadComplete());

    EXPECT_EQ(errorOf([&] { db::readIndex(d, dir.file("nowhere")); }),
              "Cannot open file " + dir.file("nowhere/data/index.dat"));
}

TEST(Load, ShortIndexKeepsItsEntriesAndFailsWhenAnEntryIsNeeded)
{
    TempDir dir;
    writeSampleGame(dir.path());
    truncateFile(dir.file("data/index.dat"), 8 + 67 * 12 + 30);
    db::Database d;
    EXPECT_EQ(errorOf([&] { db::readIndex(d, dir.path()); }), "Stream read error");
    EXPECT_EQ(d.index.size(), 12u);
    db::NullProgress none;
    // Cities come first and use entry 12, the first one missing.
    EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), none); }),
              "List index out of bounds (12)");
    EXPECT_TRUE(d.cities.empty());
    EXPECT_EQ(errorOf([&] { db::saveDatabase(d, dir.path(), none); }), "List index out of bounds (12)");
}

TEST(Load, WizardCounts)
{
    TempDir dir;
    writeSampleGame(dir.path());
    for (std::int16_t count : {0, -3, -32768}) {
        writeWizard(wizardPathIn(dir.path()), count, 0);
        const db::Database d = loadGame(dir.path());
        EXPECT_TRUE(d.wizardTemplates.empty());
        EXPECT_TRUE(d.loadComplete()) << count;
    }
    writeWizard(wizardPathIn(dir.path()), 5, 2);  // says 5, holds 2
    db::Database d;
    db::readIndex(d, dir.path());
    db::NullProgress none;
    EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), none); }),
              "Stream read error");
    EXPECT_EQ(d.wizardTemplates.size(), 2u);
    EXPECT_FALSE(d.loadComplete());

    writeBytes(wizardPathIn(dir.path()), {1});  // not even a count
    EXPECT_EQ(errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), none); }),
              "Stream read error");
}

TEST(Load, DisplayNames)
{
    TempDir dir;
    db::Database made = writeSampleGame(dir.path());
    // Long names without a terminator, and staff whose name links point nowhere.
    made.firstNames[0].setText(db::NameRecord::Name, std::string(51, 'F'));
    made.secondNames[0].setText(db::NameRecord::Name, std::string(51, 'S'));
    made.staff[0].set(db::StaffRecord::FirstNameId, 0);
    made.staff[0].set(db::StaffRecord::SecondNameId, 0);
    made.staff[1].set(db::StaffRecord::FirstNameId, -1);
    made.staff[2].set(db::StaffRecord::SecondNameId, -2);
    made.staff[3].set(db::StaffRecord::FirstNameId, static_cast<std::int32_t>(made.firstNames.size()));
    made.staff[4].set(db::StaffRecord::SecondNameId, static_cast<std::int32_t>(made.secondNames.size()));
    sample::writeDataFolder(made, dir.path());
    const db::Database d = loadGame(dir.path());
    EXPECT_EQ(d.staff[0].displayName, std::string(51, 'F') + " " + std::string(48, 'S'));
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(d.staff[k].displayName, "") << k;
    EXPECT_EQ(d.staff[1].bytes, made.staff[1].bytes);
}

TEST(Load, DisplayNamesOfALargeStaffTableFollowTheRule)
{
    // Large enough for names made beside the reading; whole, and cut off
    // within a block and at a block's end, where what was read is kept.
    TempDir dir;
    const db::Database made = writeSampleGame(dir.path(), 1.0);
    ASSERT_GE(made.staff.size(), 20000u);
    const std::string staffFile = dir.file("data/staff.dat");
    const std::vector<std::uint8_t> whole = readBytes(staffFile);
    const std::size_t perBlock = 256 * 1024 / db::StaffRecord::Size;
    for (const std::size_t kept : {made.staff.size(), 3 * perBlock + 5, 4 * perBlock}) {
        const bool all = kept == made.staff.size();
        writeBytes(staffFile, all ? whole
                                  : Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(
                                                                             kept * db::StaffRecord::Size)));
        db::Database d;
        db::readIndex(d, dir.path());
        db::NullProgress none;
        const std::string error =
            errorOf([&] { db::loadDatabase(d, dir.path(), wizardPathIn(dir.path()), none); });
        EXPECT_EQ(error, all ? "" : "Stream read error");
        ASSERT_EQ(d.staff.size(), kept);
        for (std::size_t i = 0; i < kept; ++i)
            ASSERT_EQ(d.staff[i].displayName, d.buildDisplayName(d.staff[i])) << i << " of " << kept;
    }
}

TEST(Load, FindsDataFolderAndFilesInAnyLetterCase)
{
    TempDir dir;
    const db::Database made = writeSampleGame(dir.path());
    namespace fs = std::filesystem;
    fs::rename(dir.file("data/club.dat"), dir.file("data/CLUB.DAT"));
    fs::rename(dir.file("data/staff.dat"), dir.file("data/Staff.Dat"));
    fs::rename(dir.file("data"), dir.file("DATA"));
    // Where letter case does not count (Windows), the name asked for is found.
    const bool caseSensitive = !fs::exists(dir.file("data"));
    EXPECT_EQ(db::dataFilePath(dir.path(), "club.dat"),
              dir.file(caseSensitive ? "DATA/CLUB.DAT" : "data/club.dat"));
    EXPECT_EQ(db::dataFilePath(dir.path(), "nothing.dat"), dir.file("data/nothing.dat"));
    const db::Database d = loadGame(dir.path());
    EXPECT_EQ(d.clubs.size(), made.clubs.size());
    EXPECT_EQ(d.players.size(), made.players.size());

    // Saving goes to the files found, not to new ones.
    db::NullProgress none;
    db::saveDatabase(d, dir.path(), none);
    if (caseSensitive) {
        EXPECT_FALSE(fs::exists(dir.file("data")));
    }
    EXPECT_EQ(readBytes(dir.file("DATA/CLUB.DAT")).size(), made.clubs.size() * 581);
}

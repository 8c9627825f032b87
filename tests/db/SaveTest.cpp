// Saving: byte-for-byte round trips, appends, and where the tables land.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "db/storage/Storage.h"
#include "tools/sample/SampleDb.h"

using namespace testing_db;

namespace {

ino_t inodeOf(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

db::IndexEntry entryIn(const Bytes& index, int k)
{
    db::IndexEntry e;
    std::copy_n(index.begin() + 8 + 67 * k, 67, e.bytes.begin());
    return e;
}

template <typename R>
void expectSameTable(const db::Table<R>& a, const db::Table<R>& b, const char* what)
{
    ASSERT_EQ(a.size(), b.size()) << what;
    for (std::size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i].bytes, b[i].bytes) << what << " " << i;
}

void expectSameDatabase(const db::Database& a, const db::Database& b)
{
    for (int k = 0; k < db::Entry::Count; ++k) EXPECT_EQ(a.index[k].bytes, b.index[k].bytes) << "entry " << k;
    expectSameTable(a.clubs, b.clubs, "clubs");
    expectSameTable(a.firstNames, b.firstNames, "first names");
    expectSameTable(a.secondNames, b.secondNames, "second names");
    expectSameTable(a.commonNames, b.commonNames, "common names");
    expectSameTable(a.stadiums, b.stadiums, "stadiums");
    expectSameTable(a.staff, b.staff, "staff");
    expectSameTable(a.staffExtra, b.staffExtra, "staff extra");
    expectSameTable(a.nonPlayers, b.nonPlayers, "non-players");
    expectSameTable(a.players, b.players, "players");
    for (std::size_t i = 0; i < a.staff.size() && i < b.staff.size(); ++i)
        ASSERT_EQ(a.staff[i].displayName, b.staff[i].displayName);
}

const char* kUntouched[] = {"data/city.dat", "data/club_comp.dat", "data/colour.dat", "data/nation.dat",
                            "wizard.quarn"};

}  // namespace

TEST(Save, WithoutEditsReproducesEveryFile)
{
    TempDir dir;
    writeSampleGame(dir.path());
    const auto before = snapshot(dir.path());
    std::map<std::string, ino_t> inodes;
    for (const char* f : kUntouched) inodes[f] = inodeOf(dir.file(f));

    const db::Database d = loadGame(dir.path());
    db::NullProgress none;
    db::saveDatabase(d, dir.path(), none);
    db::saveDatabase(d, dir.path(), none);    // saving may be repeated
    EXPECT_EQ(snapshot(dir.path()), before);  // no temporaries left either
    for (const char* f : kUntouched) EXPECT_EQ(inodeOf(dir.file(f)), inodes[f]) << f << " was rewritten";
}

TEST(Save, CarriesBytesItDoesNotInterpret)
{
    TempDir dir;
    db::Database made = writeSampleGame(dir.path(), 0.03);
    std::mt19937 gen(42);
    const auto noise = [&gen](std::size_t n) {
        Bytes b(n);
        for (auto& x : b) x = static_cast<std::uint8_t>(gen());
        return b;
    };
    for (auto& x : made.staffExtra)
        for (auto& b : x.bytes) b = static_cast<std::uint8_t>(gen());
    for (auto& c : made.clubs) {
        c.set(db::ClubRecord::Reserved55, static_cast<std::uint8_t>(gen()));
        for (int k = 475; k < 581; ++k) c.bytes[k] = static_cast<std::uint8_t>(gen());
    }
    for (auto& n : made.firstNames) n.bytes[56] = static_cast<std::uint8_t>(gen());
    for (auto& p : made.players) p.set(db::PlayerRecord::Reserved69, static_cast<std::uint8_t>(gen()));
    sample::writeDataFolder(made, dir.path());

    // Arbitrary header, reserved bytes, unused entries and bytes after the index.
    Bytes index = readBytes(dir.file("data/index.dat"));
    const Bytes header = noise(8);
    std::copy(header.begin(), header.end(), index.begin());
    for (int k = 0; k < db::Entry::Count; ++k) {
        const std::size_t at = 8 + 67 * k;
        const bool used = k == 0 || k == 2 || k == 4 || k == 6 || (k >= 7 && k <= 10) || k == 12 || k == 13 ||
                          (k >= 15 && k <= 17);
        const Bytes n = noise(67);
        for (int i = 0; i < 67; ++i)
            if (!used || i < 55 || i >= 63) index[at + i] = n[i];
    }
    const Bytes trailer = noise(300);
    index.insert(index.end(), trailer.begin(), trailer.end());
    writeBytes(dir.file("data/index.dat"), index);
    // Bytes after the last record of every saved file.
    for (const char* f : {"data/club.dat", "data/first_names.dat", "data/second_names.dat",
                          "data/common_names.dat", "data/stadium.dat", "data/staff.dat"}) {
        Bytes b = readBytes(dir.file(f));
        const Bytes tail = noise(1000);
        b.insert(b.end(), tail.begin(), tail.end());
        writeBytes(dir.file(f), b);
    }

    const auto before = snapshot(dir.path());
    const db::Database d = loadGame(dir.path());
    db::NullProgress none;
    db::saveDatabase(d, dir.path(), none);
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(Save, ReportsProgressAndLeavesTheWindowShown)
{
    TempDir dir;
    writeSampleGame(dir.path(), 0.02);
    db::Database d = loadGame(dir.path());
    d.entry(db::Entry::StaffExtra).set(db::IndexEntry::RecordCount, 0);
    RecordingProgress p;
    db::saveDatabase(d, dir.path(), p);
    std::vector<std::string> expected = {"show"};
    const auto table = [&](const char* status, std::size_t n) {
        expected.insert(expected.end(),
                        {std::string("status ") + status, "max " + std::to_string(n ? n - 1 : 0), "pos 0"});
        if (n) expected.push_back("steps");
    };
    table("Saving Clubs", d.clubs.size());
    table("Saving First Names", d.firstNames.size());
    table("Saving Second Names", d.secondNames.size());
    table("Saving Common Names", d.commonNames.size());
    table("Saving Stadiums", d.stadiums.size());
    table("Saving Staff General", d.staff.size());
    table("Saving Staff Unknown", 0);
    table("Saving Non Playing Staff", d.nonPlayers.size());
    table("Saving Playing Staff", d.players.size());
    EXPECT_EQ(p.calls, expected);
}

TEST(Save, AppendsMoveCountsAndOffsetsAndReloadIdentically)
{
    TempDir dir;
    writeSampleGame(dir.path());
    db::Database d = loadGame(dir.path());
    const Bytes oldIndex = readBytes(dir.file("data/index.dat"));
    const std::size_t oldStaffSize = readBytes(dir.file("data/staff.dat")).size();
    const auto offset = [&d](int k) { return d.entry(k).get(db::IndexEntry::TableOffset); };
    const auto count = [&d](int k) { return d.entry(k).get(db::IndexEntry::RecordCount); };
    const std::int32_t off8 = offset(8), off9 = offset(9), off10 = offset(10);

    db::ClubRecord club;
    club.setText(db::ClubRecord::LongName, "Quarnby Wanderers");
    d.appendClub(club);
    d.appendName(db::NameKind::First, "Zb\xF8ynek");
    d.appendName(db::NameKind::Second, "M\xFCller");
    d.appendName(db::NameKind::Common, "Zeb");

    db::StaffRecord s;
    s.set(db::StaffRecord::FirstNameId, -1);  // no display name, in memory or after a reload
    d.appendStaff(s, db::NonPlayerRecord{}, db::PlayerRecord{});  // both records
    EXPECT_EQ(offset(8), off8 + 157);
    EXPECT_EQ(offset(9), off9 + 157);
    EXPECT_EQ(offset(10), off10 + 225);
    d.appendStaff(s, db::NonPlayerRecord{}, std::nullopt);
    d.appendStaff(s, std::nullopt, db::PlayerRecord{});
    d.appendStaff(s, std::nullopt, std::nullopt);
    EXPECT_EQ(offset(8), off8 + 4 * 157);
    EXPECT_EQ(offset(9), off9 + 4 * 157);
    EXPECT_EQ(offset(10), off10 + 4 * 157 + 2 * 68);
    EXPECT_EQ(count(9), static_cast<std::int32_t>(d.nonPlayers.size()));
    EXPECT_EQ(count(10), static_cast<std::int32_t>(d.players.size()));

    db::NullProgress none;
    db::saveDatabase(d, dir.path(), none);
    EXPECT_EQ(readBytes(dir.file("data/staff.dat")).size(), oldStaffSize + 4 * 157 + 2 * 68 + 2 * 70);
    EXPECT_EQ(readBytes(dir.file("data/club.dat")).size(), d.clubs.size() * 581);

    // Only the counts and offsets the appends moved differ in index.dat.
    const Bytes newIndex = readBytes(dir.file("data/index.dat"));
    ASSERT_EQ(newIndex.size(), oldIndex.size());
    for (int k = 0; k < db::Entry::Count; ++k) {
        const db::IndexEntry a = entryIn(oldIndex, k), b = entryIn(newIndex, k);
        EXPECT_EQ(b.bytes, d.index[k].bytes) << k;
        const bool moved = k == 0 || (k >= 7 && k <= 10) || (k >= 15 && k <= 17);
        if (!moved) {
            EXPECT_EQ(a.bytes, b.bytes) << k;
        }
    }
    EXPECT_EQ(entryIn(newIndex, 0).get(db::IndexEntry::RecordCount),
              entryIn(oldIndex, 0).get(db::IndexEntry::RecordCount) + 1);

    const db::Database back = loadGame(dir.path());
    expectSameDatabase(back, d);
}

TEST(Save, StaffTablesWithGapsAreWrittenBackToBackAndIndexFollows)
{
    TempDir dir;
    const db::Database made = writeSampleGame(dir.path());
    // Rebuild staff.dat with gaps between the tables and matching offsets.
    Bytes staff;
    const auto put = [&staff](const auto& table) {
        for (const auto& r : table) staff.insert(staff.end(), r.data(), r.data() + r.Size);
    };
    put(made.staff);
    staff.insert(staff.end(), 13, 0xAB);
    const auto o8 = static_cast<std::int32_t>(staff.size());
    put(made.staffExtra);
    staff.insert(staff.end(), 7, 0xCD);
    const auto o9 = static_cast<std::int32_t>(staff.size());
    put(made.nonPlayers);
    staff.insert(staff.end(), 101, 0xEF);
    const auto o10 = static_cast<std::int32_t>(staff.size());
    put(made.players);
    writeBytes(dir.file("data/staff.dat"), staff);
    db::Database d;
    db::readIndex(d, dir.path());
    d.entry(8).set(db::IndexEntry::TableOffset, o8);
    d.entry(9).set(db::IndexEntry::TableOffset, o9);
    d.entry(10).set(db::IndexEntry::TableOffset, o10);
    db::NullProgress none;
    Bytes index = readBytes(dir.file("data/index.dat"));
    for (int k : {8, 9, 10})
        std::copy(d.index[k].bytes.begin(), d.index[k].bytes.end(), index.begin() + 8 + 67 * k);
    writeBytes(dir.file("data/index.dat"), index);

    const db::Database loaded = loadGame(dir.path());
    expectSameTable(loaded.staffExtra, made.staffExtra, "extra");
    expectSameTable(loaded.nonPlayers, made.nonPlayers, "non-players");
    expectSameTable(loaded.players, made.players, "players");

    db::saveDatabase(loaded, dir.path(), none);
    const Bytes saved = readBytes(dir.file("data/staff.dat"));
    EXPECT_EQ(saved.size(), staff.size());  // the old file's last bytes stay
    const db::Database back = loadGame(dir.path());
    EXPECT_EQ(back.entry(8).get(db::IndexEntry::TableOffset),
              static_cast<std::int32_t>(made.staff.size() * 157));
    expectSameTable(back.staff, made.staff, "staff");
    expectSameTable(back.staffExtra, made.staffExtra, "extra");
    expectSameTable(back.nonPlayers, made.nonPlayers, "non-players");
    expectSameTable(back.players, made.players, "players");
}

TEST(Save, EmptyTableWritesNothingAndTheNextFollowsDirectly)
{
    TempDir dir;
    writeSampleGame(dir.path());
    db::Database d = loadGame(dir.path());
    d.entry(db::Entry::NonPlayers).set(db::IndexEntry::RecordCount, 0);
    db::NullProgress none;
    db::saveDatabase(d, dir.path(), none);
    const db::Database back = loadGame(dir.path());
    EXPECT_TRUE(back.nonPlayers.empty());
    expectSameTable(back.players, d.players, "players");
    EXPECT_EQ(back.entry(10).get(db::IndexEntry::TableOffset),
              static_cast<std::int32_t>(d.staff.size() * 157 + d.staffExtra.size() * 8));
}

TEST(Save, NeverWritesPastTheTable)
{
    TempDir dir;
    writeSampleGame(dir.path());
    db::Database d = loadGame(dir.path());
    d.entry(db::Entry::Clubs).set(db::IndexEntry::RecordCount, 2000000000);
    db::NullProgress none;
    db::saveDatabase(d, dir.path(), none);
    EXPECT_EQ(readBytes(dir.file("data/club.dat")).size(), d.clubs.size() * 581);
}

TEST(Save, KeepsEachFilesPermissions)
{
    TempDir dir;
    writeSampleGame(dir.path());
    setMode(dir.file("data/club.dat"), 0640);
    setMode(dir.file("data/staff.dat"), 0600);
    const db::Database d = loadGame(dir.path());
    db::NullProgress none;
    db::saveDatabase(d, dir.path(), none);
    EXPECT_EQ(modeOf(dir.file("data/club.dat")), modeAfterSet(0640));
    EXPECT_EQ(modeOf(dir.file("data/staff.dat")), modeAfterSet(0600));
    EXPECT_EQ(modeOf(dir.file("data/index.dat")), modeAfterSet(0644));
}

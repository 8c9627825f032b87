#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "Container.h"
#include "Harnesses.h"
#include "MemoryFileSystem.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/query/Checker.h"
#include "db/query/Search.h"
#include "db/storage/Storage.h"

namespace fuzz {

namespace {

const std::string kGame = "/game";
const std::string kWizard = "/wizard.quarn";

MemoryFileSystem folderOf(const Files& files)
{
    MemoryFileSystem fs;
    fs.put(kGame + "/data/.keep", {});
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i]) continue;
        const std::string name(kFileNames[i]);
        fs.put(name == "wizard.quarn" ? kWizard : kGame + "/data/" + name, *files[i]);
    }
    return fs;
}

template <typename R>
bool sameRecords(const db::Table<R>& a, const db::Table<R>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(a[i].data(), b[i].data(), R::Size) != 0) return false;
    return true;
}

// A table never holds more records than its entry counts.
void tablesWithinCounts(const db::Database& db)
{
    if (!db.hasFullIndex()) return;
    auto within = [&](int entry, std::size_t size) {
        const std::int32_t count = db.entry(entry).get(db::IndexEntry::RecordCount);
        FUZZ_REQUIRE(size <= static_cast<std::size_t>(count > 0 ? count : 0));
    };
    within(db::Entry::Clubs, db.clubs.size());
    within(db::Entry::Colours, db.colours.size());
    within(db::Entry::Nations, db.nations.size());
    within(db::Entry::Stadiums, db.stadiums.size());
    within(db::Entry::Staff, db.staff.size());
    within(db::Entry::StaffExtra, db.staffExtra.size());
    within(db::Entry::NonPlayers, db.nonPlayers.size());
    within(db::Entry::Players, db.players.size());
    within(db::Entry::Cities, db.cities.size());
    within(db::Entry::ClubComps, db.clubComps.size());
    within(db::Entry::FirstNames, db.firstNames.size());
    within(db::Entry::SecondNames, db.secondNames.size());
    within(db::Entry::CommonNames, db.commonNames.size());
}

void displayNames(const db::Database& db)
{
    for (const db::StaffRecord& s : db.staff) {
        FUZZ_REQUIRE(s.displayName.size() <= db::StaffRecord::DisplayNameLimit);
        FUZZ_REQUIRE(s.displayName == db.buildDisplayName(s));
    }
}

void searches(const db::Database& db)
{
    std::vector<std::string> needles = {"A", "e", " "};
    if (!db.staff.empty()) needles.push_back(db.staff.front().displayName.substr(0, 3));
    if (!db.clubs.empty()) needles.push_back(db.clubs.back().text(db::ClubRecord::ShortName));
    for (const std::string& n : needles) {
        for (std::int32_t id : db::searchStaff(db, n)) FUZZ_REQUIRE(db::isValidRef(id, db.staff.size()));
        for (std::int32_t id : db::searchClubs(db, n)) FUZZ_REQUIRE(db::isValidRef(id, db.clubs.size()));
    }
}

void exports(const db::Database& db)
{
    for (const std::string& name : db::exportTableNames()) {
        const auto table = db::exportTable(db, name);
        FUZZ_REQUIRE(table.has_value());
        for (const auto& row : table->rows) FUZZ_REQUIRE(row.size() == table->columns.size());
        std::ostringstream out;
        db::writeCsv(*table, out);
        db::writeJson(*table, out);
    }
}

db::FileSizes sizesIn(MemoryFileSystem& fs)
{
    db::FileSizes sizes;
    auto measure = [&](const std::string& name) {
        std::vector<std::uint8_t> bytes;
        const std::string path = db::dataFilePath(kGame, name, fs);
        sizes[name] = fs.readFile(path, bytes) == db::ReadStatus::Ok
                          ? std::optional<std::uint64_t>(bytes.size())
                          : std::nullopt;
    };
    measure("index.dat");
    for (const db::DataFile& f : db::dataFiles()) measure(f.name);
    return sizes;
}

// Loading what was saved gives back every record and every count.
void reloadMatches(const db::Database& saved, MemoryFileSystem& fs)
{
    db::Database again;
    db::NullProgress progress;
    try {
        db::readIndex(again, kGame, fs);
        db::loadDatabase(again, kGame, kWizard, progress, fs);
    } catch (const db::Error& e) {
        std::fprintf(stderr, "reload failed: %s\n", e.what());
        FUZZ_REQUIRE(!"a saved folder loads again");
    }
    FUZZ_REQUIRE(again.loadComplete());
    for (int k = 0; k < db::Entry::Count; ++k)
        FUZZ_REQUIRE(again.entry(k).get(db::IndexEntry::RecordCount) ==
                     saved.entry(k).get(db::IndexEntry::RecordCount));
    FUZZ_REQUIRE(sameRecords(again.clubs, saved.clubs));
    FUZZ_REQUIRE(sameRecords(again.firstNames, saved.firstNames));
    FUZZ_REQUIRE(sameRecords(again.secondNames, saved.secondNames));
    FUZZ_REQUIRE(sameRecords(again.commonNames, saved.commonNames));
    FUZZ_REQUIRE(sameRecords(again.stadiums, saved.stadiums));
    FUZZ_REQUIRE(sameRecords(again.staff, saved.staff));
    FUZZ_REQUIRE(sameRecords(again.staffExtra, saved.staffExtra));
    FUZZ_REQUIRE(sameRecords(again.nonPlayers, saved.nonPlayers));
    FUZZ_REQUIRE(sameRecords(again.players, saved.players));
    FUZZ_REQUIRE(sameRecords(again.cities, saved.cities));
    FUZZ_REQUIRE(sameRecords(again.nations, saved.nations));
    FUZZ_REQUIRE(sameRecords(again.wizardTemplates, saved.wizardTemplates));
    for (std::size_t i = 0; i < again.staff.size(); ++i)
        FUZZ_REQUIRE(again.staff[i].displayName == saved.staff[i].displayName);
}

}  // namespace

void loadHarness(const std::uint8_t* data, std::size_t size)
{
    MemoryFileSystem fs = folderOf(unpack(data, size));
    db::Database db;
    db::NullProgress progress;
    try {
        db::readIndex(db, kGame, fs);
    } catch (const db::Error&) {
    }
    try {
        db::loadDatabase(db, kGame, kWizard, progress, fs);
    } catch (const db::Error&) {
    }

    tablesWithinCounts(db);
    displayNames(db);
    db::checkLayout(db, sizesIn(fs));
    db::checkRecords(db);
    searches(db);
    exports(db);

    if (!db.hasFullIndex()) return;
    bool saved = false;
    try {
        db::saveDatabase(db, kGame, progress, fs);
        saved = true;
    } catch (const db::Error&) {
    }
    if (saved && db.loadComplete()) reloadMatches(db, fs);
}

}  // namespace fuzz

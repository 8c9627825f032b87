#include <cstdio>
#include <cstring>
#include <exception>

#include "Harnesses.h"
#include "MemoryFileSystem.h"
#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/editing/Transfer.h"
#include "db/exchange/json/UpdateJson.h"
#include "db/format/Codes.h"
#include "db/format/FieldCatalog.h"
#include "db/storage/Backup.h"
#include "db/storage/Storage.h"
#include "db/storage/StorageFiles.h"

namespace fuzz {

namespace {

const std::string kGame = "/game";

std::string bytesOf(const db::Database& d)
{
    std::string s;
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const auto t = static_cast<db::TableId>(k);
        const std::size_t n = db::tableSize(d, t);
        s += std::to_string(n) + ";";
        for (std::size_t i = 0; i < n; ++i)
            s.append(reinterpret_cast<const char*>(db::recordData(d, t, i)), db::tableLayout(t).recordSize);
    }
    return s;
}

template <typename R>
void addLookup(db::Database& d, db::Table<R>& table, int entry, int n)
{
    for (int i = 0; i < n; ++i) table.emplace_back();
    d.entry(entry).set(db::IndexEntry::RecordCount, n);
}

// Every file of the folder, read back through a fresh load.
db::Database reload(MemoryFileSystem& fs)
{
    db::Database again;
    db::NullProgress progress;
    db::readIndex(again, kGame, fs);
    try {
        db::loadDatabase(again, kGame, "/no-templates", progress, fs);
    } catch (const db::Error&) {
        // There are no wizard templates; the game's tables come before them.
    }
    return again;
}

}  // namespace

db::Database updateTarget()
{
    db::Database d = db::Database::withEmptyIndex();
    // Built whole in memory: as savable as a finished load.
    d.markStepComplete(db::LoadStep::WizardTemplates);
    addLookup(d, d.nations, db::Entry::Nations, 2);
    addLookup(d, d.clubComps, db::Entry::ClubComps, 2);
    addLookup(d, d.colours, db::Entry::Colours, 2);
    addLookup(d, d.cities, db::Entry::Cities, 1);
    addLookup(d, d.stadiums, db::Entry::Stadiums, 2);
    for (const char* n : {"Ann", "Bo"}) {
        d.appendName(db::NameKind::First, n);
        d.appendName(db::NameKind::Second, n);
        d.appendName(db::NameKind::Common, n);
    }
    for (int c = 0; c < 3; ++c) {
        d.appendClub(db::composeNewClub(d));
        d.clubs.back().setText(db::ClubRecord::LongName, "Club " + std::to_string(c));
    }
    for (std::uint8_t cls = 1; cls <= 3; ++cls) {
        const std::int32_t who = db::addNewStaff(d, cls, cls == 2 ? db::Job::Player : 8);
        db::transferStaff(d, {who, -2, who % 3, static_cast<std::uint8_t>(cls == 2 ? db::Job::Player : 8)});
    }
    for (db::StaffRecord& s : d.staff) s.displayName = d.buildDisplayName(s);
    return d;
}

UpdateOutcome updateHarness(const std::uint8_t* data, std::size_t size)
{
    static const db::Database target = updateTarget();
    static const std::string original = bytesOf(target);

    db::Update update;
    try {
        update = db::decodeUpdate(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const db::Error&) {
        return UpdateOutcome::Refused;  // before anything was touched
    } catch (const std::exception& e) {
        std::fprintf(stderr, "decodeUpdate threw %s\n", e.what());
        FUZZ_REQUIRE(!"a bad update is refused with db::Error only");
    }

    // What was read is written back the same way.
    const std::string text = db::encodeUpdate(update);
    FUZZ_REQUIRE(db::encodeUpdate(db::decodeUpdate(text)) == text);

    db::Database copy = target;
    db::describeUpdate(copy, update);
    const db::ApplyResult result = db::applyUpdate(copy, update);
    if (!result.applied) {
        FUZZ_REQUIRE(bytesOf(copy) == original);
        return UpdateOutcome::NotApplied;
    }
    // Counts and offsets follow the tables, so the result saves and loads
    // back as it is.
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const db::TableLayout& info = db::tableLayout(static_cast<db::TableId>(k));
        if (info.entry >= 0)
            FUZZ_REQUIRE(copy.entry(info.entry).get(db::IndexEntry::RecordCount) ==
                         static_cast<std::int32_t>(db::tableSize(copy, info.id)));
    }
    MemoryFileSystem fs;
    fs.put(kGame + "/data/index.dat", std::vector<std::uint8_t>(8 + 22 * 67, 0));
    for (const std::string& name : db::savedFileNames())
        if (name != db::files::kIndex) fs.put(kGame + "/data/" + name, {});
    // The tables a save leaves alone, as the reload reads them.
    for (const db::TableInfo& t : db::kTables)
        if (!t.saved)
            fs.put(kGame + "/data/" + std::string(t.file),
                   std::vector<std::uint8_t>(db::tableSize(copy, t.id) * t.recordSize));
    db::NullProgress progress;
    db::saveDatabase(copy, kGame, progress, fs);
    const db::Database again = reload(fs);
    FUZZ_REQUIRE(again.stepComplete(db::LoadStep::Players));
    FUZZ_REQUIRE(bytesOf(again) == bytesOf(copy));
    return UpdateOutcome::Applied;
}

}  // namespace fuzz

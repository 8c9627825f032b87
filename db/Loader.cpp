// Loading the game database: every file is read once into memory and its
// records are taken from that buffer. Counts and offsets come from index.dat
// and are checked against the file's length before anything is allocated for
// them, so a damaged index gives "Stream read error", never a huge allocation.

#include <algorithm>
#include <cstring>

#include "FileSystem.h"
#include "Storage.h"
#include "StorageFiles.h"

namespace db {

namespace {

std::vector<std::uint8_t> readWholeFile(FileSystem& fs, const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    const ReadStatus status = fs.readFile(path, bytes);
    if (status == ReadStatus::CannotOpen) files::cannotOpen(path);
    if (status != ReadStatus::Ok) files::readError();
    return bytes;
}

// Appends up to `wanted` records found at `offset` of `bytes`, one progress
// step each. When the buffer ends first, the whole records it holds are kept
// and the load fails with the stream's read error.
template <typename R, typename OnRecord>
void readRecords(Table<R>& table, const std::vector<std::uint8_t>& bytes, std::size_t offset,
                 std::size_t wanted, Progress& progress, OnRecord&& onRecord)
{
    const std::size_t available = offset <= bytes.size() ? (bytes.size() - offset) / R::Size : 0;
    const std::size_t n = std::min(wanted, available);
    table.reserve(table.size() + n);
    const std::uint8_t* p = bytes.data() + offset;
    for (std::size_t i = 0; i < n; ++i, p += R::Size) {
        progress.step();
        R rec;
        std::memcpy(rec.data(), p, R::Size);
        onRecord(rec);
        table.push_back(std::move(rec));
    }
    if (n < wanted) {
        progress.step();
        files::readError();
    }
}

template <typename R>
void readRecords(Table<R>& table, const std::vector<std::uint8_t>& bytes, std::size_t offset,
                 std::size_t wanted, Progress& progress)
{
    readRecords(table, bytes, offset, wanted, progress, [](R&) {});
}

int progressMaximum(std::size_t count)
{
    return static_cast<int>(std::min<std::size_t>(count, 0x7FFFFFFF));
}

// One lookup or club table from a file of its own.
template <typename R>
void loadTable(Database& db, Table<R>& table, const std::string& gameDir, const char* fileName, int entry,
               const char* status, LoadStep step, Progress& progress, FileSystem& fs)
{
    const std::vector<std::uint8_t> bytes = readWholeFile(fs, dataFilePath(gameDir, fileName, fs));
    progress.setStatus(status);
    const std::size_t wanted = files::wantedCount(db, entry);
    progress.setMaximum(progressMaximum(wanted));
    readRecords(table, bytes, 0, wanted, progress);
    progress.setPosition(0);
    db.markStepComplete(step);
}

// Where a staff table after the first starts; an offset outside the file
// cannot hold the table's records.
std::size_t staffTableOffset(const Database& db, int entry, std::size_t wanted, std::size_t fileSize)
{
    const std::int32_t offset = db.entry(entry).get(IndexEntry::TableOffset);
    if (wanted == 0) return fileSize;  // nothing is read, wherever it lies
    if (offset < 0 || static_cast<std::size_t>(offset) > fileSize) files::readError();
    return static_cast<std::size_t>(offset);
}

template <typename R>
void loadStaffTable(Database& db, Table<R>& table, const std::vector<std::uint8_t>& bytes, int entry,
                    const char* status, LoadStep step, Progress& progress)
{
    db.entry(entry);  // a short index fails here, before the table starts
    progress.setStatus(status);
    const std::size_t wanted = files::wantedCount(db, entry);
    progress.setMaximum(progressMaximum(wanted));
    const std::size_t offset = staffTableOffset(db, entry, wanted, bytes.size());
    readRecords(table, bytes, offset, wanted, progress);
    progress.setPosition(0);
    db.markStepComplete(step);
}

void loadStaff(Database& db, const std::string& gameDir, Progress& progress, FileSystem& fs)
{
    const std::vector<std::uint8_t> bytes = readWholeFile(fs, dataFilePath(gameDir, files::kStaff, fs));

    progress.setStatus("Loading Staff General");
    const std::size_t wanted = files::wantedCount(db, Entry::Staff);
    progress.setMaximum(progressMaximum(wanted));
    readRecords(db.staff, bytes, 0, wanted, progress,
                [&db](StaffRecord& s) { s.displayName = db.buildDisplayName(s); });
    progress.setPosition(0);
    db.markStepComplete(LoadStep::Staff);

    loadStaffTable(db, db.staffExtra, bytes, Entry::StaffExtra, "Loading Staff Unknown", LoadStep::StaffExtra,
                   progress);
    loadStaffTable(db, db.nonPlayers, bytes, Entry::NonPlayers, "Loading Staff Non-Playing",
                   LoadStep::NonPlayers, progress);
    loadStaffTable(db, db.players, bytes, Entry::Players, "Loading Staff Playing", LoadStep::Players,
                   progress);
}

void loadWizardTemplates(Database& db, const std::string& wizardPath, Progress& progress, FileSystem& fs)
{
    const std::vector<std::uint8_t> bytes = readWholeFile(fs, wizardPath);
    progress.setStatus("Loading Player Wizard Plugin");
    if (bytes.size() < 2) files::readError();
    const auto count = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
    // A count of 0 or less reads nothing; the bar then simply stays empty.
    progress.setMaximum(count > 1 ? count - 1 : 0);
    readRecords(db.wizardTemplates, bytes, 2, count > 0 ? static_cast<std::size_t>(count) : 0, progress);
    db.markStepComplete(LoadStep::WizardTemplates);
}

}  // namespace

void loadDatabase(Database& db, const std::string& gameDir, const std::string& wizardPath, Progress& progress,
                  FileSystem& fs)
{
    db.clearTables();
    progress.show();

    loadTable(db, db.cities, gameDir, files::kCities, Entry::Cities, "Loading Cities", LoadStep::Cities,
              progress, fs);
    loadTable(db, db.clubs, gameDir, files::kClubs, Entry::Clubs, "Loading Clubs", LoadStep::Clubs, progress,
              fs);
    loadTable(db, db.clubComps, gameDir, files::kClubComps, Entry::ClubComps, "Loading Club Competitions",
              LoadStep::ClubComps, progress, fs);
    loadTable(db, db.colours, gameDir, files::kColours, Entry::Colours, "Loading Colours", LoadStep::Colours,
              progress, fs);
    loadTable(db, db.firstNames, gameDir, files::kFirstNames, Entry::FirstNames, "Loading First Names",
              LoadStep::FirstNames, progress, fs);
    loadTable(db, db.secondNames, gameDir, files::kSecondNames, Entry::SecondNames, "Loading Second Names",
              LoadStep::SecondNames, progress, fs);
    loadTable(db, db.commonNames, gameDir, files::kCommonNames, Entry::CommonNames, "Loading Common Names",
              LoadStep::CommonNames, progress, fs);
    loadTable(db, db.nations, gameDir, files::kNations, Entry::Nations, "Loading Nations", LoadStep::Nations,
              progress, fs);
    loadTable(db, db.stadiums, gameDir, files::kStadiums, Entry::Stadiums, "Loading Stadiums",
              LoadStep::Stadiums, progress, fs);
    loadStaff(db, gameDir, progress, fs);
    loadWizardTemplates(db, wizardPath, progress, fs);

    progress.hide();
}

void loadDatabase(Database& db, const std::string& gameDir, const std::string& wizardPath, Progress& progress)
{
    loadDatabase(db, gameDir, wizardPath, progress, realFileSystem());
}

}  // namespace db

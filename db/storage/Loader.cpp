// Loading the game database. Records are read block by block straight into
// their table's own storage (a table is one contiguous run of fixed-size
// records), so a load costs about what reading the files costs. Counts and
// offsets come from index.dat and are checked against the file's length
// before anything is allocated for them, so a damaged index gives "Stream
// read error", never a huge allocation.

#include <algorithm>
#include <cstring>
#include <optional>
#include <system_error>
#include <type_traits>

#include "db/rules/DisplayNameWorker.h"
#include "db/storage/FileSystem.h"
#include "db/storage/Storage.h"
#include "db/storage/StorageFiles.h"

namespace db {

namespace {

// Records are read in blocks of about this size: large enough that the
// reads cost what the disk and the page cache ask, small enough that a
// block is still in the cache while its records are handled and that the
// progress bar moves during a large table.
constexpr std::size_t kBlockBytes = 256 * 1024;

// A table whose records are their file bytes and nothing else can be read
// straight into its storage; the others (staff, with their display names)
// go through a block buffer.
template <typename R>
constexpr bool kPlainRecords = std::is_trivially_copyable_v<R> && sizeof(R) == R::Size;

// One data file being read: its path and length, and a buffer for blocks
// that cannot go straight into a table.
struct DataFile {
    FileSystem& fs;
    std::string path;
    std::uint64_t size = 0;
    std::vector<std::uint8_t> block;

    // Opening: a missing or unreadable file fails with "Cannot open file".
    DataFile(FileSystem& f, std::string p) : fs(f), path(std::move(p))
    {
        if (!fs.fileSize(path, size)) files::cannotOpen(path);
    }

    void read(std::uint64_t offset, std::size_t bytes, void* into)
    {
        const ReadStatus status = fs.readRangeInto(path, offset, bytes, into);
        if (status == ReadStatus::CannotOpen) files::cannotOpen(path);
        if (status != ReadStatus::Ok) files::readError();
    }
};

// Appends up to `wanted` records found at `offset` of the file, a block at
// a time, and steps the progress bar by the block. `onBlock(first, end)` is
// called for each block appended. When the file ends first, the whole
// records it holds are kept and the load fails with the stream's read error.
template <typename R, typename OnBlock>
void readRecords(Table<R>& table, DataFile& file, std::uint64_t offset, std::size_t wanted,
                 Progress& progress, OnBlock&& onBlock)
{
    const std::uint64_t available = offset <= file.size ? (file.size - offset) / R::Size : 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, available));
    table.reserve(table.size() + n);
    const std::size_t perBlock = std::max<std::size_t>(1, kBlockBytes / R::Size);
    for (std::size_t done = 0; done < n;) {
        const std::size_t k = std::min(perBlock, n - done);
        const std::size_t first = table.size();
        const std::uint64_t at = offset + static_cast<std::uint64_t>(done) * R::Size;
        if constexpr (kPlainRecords<R>) {
            table.resize(first + k);
            try {
                file.read(at, k * R::Size, table[first].data());
            } catch (...) {
                table.resize(first);  // a failed block adds nothing
                throw;
            }
        } else {
            file.block.resize(k * R::Size);
            file.read(at, k * R::Size, file.block.data());
            table.resize(first + k);
            for (std::size_t i = 0; i < k; ++i)
                std::memcpy(table[first + i].data(), file.block.data() + i * R::Size, R::Size);
        }
        onBlock(first, first + k);
        progress.advance(static_cast<int>(k));
        done += k;
    }
    if (n < wanted) {
        progress.step();
        files::readError();
    }
}

template <typename R>
void readRecords(Table<R>& table, DataFile& file, std::uint64_t offset, std::size_t wanted,
                 Progress& progress)
{
    readRecords(table, file, offset, wanted, progress, [](std::size_t, std::size_t) {});
}

int progressMaximum(std::size_t count)
{
    return static_cast<int>(std::min<std::size_t>(count, 0x7FFFFFFF));
}

// Where a table after the first of its file starts; an offset outside the
// file cannot hold the table's records.
std::uint64_t tableOffset(const Database& db, int entry, std::size_t wanted, std::uint64_t fileSize)
{
    const std::int32_t offset = db.entry(entry).get(IndexEntry::TableOffset);
    if (wanted == 0) return fileSize;  // nothing is read, wherever it lies
    if (offset < 0 || static_cast<std::uint64_t>(offset) > fileSize) files::readError();
    return static_cast<std::uint64_t>(offset);
}

// The staff records, with their display names: made by a worker thread
// where that pays, else in line, for each block as it is read. The table's
// storage is reserved before the first block, so the records the worker
// names never move.
void readStaff(Database& db, DataFile& file, std::uint64_t offset, std::size_t wanted, Progress& progress)
{
    std::optional<DisplayNameWorker> worker;
    std::optional<DisplayNameMaker> inLine;
    readRecords(db.staff, file, offset, wanted, progress, [&](std::size_t first, std::size_t end) {
        if (!worker && !inLine) {
            if (DisplayNameWorker::worthwhile(wanted)) {
                try {
                    worker.emplace(db, db.staff.data());
                } catch (const std::system_error&) {
                    // No thread to be had: name them in line.
                }
            }
            if (!worker) inLine.emplace(db);
        }
        if (worker)
            worker->handOver(end);
        else
            inLine->set(db.staff.data(), first, end);
    });
    if (worker) worker->finish();
}

// One table: the first of its file starts at the file's start, the ones
// after it (the staff tables) where the index says.
template <typename R>
void loadTable(Database& db, Table<R>& table, DataFile& file, const TableInfo& info, bool firstOfFile,
               Progress& progress)
{
    if (!firstOfFile) db.entry(info.entry);  // a short index fails here, before the table starts
    progress.setStatus(info.loadStatus);
    const std::size_t wanted = files::wantedCount(db, info.entry);
    progress.setMaximum(progressMaximum(wanted));
    const std::uint64_t offset = firstOfFile ? 0 : tableOffset(db, info.entry, wanted, file.size);
    if constexpr (std::is_same_v<R, StaffRecord>)
        readStaff(db, file, offset, wanted, progress);
    else
        readRecords(table, file, offset, wanted, progress);
    progress.setPosition(0);
    db.markStepComplete(loadStepOf(info.id));
}

void loadWizardTemplates(Database& db, const std::string& wizardPath, Progress& progress, FileSystem& fs)
{
    DataFile file(fs, wizardPath);
    progress.setStatus("Loading Player Wizard Plugin");
    if (file.size < 2) files::readError();
    std::uint8_t head[2];
    file.read(0, 2, head);
    const auto count = static_cast<std::int16_t>(head[0] | (head[1] << 8));
    // A count of 0 or less reads nothing; the bar then simply stays empty.
    progress.setMaximum(count > 1 ? count - 1 : 0);
    readRecords(db.wizardTemplates, file, 2, count > 0 ? static_cast<std::size_t>(count) : 0, progress);
    db.markStepComplete(LoadStep::WizardTemplates);
}

}  // namespace

void loadDatabase(Database& db, const std::string& gameDir, const std::string& wizardPath, Progress& progress,
                  FileSystem& fs)
{
    db.clearTables();
    progress.show();

    std::optional<DataFile> file;  // the file the next table is read from
    std::string_view fileName;
    for (const TableId t : kLoadOrder) {
        const TableInfo& info = tableInfo(t);
        const bool firstOfFile = info.file != fileName;
        if (firstOfFile) {
            file.reset();
            file.emplace(fs, dataFilePath(gameDir, std::string(info.file), fs));
            fileName = info.file;
        }
        withTable(db, t, [&](auto& table) { loadTable(db, table, *file, info, firstOfFile, progress); });
    }
    loadWizardTemplates(db, wizardPath, progress, fs);

    progress.hide();
}

void loadDatabase(Database& db, const std::string& gameDir, const std::string& wizardPath, Progress& progress)
{
    loadDatabase(db, gameDir, wizardPath, progress, realFileSystem());
}

}  // namespace db

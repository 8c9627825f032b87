// Saving the game database. Every file the save replaces is first written in
// full to a temporary file beside it (its records, then whatever the old file
// held beyond them), flushed to the disk; only when all of them are written
// are they renamed over the originals. A failure at any step removes the
// temporaries and leaves every original as it was, so index.dat can never
// count records that another file does not hold.
//
// A crash can stop the renames part way, so before the first one a record of
// the staged files (names, sizes, checksums) is written and flushed beside
// them; recovery (Recovery.h) reads it at the next start and finishes the
// save or puts every original back. index.dat is renamed last: a folder
// caught between renames never has an index counting records it lacks.
//
// The content is streamed: tables whose records lie in memory as in the
// file are written from there in large pieces, the staff records (kept
// with their display names) are gathered in one moderate buffer, and only
// the part of an old file kept beyond the new records is read back. Each
// temporary is started on its way to the disk while it is written (every
// 2 MB and at its end), and all of them are flushed before the record and
// the renames. While the renames run, each original stays reachable under a
// second name, so a failed rename can put it back without holding its
// content in memory.

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <type_traits>

#include "db/storage/FileSystem.h"
#include "db/storage/Recovery.h"
#include "db/storage/SaveRecord.h"
#include "db/storage/Storage.h"
#include "db/storage/StorageFiles.h"

namespace db {

namespace {

using Bytes = std::vector<std::uint8_t>;

// How much is collected before each write, and read at a time. Moderate:
// the buffer's pages are fresh memory in every save, and each costs a fault.
constexpr std::size_t kChunk = std::size_t{256} << 10;
// Content at least this long is written from where it lies, not copied.
constexpr std::size_t kDirect = std::size_t{64} << 10;
// How much of a file is written before it is started on its way to the
// disk, so that the disk works while the rest is gathered and checksummed.
constexpr std::uint64_t kFlushEvery = std::uint64_t{2} << 20;

// One file of the save: where it goes, how long it was, and its staged copy.
struct StagedFile {
    std::string path;
    std::uint64_t oldSize = 0;
    std::uint32_t mode = 0;
    std::string tempPath;
    FileHandle out = kNoFile;     // the temporary while it is being written
    std::uint64_t written = 0;    // bytes of new content put so far
    std::uint64_t size = 0;       // bytes written to the temporary
    std::uint64_t unflushed = 0;  // of them, not yet started on their way to the disk
    std::unique_ptr<Checksum> sum = std::make_unique<Checksum>();
    std::string keptPath;  // the original's second name during the commit
};

std::string nameOf(const std::string& path)
{
    return path.substr(files::folderOf(path).size() + 1);
}

// A hidden name beside `path`: a dot, its file name, then `suffix`.
std::string hiddenName(const std::string& path, const char* suffix)
{
    return "." + nameOf(path) + suffix;
}

// The name an original is kept under while the renames run: hidden, beside
// it. A name already taken is never reused: what a save interrupted before
// it could restore its originals left there may be the only copy of one.
std::string keptName(FileSystem& fs, const std::string& path)
{
    const std::string base = joinPath(files::folderOf(path), hiddenName(path, ".quarn-old"));
    std::string name = base;
    for (int n = 2; fs.exists(name) && n <= 1000; ++n) name = base + "-" + std::to_string(n);
    return name;
}

[[noreturn]] void writeFailed(const std::string& what, FileSystem& fs)
{
    files::saveFailed("Stream write error", what, fs.lastError());
}

[[noreturn]] void readFailed(const std::string& path, FileSystem& fs)
{
    files::saveFailed("Stream read error", "Reading " + path, fs.lastError());
}

class SaveTransaction {
public:
    explicit SaveTransaction(FileSystem& fs) : fs_(fs) { buffer_.reserve(kChunk); }
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;
    ~SaveTransaction()
    {
        if (!committed_ && !keepLeftovers_) discard();
    }

    // Checks the existing file the save will replace and starts its
    // temporary. Files are never created, and a file nobody may write is
    // refused here, before anything has changed.
    StagedFile& open(const std::string& path)
    {
        StagedFile f;
        f.path = path;
        if (!fs_.exists(path))
            throw Error("Cannot open file " + path + ". It does not exist. " +
                        files::unchangedState(IoError::Other));
        if (!fs_.canOpenForWriting(path) || !fs_.getPermissions(path, f.mode) || (f.mode & 0222u) == 0) {
            std::string why = "It is read-only.";
            if (f.mode == 0 || (f.mode & 0222u) != 0) {
                const std::string cause = describe(fs_.lastError());
                why = cause.empty() ? "It cannot be written." : "It cannot be written: " + cause + ".";
            }
            throw Error("Cannot open file " + path + ". " + why + " " +
                        files::unchangedState(IoError::PermissionDenied));
        }
        if (!fs_.fileSize(path, f.oldSize)) readFailed(path, fs_);
        files_.push_back(std::move(f));
        StagedFile& staged = files_.back();
        staged.out =
            fs_.createTemporary(files::folderOf(path), hiddenName(path, ".").c_str(), staged.tempPath);
        if (staged.out == kNoFile) writeFailed("Creating the new " + path, fs_);
        return staged;
    }

    // `size` bytes of the original from `offset`.
    void readOld(const StagedFile& f, std::uint64_t offset, std::size_t size, Bytes& out)
    {
        if (fs_.readRange(f.path, offset, size, out) != ReadStatus::Ok) readFailed(f.path, fs_);
    }

    // Appends to the file's new content.
    void put(StagedFile& f, const std::uint8_t* data, std::size_t size)
    {
        if (buffer_.size() + size > kChunk || size >= kDirect) flush(f);
        if (size >= kDirect) {
            writeOut(f, data, size);
        } else {
            buffer_.insert(buffer_.end(), data, data + size);
        }
        f.written += size;
    }

    // Completes the temporary: what the old file held beyond the new
    // content. Its way to the disk starts at once, while the next file is
    // written; flushAll waits for all of them.
    void finish(StagedFile& f)
    {
        flush(f);
        for (std::uint64_t at = f.written; at < f.oldSize;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(f.oldSize - at, kChunk));
            readOld(f, at, n, buffer_);
            writeOut(f, buffer_.data(), n);
            at += n;
        }
        buffer_.clear();
        fs_.startFlush(f.out);
    }

    // Every temporary flushed to the disk and closed, with its original's
    // permissions: all before anything else of the save happens.
    void flushAll()
    {
        for (StagedFile& f : files_) {
            const bool synced = fs_.sync(f.out);
            const IoError why = fs_.lastError();
            const bool closed = fs_.close(f.out);
            f.out = kNoFile;
            if (!synced) files::saveFailed("Stream write error", "Writing the new " + f.path, why);
            if (!closed || !fs_.setPermissions(f.tempPath, f.mode))
                writeFailed("Writing the new " + f.path, fs_);
        }
    }

    // Renames every staged file over its original, index.dat last, with the
    // record of them on the disk first. Should a rename or the folder's
    // flush fail, the files already replaced get their originals back from
    // their second names, so the folder stays as it was.
    void commit()
    {
        flushAll();
        dataDir_ = files::folderOf(files_.front().path);
        for (const StagedFile& f : files_)
            if (files::folderOf(f.path) != dataDir_)
                writeFailed("Writing " + f.path + " beside " + dataDir_, fs_);
        keepOriginals();
        writeRecord();
        for (const StagedFile* f : swapOrder())
            if (!fs_.rename(f->tempPath, f->path)) undo("Replacing " + f->path);
        if (!fs_.syncDirectory(dataDir_)) undo("Flushing the folder " + dataDir_);
        committed_ = true;
        // The save is complete; the record goes last, once the removal of
        // every second name is on the disk. Whatever stays behind here the
        // next start removes; a record that outlives a power cut only makes
        // it tidy again.
        bool tidy = true;
        for (const StagedFile& f : files_) tidy = fs_.remove(f.keptPath) && tidy;
        if (tidy && fs_.syncDirectory(dataDir_)) fs_.remove(recordPath());
    }

private:
    void writeOut(StagedFile& f, const std::uint8_t* data, std::size_t size)
    {
        if (size == 0) return;
        if (!fs_.write(f.out, data, size)) writeFailed("Writing the new " + f.path, fs_);
        f.sum->add(data, size);
        f.size += size;
        f.unflushed += size;
        if (f.unflushed >= kFlushEvery) {
            fs_.startFlush(f.out);
            f.unflushed = 0;
        }
    }

    void flush(StagedFile& f)
    {
        writeOut(f, buffer_.data(), buffer_.size());
        buffer_.clear();
    }

    std::string recordPath() const { return joinPath(dataDir_, kSaveRecordName); }

    std::vector<const StagedFile*> swapOrder() const
    {
        std::vector<const StagedFile*> order;
        for (std::size_t i = 1; i < files_.size(); ++i) order.push_back(&files_[i]);
        order.push_back(&files_.front());  // index.dat
        return order;
    }

    SaveRecord record() const
    {
        SaveRecord r;
        for (const StagedFile* f : swapOrder())
            r.push_back(
                {nameOf(f->path), nameOf(f->tempPath), nameOf(f->keptPath), f->size, f->sum->value()});
        return r;
    }

    // The record, flushed, and the folder flushed so that it and the second
    // names are on the disk before the first rename.
    void writeRecord()
    {
        const std::string text = formatSaveRecord(record());
        const FileHandle out = fs_.createNew(recordPath());
        if (out == kNoFile) {
            const IoError why = fs_.lastError();
            removeKept();
            files::saveFailed("Stream write error", "Writing the save's record " + recordPath(), why);
        }
        bool ok = fs_.write(out, text.data(), text.size()) && fs_.sync(out);
        IoError why = fs_.lastError();
        ok = fs_.close(out) && ok;
        if (ok) ok = fs_.syncDirectory(dataDir_);
        if (!ok) {
            if (why == IoError::None) why = fs_.lastError();
            fs_.remove(recordPath());
            removeKept();
            files::saveFailed("Stream write error", "Writing the save's record " + recordPath(), why);
        }
    }

    // A rename or flush of the commit failed: every original goes back.
    [[noreturn]] void undo(const std::string& what)
    {
        const IoError why = fs_.lastError();
        const std::vector<std::string> notBack = putOriginalsBack(dataDir_, record(), fs_);
        if (notBack.empty()) {
            // Whole again: the record goes first, then the leftovers.
            fs_.remove(recordPath());
            fs_.syncDirectory(dataDir_);
            if (fs_.exists(joinPath(dataDir_, kSaveUndoName))) fs_.remove(joinPath(dataDir_, kSaveUndoName));
            removeKept();
            files::saveFailed("Stream write error", what, why);
        }
        keepLeftovers_ = true;
        std::string names;
        for (const std::string& n : notBack) names += (names.empty() ? "" : ", ") + n;
        const std::string cause = describe(why);
        throw Error("Stream write error. " + what + " failed" + (cause.empty() ? "" : ": " + cause) +
                    ", and putting back the original " + names +
                    " failed too, so the data folder holds old and new files together. The save's record (" +
                    recordPath() +
                    ") is kept: the next File > Open or File > Save, the next start of Quarn db or "
                    "'quarndb-cli recover' makes the folder whole again before anything reads it. Your edits "
                    "are still open.");
    }

    // Gives every original its second name: a hard link, or where the file
    // system has none, a flushed copy. Nothing is replaced before all of
    // them exist.
    void keepOriginals()
    {
        for (StagedFile& f : files_) {
            const std::string kept = keptName(fs_, f.path);
            const CopyResult result = fs_.link(f.path, kept) ? CopyResult::Ok : copyOriginal(f, kept);
            if (result != CopyResult::Ok) {
                const IoError why = fs_.lastError();
                removeKept();
                if (result == CopyResult::ReadFailed)
                    files::saveFailed("Stream read error", "Reading " + f.path, why);
                files::saveFailed("Stream write error", "Keeping a copy of " + f.path, why);
            }
            f.keptPath = kept;
        }
    }

    void removeKept()
    {
        for (StagedFile& done : files_) {
            if (done.keptPath.empty()) continue;
            fs_.remove(done.keptPath);
            done.keptPath.clear();
        }
    }

    enum class CopyResult { Ok, ReadFailed, WriteFailed };

    // Copies the original to `to` through the buffer, leaving nothing
    // behind when any step fails.
    CopyResult copyOriginal(const StagedFile& f, const std::string& to)
    {
        const FileHandle out = fs_.createNew(to);
        if (out == kNoFile) return CopyResult::WriteFailed;
        CopyResult result = CopyResult::Ok;
        for (std::uint64_t at = 0; result == CopyResult::Ok && at < f.oldSize;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(f.oldSize - at, kChunk));
            if (fs_.readRange(f.path, at, n, buffer_) != ReadStatus::Ok)
                result = CopyResult::ReadFailed;
            else if (!fs_.write(out, buffer_.data(), n))
                result = CopyResult::WriteFailed;
            at += n;
        }
        buffer_.clear();
        if (result == CopyResult::Ok && !fs_.sync(out)) result = CopyResult::WriteFailed;
        if (!fs_.close(out) && result == CopyResult::Ok) result = CopyResult::WriteFailed;
        if (result == CopyResult::Ok && !fs_.setPermissions(to, f.mode)) result = CopyResult::WriteFailed;
        if (result != CopyResult::Ok) fs_.remove(to);
        return result;
    }

    void discard()
    {
        for (StagedFile& f : files_) {
            if (f.out != kNoFile) fs_.close(f.out);
            if (!f.tempPath.empty() && fs_.exists(f.tempPath)) fs_.remove(f.tempPath);
        }
    }

    FileSystem& fs_;
    std::deque<StagedFile> files_;  // a deque keeps the references open() hands out
    Bytes buffer_;                  // reused for every file
    std::string dataDir_;
    bool committed_ = false;
    bool keepLeftovers_ = false;  // a failed put-back: recovery needs them
};

// Writes the first RecordCount records of a table (never more than the
// table holds), stepping the progress once per record (by the block). A
// table whose records lie back to back in memory as in the file goes out
// without a copy, in large writes.
template <typename R>
void writeTable(SaveTransaction& tx, StagedFile& f, const Database& db, const Table<R>& table, int entry,
                std::string_view status, Progress& progress)
{
    const std::size_t n = std::min(files::wantedCount(db, entry), table.size());
    progress.setStatus(status);
    progress.setMaximum(n > 0 ? static_cast<int>(std::min<std::size_t>(n - 1, 0x7FFFFFFF)) : 0);
    progress.setPosition(0);
    constexpr std::size_t block = (std::size_t{4} << 20) / R::Size;  // records between progress steps
    for (std::size_t first = 0; first < n; first += block) {
        const std::size_t end = std::min(n, first + block);
        if constexpr (std::is_trivially_copyable_v<R> && sizeof(R) == R::Size) {
            tx.put(f, table[first].data(), (end - first) * R::Size);
        } else {
            for (std::size_t i = first; i < end; ++i) tx.put(f, table[i].data(), R::Size);
        }
        progress.advance(static_cast<int>(end - first));
    }
}

// Where table t starts in the file this save writes: the tables of a file
// go back to back from its start. The appends keep the offsets held in
// memory equal to this; a file loaded with gaps between its tables is
// written without them, and the index must then say where the tables went.
std::int32_t tableStart(const Database& db, TableId t)
{
    std::uint64_t at = 0;
    for (const TableInfo& before : kTables) {
        if (before.id == t) break;
        if (before.file == tableInfo(t).file)
            at +=
                std::min(files::wantedCount(db, before.entry), tableSize(db, before.id)) * before.recordSize;
    }
    return static_cast<std::int32_t>(at);
}

}  // namespace

void checkSavable(const Database& db, const std::string& gameDir, FileSystem& fs)
{
    for (int k = 0; k < Entry::Count; ++k) db.entry(k);  // a short index fails before anything is done
    // Tables a load did not finish are short or empty: written out, they
    // would replace the game's records with nothing.
    if (!db.loadComplete())
        throw Error(
            "The database was not loaded completely; saving it would overwrite the game's files "
            "with missing records. Nothing was saved.");
    const std::string dataDir = files::folderOf(dataFilePath(gameDir, files::kIndex, fs));
    if (hasSaveRecord(dataDir, fs))
        throw Error("An earlier save into " + dataDir +
                    " was interrupted and is not finished; File > Open, the next start of Quarn db or "
                    "'quarndb-cli recover' makes the folder whole first. Nothing was saved.");
}

void saveDatabase(const Database& db, const std::string& gameDir, Progress& progress, FileSystem& fs)
{
    checkSavable(db, gameDir, fs);
    const std::string indexPath = dataFilePath(gameDir, files::kIndex, fs);
    SaveTransaction tx(fs);

    // index.dat: the 22 entries at offset 8; the header and anything after
    // the last entry stay as they are.
    {
        StagedFile& f = tx.open(indexPath);
        Bytes header;
        tx.readOld(f, 0, static_cast<std::size_t>(std::min<std::uint64_t>(f.oldSize, files::kIndexHeader)),
                   header);
        header.resize(files::kIndexHeader, 0);
        tx.put(f, header.data(), header.size());
        for (int k = 0; k < Entry::Count; ++k) {
            IndexEntry e = db.entry(k);
            const TableInfo* t = tableAtEntry(k);
            if (t && followsInFile(t->id)) e.set(IndexEntry::TableOffset, tableStart(db, t->id));
            tx.put(f, e.data(), IndexEntry::Size);
        }
        tx.finish(f);
    }

    // Every other saved table, the tables of one file back to back from its
    // start.
    progress.show();
    StagedFile* file = nullptr;
    for (const TableInfo& t : kTables) {
        if (!t.saved || t.id == TableId::Index) continue;
        if (!followsInFile(t.id)) {
            if (file) tx.finish(*file);
            file = &tx.open(dataFilePath(gameDir, std::string(t.file), fs));
        }
        withTable(db, t.id, [&](const auto& table) {
            writeTable(tx, *file, db, table, t.entry, t.saveStatus, progress);
        });
    }
    if (file) tx.finish(*file);

    tx.commit();
}

void saveDatabase(const Database& db, const std::string& gameDir, Progress& progress)
{
    saveDatabase(db, gameDir, progress, realFileSystem());
}

}  // namespace db

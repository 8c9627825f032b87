// Saving the game database. Every file the save replaces is first written in
// full to a temporary file beside it (its records, then whatever the old file
// held beyond them), flushed to the disk; only when all of them are written
// are they renamed over the originals. A failure at any step removes the
// temporaries and leaves every original as it was, so index.dat can never
// count records that another file does not hold.
//
// The content is streamed through one moderate buffer: the tables are
// copied straight from memory and only the part of an old file kept beyond
// the new records is read back. While the renames run, each original stays
// reachable under a second name, so a failed rename can put it back without
// holding its content in memory.

#include <algorithm>
#include <cstring>
#include <deque>

#include "FileSystem.h"
#include "Storage.h"
#include "StorageFiles.h"

namespace db {

namespace {

using Bytes = std::vector<std::uint8_t>;

// How much is collected before each write, and read at a time.
constexpr std::size_t kChunk = std::size_t{1} << 20;

// One file of the save: where it goes, how long it was, and its staged copy.
struct StagedFile {
    std::string path;
    std::uint64_t oldSize = 0;
    std::uint32_t mode = 0;
    std::string tempPath;
    FileHandle out = kNoFile;  // the temporary while it is being written
    std::uint64_t written = 0;
    std::string keptPath;  // the original's second name during the commit
    bool replaced = false;
};

// A hidden name beside `path`: a dot, its file name, then `suffix`.
std::string hiddenName(const std::string& path, const char* suffix)
{
    std::string name = ".";
    name.append(path, files::folderOf(path).size() + 1, std::string::npos);
    name.append(suffix);
    return name;
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

class SaveTransaction {
public:
    explicit SaveTransaction(FileSystem& fs) : fs_(fs) { buffer_.reserve(kChunk); }
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;
    ~SaveTransaction()
    {
        if (!committed_) discard();
    }

    // Checks the existing file the save will replace and starts its
    // temporary. Files are never created, and a file nobody may write is
    // refused here, before anything has changed.
    StagedFile& open(const std::string& path)
    {
        StagedFile f;
        f.path = path;
        if (!fs_.canOpenForWriting(path) || !fs_.getPermissions(path, f.mode) || (f.mode & 0222u) == 0)
            files::cannotOpen(path);
        if (!fs_.fileSize(path, f.oldSize)) files::readError();
        files_.push_back(std::move(f));
        StagedFile& staged = files_.back();
        staged.out = fs_.createTemporary(files::folderOf(path), hiddenName(path, "."), staged.tempPath);
        if (staged.out == kNoFile) files::writeError();
        return staged;
    }

    // `size` bytes of the original from `offset`.
    void readOld(const StagedFile& f, std::uint64_t offset, std::size_t size, Bytes& out)
    {
        if (fs_.readRange(f.path, offset, size, out) != ReadStatus::Ok) files::readError();
    }

    // Appends to the file's new content.
    void put(StagedFile& f, const std::uint8_t* data, std::size_t size)
    {
        if (buffer_.size() + size > kChunk) flush(f);
        if (size > kChunk) {
            writeOut(f, data, size);
        } else {
            buffer_.insert(buffer_.end(), data, data + size);
        }
        f.written += size;
    }

    // Completes the temporary: what the old file held beyond the new
    // content, then flushed to the disk with the original's permissions.
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
        const bool synced = fs_.sync(f.out);
        const bool closed = fs_.close(f.out);
        f.out = kNoFile;
        if (!synced || !closed || !fs_.setPermissions(f.tempPath, f.mode)) files::writeError();
    }

    // Renames every staged file over its original. Should a rename or the
    // folder's flush fail, the files already replaced get their originals
    // back from their second names, so the folder stays as it was.
    void commit()
    {
        keepOriginals();
        for (StagedFile& f : files_) {
            if (!fs_.rename(f.tempPath, f.path)) {
                restoreReplaced();
                files::writeError();
            }
            f.tempPath.clear();
            f.replaced = true;
        }
        for (const std::string& dir : folders()) {
            if (!fs_.syncDirectory(dir)) {
                restoreReplaced();
                files::writeError();
            }
        }
        committed_ = true;
        // The save is complete whether or not this tidying succeeds; a name
        // left over only holds an older copy and is never taken again.
        for (StagedFile& f : files_) fs_.remove(f.keptPath);
    }

private:
    void writeOut(StagedFile& f, const std::uint8_t* data, std::size_t size)
    {
        if (size > 0 && !fs_.write(f.out, data, size)) files::writeError();
    }

    void flush(StagedFile& f)
    {
        writeOut(f, buffer_.data(), buffer_.size());
        buffer_.clear();
    }

    std::vector<std::string> folders() const
    {
        std::vector<std::string> result;
        for (const StagedFile& f : files_) {
            const std::string dir = files::folderOf(f.path);
            if (std::find(result.begin(), result.end(), dir) == result.end()) result.push_back(dir);
        }
        return result;
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
                for (StagedFile& done : files_) {
                    if (done.keptPath.empty()) continue;
                    fs_.remove(done.keptPath);
                    done.keptPath.clear();
                }
                if (result == CopyResult::ReadFailed) files::readError();
                files::writeError();
            }
            f.keptPath = kept;
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

    void restoreReplaced()
    {
        for (StagedFile& f : files_) {
            // A second name that cannot be renamed back is left alone: it is
            // the only copy of that original.
            if (f.replaced ? fs_.rename(f.keptPath, f.path) : fs_.remove(f.keptPath)) f.keptPath.clear();
            f.replaced = false;
        }
        for (const std::string& dir : folders()) fs_.syncDirectory(dir);
    }

    void discard()
    {
        for (StagedFile& f : files_) {
            if (f.out != kNoFile) fs_.close(f.out);
            if (!f.tempPath.empty()) fs_.remove(f.tempPath);
        }
    }

    FileSystem& fs_;
    std::deque<StagedFile> files_;  // a deque keeps the references open() hands out
    Bytes buffer_;                  // reused for every file
    bool committed_ = false;
};

// Writes the first RecordCount records of a table (never more than the
// table holds), stepping the progress once per record.
template <typename R>
void writeTable(SaveTransaction& tx, StagedFile& f, const Database& db, const Table<R>& table, int entry,
                const char* status, Progress& progress)
{
    const std::size_t n = std::min(files::wantedCount(db, entry), table.size());
    progress.setStatus(status);
    progress.setMaximum(n > 0 ? static_cast<int>(std::min<std::size_t>(n - 1, 0x7FFFFFFF)) : 0);
    progress.setPosition(0);
    for (std::size_t i = 0; i < n; ++i) {
        progress.step();
        tx.put(f, table[i].data(), R::Size);
    }
}

template <typename R>
void saveTable(SaveTransaction& tx, const Database& db, const std::string& gameDir, const char* fileName,
               const Table<R>& table, int entry, const char* status, Progress& progress, FileSystem& fs)
{
    StagedFile& f = tx.open(dataFilePath(gameDir, fileName, fs));
    writeTable(tx, f, db, table, entry, status, progress);
    tx.finish(f);
}

// Where staff table `entry` starts in the staff.dat this save writes. The
// appends keep the offsets held in memory equal to this; a file loaded with
// gaps between its tables is written without them, and the index must then
// say where the tables went.
std::int32_t staffTableStart(const Database& db, int entry)
{
    std::uint64_t at = 0;
    if (entry > Entry::Staff)
        at += std::min(files::wantedCount(db, Entry::Staff), db.staff.size()) * StaffRecord::Size;
    if (entry > Entry::StaffExtra)
        at += std::min(files::wantedCount(db, Entry::StaffExtra), db.staffExtra.size()) *
              StaffExtraRecord::Size;
    if (entry > Entry::NonPlayers)
        at +=
            std::min(files::wantedCount(db, Entry::NonPlayers), db.nonPlayers.size()) * NonPlayerRecord::Size;
    return static_cast<std::int32_t>(at);
}

}  // namespace

void saveDatabase(const Database& db, const std::string& gameDir, Progress& progress, FileSystem& fs)
{
    for (int k = 0; k < Entry::Count; ++k) db.entry(k);  // a short index fails before anything is done

    SaveTransaction tx(fs);

    // index.dat: the 22 entries at offset 8; the header and anything after
    // the last entry stay as they are.
    {
        StagedFile& f = tx.open(dataFilePath(gameDir, files::kIndex, fs));
        Bytes header;
        tx.readOld(f, 0, static_cast<std::size_t>(std::min<std::uint64_t>(f.oldSize, files::kIndexHeader)),
                   header);
        header.resize(files::kIndexHeader, 0);
        tx.put(f, header.data(), header.size());
        for (int k = 0; k < Entry::Count; ++k) {
            IndexEntry e = db.entry(k);
            if (k == Entry::StaffExtra || k == Entry::NonPlayers || k == Entry::Players)
                e.set(IndexEntry::TableOffset, staffTableStart(db, k));
            tx.put(f, e.data(), IndexEntry::Size);
        }
        tx.finish(f);
    }

    progress.show();
    saveTable(tx, db, gameDir, files::kClubs, db.clubs, Entry::Clubs, "Saving Clubs", progress, fs);
    saveTable(tx, db, gameDir, files::kFirstNames, db.firstNames, Entry::FirstNames, "Saving First Names",
              progress, fs);
    saveTable(tx, db, gameDir, files::kSecondNames, db.secondNames, Entry::SecondNames, "Saving Second Names",
              progress, fs);
    saveTable(tx, db, gameDir, files::kCommonNames, db.commonNames, Entry::CommonNames, "Saving Common Names",
              progress, fs);
    saveTable(tx, db, gameDir, files::kStadiums, db.stadiums, Entry::Stadiums, "Saving Stadiums", progress,
              fs);

    // staff.dat: the four tables back to back from its start.
    {
        StagedFile& f = tx.open(dataFilePath(gameDir, files::kStaff, fs));
        writeTable(tx, f, db, db.staff, Entry::Staff, "Saving Staff General", progress);
        writeTable(tx, f, db, db.staffExtra, Entry::StaffExtra, "Saving Staff Unknown", progress);
        writeTable(tx, f, db, db.nonPlayers, Entry::NonPlayers, "Saving Non Playing Staff", progress);
        writeTable(tx, f, db, db.players, Entry::Players, "Saving Playing Staff", progress);
        tx.finish(f);
    }

    tx.commit();
}

void saveDatabase(const Database& db, const std::string& gameDir, Progress& progress)
{
    saveDatabase(db, gameDir, progress, realFileSystem());
}

}  // namespace db

// Saving the game database. Every file the save replaces is first built in
// full in a temporary file beside it (its records, then whatever the old file
// held beyond them), flushed to the disk; only when all of them are written
// are they renamed over the originals. A failure at any step removes the
// temporaries and leaves every original as it was, so index.dat can never
// count records that another file does not hold.

#include <algorithm>
#include <cstring>
#include <deque>

#include "FileSystem.h"
#include "Storage.h"
#include "StorageFiles.h"

namespace db {

namespace {

using Bytes = std::vector<std::uint8_t>;

// One file of the save: where it goes, what it held, and its staged copy.
struct StagedFile {
    std::string path;
    Bytes oldBytes;
    std::uint32_t mode = 0;
    std::string tempPath;
    bool replaced = false;
};

class SaveTransaction {
public:
    explicit SaveTransaction(FileSystem& fs) : fs_(fs) {}
    SaveTransaction(const SaveTransaction&) = delete;
    SaveTransaction& operator=(const SaveTransaction&) = delete;
    ~SaveTransaction()
    {
        if (!committed_) discard();
    }

    // Opens the existing file the save will replace and takes its content.
    // Files are never created, and a file nobody may write is refused here,
    // before anything has changed.
    StagedFile& open(const std::string& path)
    {
        StagedFile f;
        f.path = path;
        if (!fs_.canOpenForWriting(path) || !fs_.getPermissions(path, f.mode) || (f.mode & 0222u) == 0)
            files::cannotOpen(path);
        const ReadStatus status = fs_.readFile(path, f.oldBytes);
        if (status == ReadStatus::CannotOpen) files::cannotOpen(path);
        if (status != ReadStatus::Ok) files::readError();
        files_.push_back(std::move(f));
        return files_.back();
    }

    // Writes the file's new content into a temporary beside it.
    void stage(StagedFile& f, const Bytes& content)
    {
        f.tempPath = writeTemporary(f, content);
        if (f.tempPath.empty()) files::writeError();
    }

    // Renames every staged file over its original. Should a rename or the
    // folder's flush fail, the files already replaced get their old content
    // back the same way, so the folder stays as it was.
    void commit()
    {
        for (StagedFile& f : files_) {
            if (!fs_.rename(f.tempPath, f.path)) {
                restoreReplaced();
                files::writeError();
            }
            f.tempPath.clear();
            f.replaced = true;
        }
        std::vector<std::string> folders;
        for (const StagedFile& f : files_) {
            const std::string dir = files::folderOf(f.path);
            if (std::find(folders.begin(), folders.end(), dir) == folders.end()) folders.push_back(dir);
        }
        for (const std::string& dir : folders) {
            if (!fs_.syncDirectory(dir)) {
                restoreReplaced();
                files::writeError();
            }
        }
        committed_ = true;
    }

private:
    // The path of a flushed temporary holding `content` with the original's
    // permissions, or empty when any step failed (nothing is left behind).
    std::string writeTemporary(const StagedFile& f, const Bytes& content)
    {
        std::string tempPath;
        const std::string name = f.path.substr(files::folderOf(f.path).size() + 1);
        const FileHandle out = fs_.createTemporary(files::folderOf(f.path), "." + name + ".", tempPath);
        if (out == kNoFile) return {};
        const bool written = fs_.write(out, content.data(), content.size()) && fs_.sync(out);
        const bool closed = fs_.close(out);
        if (!written || !closed || !fs_.setPermissions(tempPath, f.mode)) {
            fs_.remove(tempPath);
            return {};
        }
        return tempPath;
    }

    void restoreReplaced()
    {
        for (StagedFile& f : files_) {
            if (!f.replaced) continue;
            const std::string back = writeTemporary(f, f.oldBytes);
            if (!back.empty() && !fs_.rename(back, f.path)) fs_.remove(back);
            f.replaced = false;
        }
    }

    void discard()
    {
        for (StagedFile& f : files_)
            if (!f.tempPath.empty()) fs_.remove(f.tempPath);
    }

    FileSystem& fs_;
    std::deque<StagedFile> files_;  // a deque keeps the references open() hands out
    bool committed_ = false;
};

// Appends the first RecordCount records of a table (never more than the
// table holds), stepping the progress once per record.
template <typename R>
void appendTable(Bytes& out, const Database& db, const Table<R>& table, int entry, const char* status,
                 Progress& progress)
{
    const std::size_t n = std::min(files::wantedCount(db, entry), table.size());
    progress.setStatus(status);
    progress.setMaximum(n > 0 ? static_cast<int>(std::min<std::size_t>(n - 1, 0x7FFFFFFF)) : 0);
    progress.setPosition(0);
    std::size_t at = out.size();
    out.resize(at + n * R::Size);
    for (std::size_t i = 0; i < n; ++i, at += R::Size) {
        progress.step();
        std::memcpy(out.data() + at, table[i].data(), R::Size);
    }
}

// What the old file held beyond the new records stays.
void keepOldTail(Bytes& content, const Bytes& old)
{
    if (old.size() > content.size()) content.insert(content.end(), old.begin() + content.size(), old.end());
}

template <typename R>
void saveTable(SaveTransaction& tx, const Database& db, const std::string& gameDir, const char* fileName,
               const Table<R>& table, int entry, const char* status, Progress& progress, FileSystem& fs)
{
    StagedFile& f = tx.open(dataFilePath(gameDir, fileName, fs));
    Bytes content;
    appendTable(content, db, table, entry, status, progress);
    keepOldTail(content, f.oldBytes);
    tx.stage(f, content);
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
        Bytes content = f.oldBytes;
        if (content.size() < files::kIndexEnd) content.resize(files::kIndexEnd, 0);
        for (int k = 0; k < Entry::Count; ++k) {
            IndexEntry e = db.entry(k);
            if (k == Entry::StaffExtra || k == Entry::NonPlayers || k == Entry::Players)
                e.set(IndexEntry::TableOffset, staffTableStart(db, k));
            std::copy_n(
                e.data(), IndexEntry::Size,
                content.begin() + static_cast<std::ptrdiff_t>(files::kIndexHeader + IndexEntry::Size * k));
        }
        tx.stage(f, content);
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
        Bytes content;
        appendTable(content, db, db.staff, Entry::Staff, "Saving Staff General", progress);
        appendTable(content, db, db.staffExtra, Entry::StaffExtra, "Saving Staff Unknown", progress);
        appendTable(content, db, db.nonPlayers, Entry::NonPlayers, "Saving Non Playing Staff", progress);
        appendTable(content, db, db.players, Entry::Players, "Saving Playing Staff", progress);
        keepOldTail(content, f.oldBytes);
        tx.stage(f, content);
    }

    tx.commit();
}

void saveDatabase(const Database& db, const std::string& gameDir, Progress& progress)
{
    saveDatabase(db, gameDir, progress, realFileSystem());
}

}  // namespace db

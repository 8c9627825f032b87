#include "db/storage/Recovery.h"

#include <algorithm>

#include "db/storage/Backup.h"
#include "db/storage/FileSystem.h"
#include "db/storage/Storage.h"
#include "db/storage/StorageFiles.h"

namespace db {

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// ".<saved file>.<tag>.tmp": a file a save was staging.
bool isStagedName(const std::string& name)
{
    if (name.size() < 6 || name[0] != '.' || !name.ends_with(".tmp")) return false;
    const std::string l = lower(name);
    for (const std::string& saved : savedFileNames())
        if (l.compare(1, saved.size() + 1, saved + ".") == 0) return true;
    return false;
}

// ".<saved file>.quarn-old" or ".<saved file>.quarn-old-N": an original
// kept under a second name; returns the file name it belongs to, or "".
std::string keptTargetOf(const std::string& name)
{
    if (name.empty() || name[0] != '.') return {};
    const std::size_t at = name.find(".quarn-old", 1);
    if (at == std::string::npos) return {};
    const std::string rest = name.substr(at + 10);
    if (!rest.empty() && (rest[0] != '-' || rest.size() == 1 ||
                          rest.find_first_not_of("0123456789", 1) != std::string::npos))
        return {};
    const std::string target = name.substr(1, at - 1);
    const auto& saved = savedFileNames();
    return std::find(saved.begin(), saved.end(), lower(target)) == saved.end() ? std::string() : target;
}

bool sameContent(FileSystem& fs, const std::string& a, const std::string& b)
{
    std::uint64_t sizeA = 0, sumA = 0, sizeB = 0, sumB = 0;
    return checksumFile(fs, a, sizeA, sumA) && checksumFile(fs, b, sizeB, sumB) && sizeA == sizeB &&
           sumA == sumB;
}

bool matchesRecord(FileSystem& fs, const std::string& path, const SaveRecordEntry& e)
{
    std::uint64_t size = 0, sum = 0;
    return checksumFile(fs, path, size, sum) && size == e.size && sum == e.checksum;
}

bool removeFolder(FileSystem& fs, const std::string& dir)
{
    std::vector<std::string> names;
    if (!fs.listDirectory(dir, names)) return false;
    bool ok = true;
    for (const std::string& n : names) ok = fs.remove(joinPath(dir, n)) && ok;
    return ok && fs.removeDirectory(dir);
}

std::string joinNames(const std::vector<std::string>& names)
{
    std::string s;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) s += i + 1 == names.size() ? " and " : ", ";
        s += names[i];
    }
    return s;
}

class Recovery {
public:
    Recovery(const std::string& gameDir, FileSystem& fs, bool apply) : gameDir_(gameDir), fs_(fs), apply_(apply)
    {
        r_.dataFolder = files::folderOf(dataFilePath(gameDir, files::kIndex, fs));
        r_.applied = apply;
    }

    RecoveryReport run()
    {
        backups();
        const bool whole = saveRecord();
        if (whole) strays();
        if (r_.outcome == RecoveryReport::Outcome::Nothing && !r_.leftovers.empty())
            r_.outcome = RecoveryReport::Outcome::Tidied;
        if (apply_ && changed_) fs_.syncDirectory(r_.dataFolder);
        return r_;
    }

private:
    std::string path(const std::string& name) const { return joinPath(r_.dataFolder, name); }

    void remove(const std::string& p)
    {
        if (apply_ && fs_.remove(p)) changed_ = true;
    }

    // Backups are built as ".data-backup-....tmp" and renamed when complete:
    // one still under that name never finished.
    void backups()
    {
        std::vector<std::string> names;
        if (!fs_.listDirectory(gameDir_, names)) return;
        std::sort(names.begin(), names.end());
        for (const std::string& n : names) {
            const std::string p = joinPath(gameDir_, n);
            if (!fs_.isDirectory(p)) continue;
            if (n.starts_with(".data-backup-") && n.ends_with(".tmp")) {
                r_.unfinishedBackup = p;
                if (apply_ && removeFolder(fs_, p)) fs_.syncDirectory(gameDir_);
            } else if (n.starts_with("data-backup-")) {
                r_.backupFolder = p;
            }
        }
    }

    // Finishes or undoes the save the record describes. False when the
    // folder is not whole afterwards.
    bool saveRecord()
    {
        const std::string recordPath = path(kSaveRecordName);
        if (!fs_.exists(recordPath)) return true;
        std::vector<std::uint8_t> bytes;
        SaveRecord record;
        if (fs_.readFile(recordPath, bytes) != ReadStatus::Ok) return fail("its record cannot be read");
        if (!parseSaveRecord(bytes, record)) {
            // Cut short while it was written: no original was replaced yet.
            r_.leftovers.push_back(recordPath);
            remove(recordPath);
            return true;
        }
        for (const SaveRecordEntry& e : record) r_.files.push_back(path(e.target));

        // Once putting back has begun the way is back, and a second name
        // that is gone was put back already. Before that a gone second name
        // means the save had finished and was tidying.
        const bool undoing = fs_.exists(path(kSaveUndoName));
        bool forward = !undoing, back = true;
        std::vector<std::string> damaged, lost;
        for (const SaveRecordEntry& e : record) {
            if (fs_.exists(path(e.staged))) {
                // Not swapped in yet: the original is still in place.
                if (!undoing && !matchesRecord(fs_, path(e.staged), e)) forward = false, damaged.push_back(e.target);
                continue;
            }
            if (!undoing && !matchesRecord(fs_, path(e.target), e)) forward = false, damaged.push_back(e.target);
            if (!undoing && !fs_.exists(path(e.kept))) back = false, lost.push_back(e.target);
        }
        if (forward) return rollForward(record, recordPath);
        if (back) return rollBack(record, recordPath);
        return fail("the new " + joinNames(damaged) + " do not match the save's record, and the original " +
                    joinNames(lost) + " are gone");
    }

    void removeUndoMark()
    {
        if (fs_.exists(path(kSaveUndoName))) remove(path(kSaveUndoName));
    }

    bool rollForward(const SaveRecord& record, const std::string& recordPath)
    {
        r_.outcome = RecoveryReport::Outcome::RolledForward;
        if (!apply_) return true;
        for (const SaveRecordEntry& e : record)
            if (fs_.exists(path(e.staged)) && !fs_.rename(path(e.staged), path(e.target)))
                return fail(std::string("renaming the new ") + e.target + " into place failed" + cause());
        if (!fs_.syncDirectory(r_.dataFolder)) return fail("the folder could not be flushed" + cause());
        changed_ = true;
        // The originals go before the record: should this stop part way,
        // the record still says the save is done and the next run tidies.
        bool tidy = true;
        for (const SaveRecordEntry& e : record)
            if (fs_.exists(path(e.kept)) && !fs_.remove(path(e.kept))) tidy = false;
        if (tidy && fs_.syncDirectory(r_.dataFolder)) fs_.remove(recordPath);
        return true;
    }

    bool rollBack(const SaveRecord& record, const std::string& recordPath)
    {
        r_.outcome = RecoveryReport::Outcome::RolledBack;
        if (!apply_) return true;
        const std::vector<std::string> notBack = putOriginalsBack(r_.dataFolder, record, fs_);
        if (!notBack.empty()) return fail("putting back the original " + joinNames(notBack) + " failed" + cause());
        changed_ = true;
        // Every original is in place: the record goes first, then what the
        // save staged and kept is only leftovers.
        if (!fs_.remove(recordPath) || !fs_.syncDirectory(r_.dataFolder)) return false;
        removeUndoMark();
        return true;
    }

    void strays()
    {
        std::vector<std::string> names;
        if (!fs_.listDirectory(r_.dataFolder, names)) return;
        std::sort(names.begin(), names.end());
        for (const std::string& n : names) {
            if (isStagedName(n) || n == kSaveUndoName) {
                r_.leftovers.push_back(path(n));
                remove(path(n));
                continue;
            }
            const std::string target = keptTargetOf(n);
            if (target.empty()) continue;
            // A second name of an original the save never replaced holds what
            // the game's file holds; anything else may be someone's only copy.
            if (sameContent(fs_, path(n), path(target))) {
                r_.leftovers.push_back(path(n));
                remove(path(n));
            } else {
                r_.leftAlone.push_back(path(n));
            }
        }
    }

    bool fail(const std::string& problem)
    {
        r_.outcome = RecoveryReport::Outcome::NotWhole;
        r_.problem = problem;
        return false;
    }

    std::string cause() const
    {
        const std::string why = describe(fs_.lastError());
        return why.empty() ? why : " (" + why + ")";
    }

    const std::string& gameDir_;
    FileSystem& fs_;
    const bool apply_;
    bool changed_ = false;
    RecoveryReport r_;
};

}  // namespace

std::vector<std::string> putOriginalsBack(const std::string& dataDir, const SaveRecord& record, FileSystem& fs)
{
    // A save whose staged file is gone was swapped in; its kept original,
    // if still there, goes back.
    std::vector<const SaveRecordEntry*> swapped;
    for (const SaveRecordEntry& e : record)
        if (!fs.exists(joinPath(dataDir, e.staged)) && fs.exists(joinPath(dataDir, e.kept))) swapped.push_back(&e);
    std::vector<std::string> notBack;
    if (swapped.empty()) return notBack;

    // Say on the disk that the way is back before the first rename.
    const std::string markPath = joinPath(dataDir, kSaveUndoName);
    if (!fs.exists(markPath)) {
        const FileHandle mark = fs.createNew(markPath);
        if (mark != kNoFile) {
            fs.sync(mark);
            fs.close(mark);
            fs.syncDirectory(dataDir);
        }
    }
    for (const SaveRecordEntry* e : swapped)
        if (!fs.rename(joinPath(dataDir, e->kept), joinPath(dataDir, e->target)))
            notBack.push_back(joinPath(dataDir, e->target));
    if (!fs.syncDirectory(dataDir) && notBack.empty()) notBack.push_back(dataDir);
    return notBack;
}

bool hasSaveRecord(const std::string& dataDir, FileSystem& fs)
{
    return fs.exists(joinPath(dataDir, kSaveRecordName));
}

RecoveryReport recoverGameFolder(const std::string& gameDir, FileSystem& fs, bool apply)
{
    return Recovery(gameDir, fs, apply).run();
}

RecoveryReport recoverGameFolder(const std::string& gameDir, bool apply)
{
    return recoverGameFolder(gameDir, realFileSystem(), apply);
}

std::string RecoveryReport::text() const
{
    using O = Outcome;
    std::string s;
    const std::string names = joinNames(files);
    switch (outcome) {
        case O::Nothing:
            break;
        case O::Tidied:
            s = "A save into " + dataFolder + " was interrupted before it changed any of the game's files. " +
                (applied ? "Its leftovers were removed: " : "Its leftovers can be removed: ") +
                joinNames(leftovers) + ".";
            break;
        case O::RolledForward:
            s = "A save into " + dataFolder + " was interrupted after every new file was written. " +
                (applied ? "It was finished: " : "It can be finished: ") + names + " hold the saved data.";
            break;
        case O::RolledBack:
            s = "A save into " + dataFolder + " was interrupted before every new file was written. " +
                (applied ? "The original files were put back: " : "The original files can be put back: ") +
                names + " are as they were before that save.";
            break;
        case O::NotWhole:
            s = "A save into " + dataFolder + " was interrupted and the folder cannot be made whole again: " +
                problem + ". Nothing was loaded or saved, and nothing of that save was removed.";
            break;
    }
    if (!unfinishedBackup.empty())
        s += std::string(s.empty() ? "" : " ") + "A backup was interrupted before it was complete: " +
             unfinishedBackup + (applied ? " was removed." : " can be removed.");
    if (!leftAlone.empty())
        s += std::string(s.empty() ? "" : " ") + "Left as they are, since they differ from the game's files: " +
             joinNames(leftAlone) + ".";
    if (!s.empty() && !backupFolder.empty() && outcome != O::Nothing)
        s += " The newest backup of the game's files is " + backupFolder + ".";
    return s;
}

}  // namespace db

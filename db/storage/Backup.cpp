#include "db/storage/Backup.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "db/storage/FileSystem.h"
#include "db/storage/Storage.h"
#include "db/storage/StorageFiles.h"

namespace db {

const std::vector<std::string>& savedFileNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const TableInfo& t : kTables)
            if (t.saved && std::find(out.begin(), out.end(), t.file) == out.end()) out.emplace_back(t.file);
        return out;
    }();
    return names;
}

namespace {

std::string stamp(std::time_t now)
{
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d-%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min);
    return buf;
}

std::string fileName(const std::string& path)
{
    return path.substr(files::folderOf(path).size() + 1);
}

// A backup folder's name nobody has used yet, and a new, empty folder to
// build it in under a hidden temporary name.
std::string makeFreshFolder(const std::string& gameDir, std::time_t now, FileSystem& fs,
                            std::string& building)
{
    const std::string base = joinPath(gameDir, "data-backup-" + stamp(now));
    for (int n = 1; n < 10000; ++n) {
        const std::string path = n == 1 ? base : base + "-" + std::to_string(n);
        if (fs.exists(path)) continue;
        building = joinPath(gameDir, "." + fileName(path) + ".tmp");
        switch (fs.makeDirectory(building)) {
            case MakeDirStatus::Ok:
                return path;
            case MakeDirStatus::AlreadyExists:
                continue;  // an interrupted backup's, removed at the next start
            case MakeDirStatus::Failed:
                throw Error("Cannot create folder " + path);
        }
    }
    throw Error("Cannot create folder " + base);
}

void removeBuilt(FileSystem& fs, const std::string& folder, const std::vector<std::string>& copied)
{
    for (const std::string& c : copied) fs.remove(c);
    fs.removeDirectory(folder);
}

}  // namespace

std::string backupDataFolder(const std::string& gameDir, std::time_t now, FileSystem& fs)
{
    // Every source must be readable before a folder is made.
    std::vector<std::string> sources;
    for (const std::string& name : savedFileNames()) {
        const std::string path = dataFilePath(gameDir, name, fs);
        if (!fs.exists(path)) files::cannotOpen(path);
        sources.push_back(path);
    }

    // Built under a temporary name, flushed, then renamed: a folder named
    // like a backup is always a whole one.
    std::string building;
    const std::string folder = makeFreshFolder(gameDir, now, fs, building);
    std::vector<std::string> copied;
    for (const std::string& from : sources) {
        const std::string to = joinPath(building, fileName(from));
        if (!fs.copyFile(from, to)) {
            const IoError why = fs.lastError();
            removeBuilt(fs, building, copied);
            std::vector<std::uint8_t> probe;
            if (fs.readFile(from, probe) != ReadStatus::Ok) files::cannotOpen(from);
            files::saveFailed("Stream write error", "Copying " + from + " into the backup " + folder, why);
        }
        copied.push_back(to);
    }
    if (!fs.syncDirectory(building) || !fs.renameFolder(building, folder)) {
        const IoError why = fs.lastError();
        removeBuilt(fs, building, copied);
        files::saveFailed("Stream write error", "Completing the backup " + folder, why);
    }
    // Not flushing the new name only risks the backup's name, not its
    // content or the game's files; a later save's own flush covers it too.
    fs.syncDirectory(gameDir);
    return folder;
}

SaveSession::SaveSession() : fs_(realFileSystem()) {}

SaveSession::SaveSession(FileSystem& fs) : fs_(fs) {}

std::string SaveSession::key(const std::string& gameDir)
{
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(gameDir, ec);
    return ec ? gameDir : p.string();
}

bool SaveSession::backedUp(const std::string& gameDir) const
{
    return done_.count(key(gameDir)) != 0;
}

std::string SaveSession::backupOnce(const std::string& gameDir, std::time_t now)
{
    if (backedUp(gameDir)) return {};
    std::string folder = backupDataFolder(gameDir, now, fs_);
    done_.insert(key(gameDir));
    return folder;
}

std::string SaveSession::save(const Database& db, const std::string& gameDir, Progress& progress,
                              std::time_t now)
{
    checkSavable(db, gameDir, fs_);  // no backup of a folder that is not to be saved
    std::string folder = backupOnce(gameDir, now);
    saveDatabase(db, gameDir, progress, fs_);
    return folder;
}

}  // namespace db

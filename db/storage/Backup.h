#pragma once

// A copy of the game's files taken before this program first overwrites them.
//
// Before the first save of a run over a game folder, every file the save
// replaces is copied into a new folder beside `data`, named after the date
// and time: data-backup-YYYY-MM-DD-HHMM, or with -2, -3, ... appended when
// that name is taken. An existing backup is never overwritten.

#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "db/format/Database.h"
#include "db/storage/Progress.h"

namespace db {

class FileSystem;

// The files a save replaces, in the order it writes them.
const std::vector<std::string>& savedFileNames();

// Copies the saved files of <gameDir>/data into a new dated folder inside
// gameDir and returns the folder's path. On failure nothing is left behind
// and Error is thrown: "Cannot open file <path>" for a file that cannot be
// read, "Cannot create folder <path>" or "Stream write error".
std::string backupDataFolder(const std::string& gameDir, std::time_t now, FileSystem& fs);

// Remembers, for one run of the program, which game folders were backed up.
class SaveSession {
public:
    SaveSession();
    explicit SaveSession(FileSystem& fs);

    // Backs up gameDir unless this session did so already. Returns the new
    // backup folder, or an empty string when none was needed.
    std::string backupOnce(const std::string& gameDir, std::time_t now = std::time(nullptr));

    // checkSavable, backupOnce, then saveDatabase. A failed backup stops
    // before anything is saved. Returns what backupOnce returned.
    std::string save(const Database& db, const std::string& gameDir, Progress& progress,
                     std::time_t now = std::time(nullptr));

    bool backedUp(const std::string& gameDir) const;

private:
    static std::string key(const std::string& gameDir);

    FileSystem& fs_;
    std::set<std::string> done_;
};

}  // namespace db

#pragma once

// Reading the game database from a game folder and writing it back.
// Failures throw db::Error with the text for the error box:
//   "Cannot open file <path>", "Stream read error", "Stream write error",
//   "List index out of bounds (<entry>)".

#include <string>

#include "db/format/Database.h"
#include "db/storage/Progress.h"

namespace db {

class FileSystem;

// The file layer everything goes through unless a test injects its own.
FileSystem& realFileSystem();

// <gameDir>/data/<fileName> (with "\data\" on Windows). When that file does
// not exist but one whose folder and file names differ only in letter case
// does, that one is returned: game folders copied from Windows disks come in
// either case.
std::string dataFilePath(const std::string& gameDir, const std::string& fileName, FileSystem& fs);
std::string dataFilePath(const std::string& gameDir, const std::string& fileName);

// Reads the 22 entries of index.dat into db.index (replacing what it held).
// On failure the entries read before it stay.
void readIndex(Database& db, const std::string& gameDir, FileSystem& fs);
void readIndex(Database& db, const std::string& gameDir);

// Loads every table in the fixed order from the game folder and the wizard
// templates from `wizardPath`. Starts from empty tables; on failure the
// records read before it stay and the completed steps are marked in db.
void loadDatabase(Database& db, const std::string& gameDir, const std::string& wizardPath,
                  Progress& progress, FileSystem& fs);
void loadDatabase(Database& db, const std::string& gameDir, const std::string& wizardPath,
                  Progress& progress);

// Throws Error when `db` must not be saved into gameDir: an index short of
// entries, a load that did not finish, or an earlier save there that was
// interrupted and not yet finished or undone (see Recovery.h).
void checkSavable(const Database& db, const std::string& gameDir, FileSystem& fs);

// Writes index.dat and the editable tables back. Every file is built in a
// temporary beside it and renamed over the original only when all of them
// were written, index.dat last, with a record of them flushed first so that
// recovery can finish or undo a save a crash cut short; on failure every
// original is left exactly as it was. Refuses what checkSavable refuses.
void saveDatabase(const Database& db, const std::string& gameDir, Progress& progress, FileSystem& fs);
void saveDatabase(const Database& db, const std::string& gameDir, Progress& progress);

}  // namespace db

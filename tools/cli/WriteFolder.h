#pragma once

// What every command that writes a game folder (apply, set, import) does
// around its own work: refuse a folder an interrupted save left behind, read
// every table a save writes, and save through the editor's protected save
// after a dated backup.

#include <iosfwd>
#include <string>

#include "db/format/Database.h"

namespace cli {

// Reads `dir` for writing. False, with the reason on `err`, when the folder
// holds an interrupted save or its tables cannot be read.
bool openForWriting(const std::string& dir, db::Database& d, std::ostream& err);

// Saves `d` to `dir`, then prints `done` and where the backup went. False,
// with the reason on `err`, when the save failed (the folder is then whole,
// old or new, as the protected save promises).
bool saveFolder(const db::Database& d, const std::string& dir, const std::string& done, std::ostream& out,
                std::ostream& err);

}  // namespace cli

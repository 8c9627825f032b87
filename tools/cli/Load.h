#pragma once

// Reading a game folder for the command-line companion: the index, the file
// sizes and the tables, without the editor's wizard templates.

#include <string>

#include "Check.h"
#include "db/format/Database.h"

namespace cli {

// Reads index.dat. False, with the reason in `error`, when the folder holds
// no readable index.
bool readGameIndex(const std::string& gameDir, db::Database& db, std::string& error);

// The size of every data file and of index.dat (nullopt when missing).
FileSizes readFileSizes(const std::string& gameDir);

// Loads the thirteen tables. True when all of them were read; otherwise the
// tables read before the failure stay and `error` tells what stopped it.
bool loadGameTables(const std::string& gameDir, db::Database& db, std::string& error);

// Where a data file of the folder is (the case of the names may differ).
std::string gameFilePath(const std::string& gameDir, const std::string& fileName);

}  // namespace cli

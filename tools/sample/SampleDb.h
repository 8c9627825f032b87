#pragma once

// A made-up but internally consistent game database, for trying the editor
// out, for tests and for benchmarks. Every name and value is invented here.

#include <cstdint>
#include <string>

#include "db/format/Database.h"

namespace sample {

struct Options {
    double scale = 1.0;         // 1 is the size of the game's own database
    std::uint64_t seed = 1999;  // the same seed always gives the same bytes
};

// The whole database with its 22 index entries. Wizard templates are not
// part of it (they come from the program's own wizard.quarn).
db::Database makeDatabase(const Options& options);

// Writes <outDir>/data/index.dat and the nine data files, creating the
// folders as needed. Throws std::runtime_error on failure.
void writeDataFolder(const db::Database& database, const std::string& outDir);

// A Wine prefix whose registry names `gameDir` (made absolute) as the game's
// installation folder: <prefixDir>/system.reg and the z: drive mapped to /.
void writeWinePrefix(const std::string& prefixDir, const std::string& gameDir);

}  // namespace sample

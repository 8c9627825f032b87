#pragma once

// A small, fully consistent database built in memory, and a writer that lays
// any database out as a game folder byte for byte (independent of the
// editor's own save, so the tests also hold when that changes).

#include <string>

#include "db/format/Database.h"

namespace clitest {

// Two nations, one city, competition and stadium, two colours, two clubs and
// four people: a chairman and a player of club 0, a player-manager of club 1
// and a free agent. Names hold Windows-1252 letters, commas and quotes.
db::Database smallDatabase();

// Writes data/index.dat and every data file of `db` under `gameDir` (made
// if needed), staff tables back to back at the offsets of the index.
void writeGameFolder(const db::Database& db, const std::string& gameDir);

// A fresh empty folder under the system's temporary folder.
std::string scratchFolder(const std::string& tag);

}  // namespace clitest

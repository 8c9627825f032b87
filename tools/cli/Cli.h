#pragma once

// quarndb-cli: inspect, check, export and search a game database from the
// command line, write and apply updates, and change many records at once.
// Only apply and set write a game folder, through the editor's protected save
// (and recover, which makes an interrupted save whole).

#include <iosfwd>
#include <string>
#include <vector>

namespace db {
class Database;
}

namespace cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;  // check found problems; search found nothing
constexpr int kExitError = 2;     // bad arguments, or the database could not be read

// Loads a game folder's tables for a command; false, with the reason on
// `err`, when it cannot.
bool openDatabase(const std::string& gameDir, db::Database& db, std::ostream& err);

// Runs one command; `args` excludes the program name.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

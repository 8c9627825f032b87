#pragma once

// quarndb-cli: inspect, check, export and search a game database from the
// command line. Reads the game folder only; never writes to it.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;  // check found problems; search found nothing
constexpr int kExitError = 2;     // bad arguments, or the database could not be read

// Runs one command; `args` excludes the program name.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

#pragma once

// `quarndb-cli recover` and the interrupted-save part of `check`.

#include <iosfwd>
#include <string>

namespace cli {

extern const char* const kRecoverHelp;

// Makes the game folder whole after an interrupted save or backup and says
// what was done. Exit status 0 when the folder is whole, 2 when it cannot be
// made whole.
int recover(const std::string& dir, std::ostream& out, std::ostream& err);

// What `check` says before anything else: an interrupted save (then true:
// the files are between two sets and checking their records would only
// report damage that is not there) or leftovers, on `out`. `problems`
// counts the lines written.
bool reportInterruptedSave(const std::string& dir, std::ostream& out, int& problems);

}  // namespace cli

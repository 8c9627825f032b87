#pragma once

// `quarndb-cli import`: a spreadsheet file read back into one table of a
// game folder, every row checked before anything is written.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

extern const char* const kImportHelp;

// `args` starts with the command's name.
int importCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

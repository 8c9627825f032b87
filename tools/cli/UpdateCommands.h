#pragma once

// `quarndb-cli diff` and `quarndb-cli apply`: writing a database update from
// two game folders and applying one to a game folder.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

extern const char* const kDiffHelp;
extern const char* const kApplyHelp;

// `args` starts with the command's name.
int diffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int applyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

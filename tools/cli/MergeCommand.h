#pragma once

// `quarndb-cli merge`: several updates made from one database merged into one.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

extern const char* const kMergeHelp;

// `args` starts with the command's name.
int mergeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

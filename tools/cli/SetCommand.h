#pragma once

// `quarndb-cli set`: one change of many records at once, saved through the
// editor's protected save.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

extern const char* const kSetHelp;

// `args` starts with the command's name.
int setCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

#pragma once

// quarndb-cli refs: where one record is used.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

extern const char* const kRefsHelp;

// refs GAMEDIR TABLE ID; `args` starts with the command.
int refsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

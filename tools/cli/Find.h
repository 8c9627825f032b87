#pragma once

// quarndb-cli find: the records of a table that a query of the filter
// language matches, with chosen columns, sorted, as a table, CSV or JSON.

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

extern const char* const kFindHelp;

int findCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cli

#pragma once

// Database updates in the benchmark: a full-database diff, the file form
// both ways, applying in memory, and the quarndb-cli diff and apply commands
// on game folders, at each scale.

#include <string>
#include <vector>

namespace bench {

// A markdown section; `coreLoads` are the load times of the same scales (ms),
// to set the diff against.
std::string updateFigures(const std::vector<double>& scales, int runs, const std::vector<double>& coreLoads);

}  // namespace bench

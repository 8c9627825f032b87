#pragma once

// The rule checker and "where used" in the benchmark: the whole check
// (layout and records) and the fields referring to one club, at each scale.

#include <string>
#include <vector>

namespace bench {

// A markdown section.
std::string checkFigures(const std::vector<double>& scales, int runs);

}  // namespace bench

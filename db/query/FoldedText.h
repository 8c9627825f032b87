#pragma once

// Text as the filter language compares it: Windows-1252 bytes with the
// letters folded to capitals and accents dropped (é, É, è and E all read as
// E), so that "jose" finds José.

#include <cstdint>
#include <string>
#include <string_view>

namespace db {

// The folded form of one Windows-1252 byte.
std::uint8_t foldByte(std::uint8_t c);
std::string foldText(std::string_view raw);

// `folded` must already be folded (foldText); `raw` is folded on the way.
bool foldedEquals(std::string_view raw, std::string_view folded);
bool foldedStartsWith(std::string_view raw, std::string_view folded);
bool foldedContains(std::string_view raw, std::string_view folded);
// <0, 0, >0 as `raw` (folded) sorts before, with or after `folded`.
int foldedCompare(std::string_view raw, std::string_view folded);
// Both sides folded on the way.
int compareFolded(std::string_view a, std::string_view b);

}  // namespace db

#pragma once

// Exact conversions between the Windows-1252 bytes of the game's files and
// Unicode. All 256 bytes map to a code point (the five bytes the code page
// leaves undefined map to the C1 controls of the same value, as Windows
// itself does), so any byte string survives a round trip.

#include <cstdint>
#include <string>
#include <string_view>

namespace db {

char16_t win1252ToUnicode(std::uint8_t byte);

// The byte for a code point, or -1 when the code page has none.
int unicodeToWin1252(char32_t cp);

std::string win1252ToUtf8(std::string_view bytes);

// Characters without a Windows-1252 byte become '?'; malformed UTF-8
// sequences become '?' as well.
std::string utf8ToWin1252(std::string_view utf8);

}  // namespace db

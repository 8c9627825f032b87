#pragma once

// The cells of an imported spreadsheet as field values: the reverse of what
// SpreadsheetExport writes, strict where the export is exact, so that a file
// read back gives the same bytes and a mistyped cell is a fault, never a
// guess.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/FieldCatalog.h"

namespace db {

enum class CellVerdict { Same, Changed, Fault };

// Reads cell `text` (UTF-8) as element `element` of `f`. `current` holds the
// record's bytes, or is nullptr for a record still to be added. Same: the
// cell reads as the stored value, or is exactly what export writes for it (so
// odd stored values survive a round trip). Changed: `bytes` receives the
// element's new bytes (the field's width; a date keeps its four reserved
// bytes). Fault: `fault` receives one sentence in UTF-8. `d` gives the sizes
// references are checked against.
//   numbers: whole decimal numbers within the field's width and sign;
//   references: an identifier of the target table, or -1 / -2 (none);
//   flags: 0-255, Yes or No; codes: a caption or its number;
//   dates: day/month/year or YYYY-MM-DD; text: its Windows-1252 form must
//   exist and fit the field.
CellVerdict readCell(const Database& d, const FieldInfo& f, int element, std::string_view text,
                     const std::uint8_t* current, std::vector<std::uint8_t>& bytes, std::string& fault);

// A whole decimal number, spaces around it allowed; nullopt for anything else.
std::optional<std::int64_t> readWholeNumber(std::string_view text);

// `utf8` in Windows-1252; false (with `fault` set) when a character has no
// Windows-1252 form or the text holds a NUL.
bool toWin1252(std::string_view utf8, std::string& out, std::string& fault);

// `text` in double quotes for a message, cut to 40 bytes.
std::string quoted(std::string_view text);

}  // namespace db

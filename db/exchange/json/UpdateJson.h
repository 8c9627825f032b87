#pragma once

// The file form of a database update: JSON, readable and stable (the same
// update always gives the same bytes). Kept apart from the database core so
// that only what reads or writes update files needs the JSON library.
//
//   {
//     "format": "quarndb-update",
//     "version": 2,
//     "counts": {"index": 22, "clubs": 812, ...},        every table's count
//     "base": {"index": "0123456789abcdef", ...},        every table's XXH3 (version 2)
//     "tables": {                                        only tables with changes
//       "clubs": {
//         "changed": [{"id": 5, "name": "...", "fields": {"Cash": {"old": 100, "new": 250}}}],
//         "appended": [{"id": 812, "name": "...", "fields": {"ClubId": 812, ...every field}}]
//       }
//     }
//   }
//
// Numbers are JSON integers, text fields UTF-8 strings, reserved bytes hex
// strings; a text field whose bytes a string cannot carry (bytes after its
// end) is {"hex": "..."}, which any field also accepts.
//
// Version 1 updates, which name no base, are read as before, and an update
// without a base is written as version 1.

#include <cstdint>
#include <string>
#include <string_view>

#include "db/exchange/Update.h"

namespace db {

// Updates larger than this are refused before they are read.
inline constexpr std::uint64_t kMaxUpdateBytes = std::uint64_t{64} << 20;

std::string encodeUpdate(const Update& u);

// A field's value (its bytes at `p`) as the update file writes it, as JSON
// text: a number, a UTF-8 string, hex, or {"hex": ...}.
std::string valueText(const ByteField& f, const std::uint8_t* p);

// Reads and validates an update. Throws Error with one sentence for the
// first fault: not JSON, another format or version, an unknown table or
// field, a value out of its field's width, a reference outside its table,
// a file too large.
Update decodeUpdate(std::string_view text);

// decodeUpdate of a file's content; the size is checked before reading.
Update readUpdateFile(const std::string& path);

}  // namespace db

#pragma once

// Reads the text of a spreadsheet file row by row, through libcsv: the
// separator (comma, semicolon or tab) is taken from the header line, the
// encoding from the bytes (UTF-8 with or without a byte-order mark; any text
// that is not valid UTF-8 is read as Windows-1252). Quoted fields may hold
// separators, quotes (doubled) and line breaks; lines may end in CRLF, LF or
// CR. A first line "sep=;" (as some spreadsheet programs write) names the
// separator and is not a row.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

struct SheetFormat {
    enum class Encoding { Utf8, Utf8WithMark, Windows1252 };
    char separator = ',';
    Encoding encoding = Encoding::Utf8;
};

// One row: its number as a spreadsheet shows it (the first row, the header,
// is 1; blank lines count) and its cells in UTF-8, valid during the call.
using SheetRowFunction = std::function<void(std::size_t row, const std::vector<std::string_view>& cells)>;

// Calls `row` for every row that has a cell (blank lines are counted but not
// passed). Throws Error naming the row for text no CSV reader can take
// (a quote left open, a quote inside an unquoted field, UTF-16 text).
SheetFormat readSheet(std::string_view bytes, const SheetRowFunction& row);

// Whether `bytes` is valid UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

}  // namespace db

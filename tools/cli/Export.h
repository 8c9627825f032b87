#pragma once

// The tables of `quarndb-cli export`: one column per named field of a
// record, references followed by the name of the record they name, coded
// fields followed by their caption, dates as day/month/year the way the staff
// page shows them, and all text in UTF-8.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/format/Database.h"

namespace cli {

// An empty cell (a reference that names nothing), a number or UTF-8 text.
struct Cell {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    std::int64_t number = 0;
    std::string text;

    Cell() = default;
    Cell(std::int64_t n) : kind(Kind::Number), number(n) {}
    Cell(std::string t) : kind(Kind::Text), text(std::move(t)) {}
};

struct ExportTable {
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;
};

// The table names export accepts, in the order the help lists them.
const std::vector<std::string>& exportTableNames();

// Every record of the named table; nullopt for a name not in the list.
std::optional<ExportTable> exportTable(const db::Database& db, std::string_view name);

// "d/m/y" of a stored date, through the staff page's day-of-year conversion.
std::string formatDate(std::uint16_t dayOfYear, std::int16_t year);

// RFC 4180: a header line, then one line per row, CRLF line ends, fields
// quoted when they hold a comma, a quote or a line break.
void writeCsv(const ExportTable& table, std::ostream& out);

// An array of objects, one per row, keys in column order; empty cells are null.
void writeJson(const ExportTable& table, std::ostream& out);

}  // namespace cli

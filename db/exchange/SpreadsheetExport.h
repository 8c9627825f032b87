#pragma once

// A table as a spreadsheet: File > Export to Spreadsheet... and
// `quarndb-cli export` write the same file. The columns are sheetColumns(t);
// every value is written so that importing the file back gives the same
// bytes:
//   numbers, references, flags (the stored byte) and codes in decimal;
//   dates as day/month/year through the staff page's day-of-year rule;
//   text in UTF-8, up to its first zero byte;
//   the read-only columns: record names, captions, display names (empty when
//   a reference names no record).
// CSV files are UTF-8 with a byte-order mark, comma-separated, CRLF line
// ends, fields quoted (RFC 4180) when they hold a comma, a quote or a line
// break. JSON is an array of objects without the mark.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/editing/ChangeList.h"
#include "db/exchange/SheetColumns.h"
#include "db/format/Database.h"

namespace db {

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

// Which records to write: every one (`ids` empty and `all` set), or the
// identifiers given, in their order (those outside the table are skipped).
struct RecordSelection {
    bool all = true;
    std::vector<std::int32_t> ids;

    static RecordSelection every() { return {}; }
    static RecordSelection only(std::vector<std::int32_t> ids) { return {false, std::move(ids)}; }
};

// The records of table t the list of changes names (changed fields and
// appended records), each once, in table order: "changed since the load".
std::vector<std::int32_t> changedRecords(const std::vector<ChangeEntry>& changes, TableId t);

// The file as CSV (see above), byte-order mark first.
std::string exportCsv(const Database& d, TableId t, const RecordSelection& which = {});
// The same cells as JSON: numbers unquoted, empty cells null.
std::string exportJson(const Database& d, TableId t, const RecordSelection& which = {});

// The cells in memory, for small tables (tests, the fuzz targets).
ExportTable exportTable(const Database& d, TableId t, const RecordSelection& which = {});
// The table names export accepts (sheetTableNames), and the table by name:
// nullopt for a name not in the list.
const std::vector<std::string>& exportTableNames();
std::optional<ExportTable> exportTable(const Database& d, std::string_view name);

// Writers of any table of cells (Find's results too): CSV as above, with the
// byte-order mark only when asked; JSON as above.
void writeCsv(const ExportTable& table, std::ostream& out, bool byteOrderMark = false);
void writeJson(const ExportTable& table, std::ostream& out);

// "d/m/y" of a stored date, through the staff page's day-of-year conversion.
std::string formatDate(std::uint16_t dayOfYear, std::int16_t year);

}  // namespace db

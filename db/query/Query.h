#pragma once

// The filter language of Find and of `quarndb-cli find`: conditions on any
// field of a table by its catalog name, joined with and / or / not.
//
//   Wage > 5000 and Nation = "Brazil" and Age < 21
//   Cash between 0 and 1000000 or not (Division is none)
//   Name contains "jose" and ClubContractedId in (3, 7, "Man Utd")
//
// Operators: = <> < <= > >=, between A and B (bounds in either order),
// in (A, B, ...), and for text contains "..." / starts with "..."; any of
// the last four may be preceded by not, and `is none` / `is not none` test
// references (any value outside 0 <= v < count reads as none). Keywords and
// field names are read in any case. Text is compared with letters folded to
// capitals and accents dropped (José = JOSE), as in the name search.
//
// A reference compares with a number by identifier and with double-quoted
// text by the name of the record it names. A field that holds a list (the
// ids of a club's players) is matched when any element is; `PlayerIds[3]`
// names one element. Dates are written "d/m/y" as the pages show them or
// "YYYY-MM-DD". Derived fields: Name (the display name), Age (whole years
// on the reference date); `Nation` stands for NationId, `Club` for
// ClubContractedId, and any reference for its name without "Id". On players
// and non-players every field of the owning staff record can be used as
// well (Wage, Club, Nation, DateOfBirth, ...).
//
// Parsing needs no database; running reads the database and changes
// nothing. Results are record identifiers (positions) in table order.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/Database.h"
#include "db/format/FieldCatalog.h"

namespace db {

// A query that cannot be read: where in the text (0-based byte offset) and
// what was expected there. what() reads "at position N (1-based): message".
class QueryError : public Error {
public:
    QueryError(std::size_t position, const std::string& message);
    std::size_t position() const { return position_; }
    const std::string& message() const { return message_; }

private:
    std::size_t position_;
    std::string message_;
};

// A game date as stored: year and day of the year counted from 0 through the
// game's fixed month table (February always has 28 days).
struct QueryDate {
    std::int16_t year = 0;
    std::uint16_t dayOfYear = 0;
    bool operator==(const QueryDate&) const = default;
};

// The date ages are counted on unless another is given: 1 July 1998, the
// start of the season the game opens with.
inline constexpr QueryDate kDefaultReferenceDate{1998, 181};

// "YYYY-MM-DD" or "d/m/y"; nullopt for anything else (day 1-31, month 1-12).
std::optional<QueryDate> parseQueryDate(std::string_view text);

// The tables a query can search, named as `quarndb-cli export` names them.
const std::vector<std::string>& queryTableNames();
std::optional<TableId> queryTableByName(std::string_view name);
std::string queryTableName(TableId t);

// One value of a record a query or a result column reads.
struct Column {
    enum class Source : std::uint8_t { Id, Field, Name, Age };
    std::string name;  // as headers show it: "Id", "Wage", "PlayerIds[3]", "Name", "Age"
    Source source = Source::Field;
    const FieldInfo* field = nullptr;  // Source::Field
    int element = -1;                  // one element of a list; -1 for every element
    bool viaOwner = false;             // read from the staff record that owns the record
};

// The column of table `t` called `name` (any case; aliases as above).
// Throws QueryError (at `position`) for a name the table has no field for.
Column resolveColumn(TableId t, std::string_view name, std::size_t position = 0);

// The columns Find shows when none are chosen (the identifier not included).
std::vector<Column> defaultColumns(TableId t);

// Every column name table `t` answers to, for pick lists: Id, Name (and Age
// for people), the table's named fields other than reserved ones, and for
// players and non-players the fields of their staff record.
std::vector<std::string> columnNames(TableId t);

// Comma-separated column names, as --columns takes them. Throws QueryError.
std::vector<Column> parseColumns(TableId t, std::string_view text);
// Calls item(first, end) for each comma-separated item of `text`, spaces
// around it trimmed (positions into `text`, for error messages).
void forEachListItem(std::string_view text, const std::function<void(std::size_t, std::size_t)>& item);

class Query {
public:
    // Reads `text` (UTF-8) as a condition on table `t`; an empty or blank
    // text matches every record. Throws QueryError.
    static Query parse(TableId t, std::string_view text);

    Query();
    Query(Query&&) noexcept;
    Query& operator=(Query&&) noexcept;
    ~Query();

    TableId table() const;

    // The identifiers of the records of `d` that match, in table order.
    // Ages are counted on `today`.
    std::vector<std::int32_t> run(const Database& d, QueryDate today = kDefaultReferenceDate) const;

    struct Parsed;

private:
    std::unique_ptr<Parsed> p_;
};

// ---- Sorting and showing results --------------------------------------------

struct SortKey {
    Column column;
    bool descending = false;
};

// "A,-B,...": columns to sort by, a leading '-' for descending. Throws QueryError.
std::vector<SortKey> parseSort(TableId t, std::string_view text);

// Sorts record identifiers of table `t` by `keys` in turn; records equal on
// every key keep their order. Numbers, codes and references sort by their
// stored value, text and names folded as the language compares them.
void sortRecords(const Database& d, TableId t, std::vector<std::int32_t>& ids,
                 const std::vector<SortKey>& keys, QueryDate today = kDefaultReferenceDate);

// The values of a table's columns as the pages show them (through
// formatValue; Windows-1252): list elements joined with ", ", empty when a
// player or non-player has no owner to read from. Keeps what it learns
// about the table, so make one per listing.
class ColumnReader {
public:
    ColumnReader(const Database& d, TableId t, QueryDate today = kDefaultReferenceDate);
    ~ColumnReader();
    std::string text(const Column& c, std::int32_t id) const;
    // The value of a number column (columnIsNumber); nullopt when unread.
    std::optional<std::int64_t> number(const Column& c, std::int32_t id) const;

private:
    std::unique_ptr<class RecordAccess> access_;
};

// True when the column holds plain numbers (JSON writes them unquoted).
bool columnIsNumber(const Column& c);

}  // namespace db

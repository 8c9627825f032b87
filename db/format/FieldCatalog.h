#pragma once

// The named fields of every record type, as data: name (as in Records.h),
// place, width and how a page shows the value. Lists of changes, exports
// and updates read field names from here instead of spelling them again.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/editing/ChangeStep.h"
#include "db/format/Codes.h"

namespace db {

enum class FieldKind : std::uint8_t {
    Number,     // a number of `width` bytes, signed or not
    Text,       // fixed-width single-byte text
    Date,       // GameDate: day of year and year (8 bytes)
    Flag,       // flag byte
    Reference,  // `count` signed 32-bit identifiers of table `target`
    Code,       // a coded byte with captions
    Bytes       // never interpreted
};

struct FieldInfo {
    std::string_view name;
    FieldKind kind;
    std::uint16_t offset;
    std::uint16_t width;  // bytes of one element
    bool isSigned = false;
    std::uint8_t count = 1;  // elements (reference lists)
    TableId target = TableId::Count;
    std::span<const std::string_view> captions{};
    bool identifier = false;  // the record's own identifier (its position)

    constexpr std::uint16_t end() const { return static_cast<std::uint16_t>(offset + width * count); }
};

constexpr FieldInfo numberField(std::string_view n, NumField f)
{
    return {n, FieldKind::Number, f.offset, f.width, f.isSigned};
}
// The record's own identifier: shown as a number, moved with the record
// when an update appends it elsewhere.
constexpr FieldInfo idField(std::string_view n, I32Field f)
{
    FieldInfo i = numberField(n, f);
    i.identifier = true;
    return i;
}
// A number that holds a record of `target` but is shown as a number.
constexpr FieldInfo linkField(std::string_view n, I32Field f, TableId target)
{
    FieldInfo i = numberField(n, f);
    i.target = target;
    return i;
}
constexpr FieldInfo textField(std::string_view n, TextField f)
{
    return {n, FieldKind::Text, f.offset, f.width};
}
constexpr FieldInfo dateField(std::string_view n, DateField f)
{
    return {n, FieldKind::Date, f.offset, 8};
}
constexpr FieldInfo flagField(std::string_view n, U8Field f)
{
    return {n, FieldKind::Flag, f.offset, 1};
}
constexpr FieldInfo refField(std::string_view n, I32Field f, TableId target)
{
    return {n, FieldKind::Reference, f.offset, 4, true, 1, target};
}
constexpr FieldInfo refsField(std::string_view n, IdListField f, TableId target)
{
    return {n, FieldKind::Reference, f.offset, 4, true, f.count, target};
}
template <std::size_t N>
constexpr FieldInfo codeField(std::string_view n, U8Field f, const std::array<std::string_view, N>& captions)
{
    return {n, FieldKind::Code, f.offset, 1, false, 1, TableId::Count, captions};
}
constexpr FieldInfo bytesField(std::string_view n, BytesField f)
{
    return {n, FieldKind::Bytes, f.offset, f.width};
}

// The fields of a table's records in record order (they never overlap; a
// byte no field covers is reported by its offset).
std::span<const FieldInfo> fieldsOf(TableId t);

// "Clubs", "Staff", "Players", ... as the list of changes names the tables.
std::string_view tableName(TableId t);

// Name of field element `element` of `f`: the field's name, with "[k]"
// (1-based) for lists.
std::string elementName(const FieldInfo& f, int element);

// How the pages show the value of element `element` of `f` in the record
// bytes `record`, with references and codes as names (Windows-1252):
// numbers in decimal, dates as d/m/y, flags as Yes/No, references as the
// record's name or "<none>" with the stored value, bytes in hex.
std::string formatValue(const Database& d, const FieldInfo& f, int element, const std::uint8_t* record);

// "d/m/y" of a stored date, through the staff page's day-of-year conversion.
std::string formatGameDate(std::uint16_t dayOfYear, std::int16_t year);

// The name a record goes by (Windows-1252): a club's long name, a person's
// display name, a playing or non-playing record's owner, a name's text, an
// index entry's table; empty when it has none.
class RecordNamer;

// ---- Every byte of a record, as database updates carry it ------------------

// One piece of a record. The pieces of a table are derived from its catalog
// fields and cover every byte once, in offset order: plain fields as they
// are, lists split into their elements (named by elementName), dates into
// "<name>.DayOfYear", "<name>.Year" and "<name>.Reserved", and every byte run
// no field names as bytes called "Reserved<offset>".
struct ByteField {
    enum class Kind { Number, Text, Bytes };

    std::string name;
    std::uint16_t offset = 0;
    std::uint16_t width = 0;
    Kind kind = Kind::Bytes;
    bool isSigned = false;  // numbers only
    int refTable = -1;      // the TableId a 4-byte number refers to, or -1
    bool selfId = false;    // the record's own identifier

    NumField num() const { return NumField(offset, static_cast<std::uint8_t>(width), isSigned); }
};

struct TableLayout {
    TableId id;
    const char* name;  // as update files and quarndb-cli name it: "clubs", "non-players", ...
    std::size_t recordSize;
    int entry;     // its index entry, -1 for the index itself
    bool written;  // File > Save writes it (isSavedTable)
    std::vector<ByteField> fields;
};

const TableLayout& tableLayout(TableId t);
// nullptr for a name no table has.
const TableLayout* tableByName(std::string_view name);
// The piece called `name` of a table, or nullptr.
const ByteField* fieldByName(const TableLayout& t, std::string_view name);

// Generic record access. Positions must be below tableSize.
const std::uint8_t* recordData(const Database& d, TableId t, std::size_t i);
std::uint8_t* recordData(Database& d, TableId t, std::size_t i);
// Appends a record made of `bytes` (the table's record size), leaving the
// index alone: the caller moves counts and offsets.
void pushRecord(Database& d, TableId t, const std::uint8_t* bytes);

class RecordNamer {
public:
    explicit RecordNamer(const Database& d) : db_(d) {}
    std::string name(TableId t, std::size_t position) const;
    // The staff member whose PlayerId / NonPlayerId names the record; -1 for none.
    std::int64_t ownerOf(TableId t, std::size_t position) const;

private:
    const Database& db_;
    mutable std::vector<std::int32_t> playerOwners_, nonPlayerOwners_;
};

}  // namespace db

#pragma once

// The single description of every field of every record: its table, name
// (as in Records.h), place, width, signedness and kind, and how it is shown
// and typed as text. Lists of changes, updates, exports and bulk edits read
// fields from here instead of spelling them again; a new field is one line
// in FieldCatalog.cpp (and its constant in Records.h for typed code).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/Codes.h"
#include "db/format/Database.h"
#include "db/format/Tables.h"

namespace db {

enum class FieldKind : std::uint8_t {
    Number,     // a number of `width` bytes, signed or not
    Text,       // fixed-width single-byte text
    Date,       // GameDate: day of year and year (8 bytes)
    Flag,       // flag byte
    Reference,  // `count` signed 32-bit identifiers of table `target`
    Code,       // a coded byte with captions
    Bytes,      // named bytes, never interpreted
    Unnamed     // bytes no one has named; shown and compared byte by byte
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
    // References: what the editor stores for "no record". Any value that
    // names no record (negative, or past the table) reads as none.
    std::int32_t none = -2;
    bool reserved = false;  // kept as read; no page or export shows it

    constexpr std::uint16_t end() const { return static_cast<std::uint16_t>(offset + width * count); }
    constexpr bool named() const { return kind != FieldKind::Unnamed; }
};

constexpr FieldInfo numberField(std::string_view n, NumField f)
{
    return {n, FieldKind::Number, f.offset, f.width, f.isSigned};
}
// A number the game keeps and nobody edits.
constexpr FieldInfo reservedNumber(std::string_view n, NumField f, std::uint8_t count = 1)
{
    FieldInfo i = numberField(n, f);
    i.count = count;
    i.reserved = true;
    return i;
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
constexpr FieldInfo refField(std::string_view n, I32Field f, TableId target, std::int32_t none = -2)
{
    return {n, FieldKind::Reference, f.offset, 4, true, 1, target, {}, false, none};
}
constexpr FieldInfo refsField(std::string_view n, IdListField f, TableId target, std::int32_t none = -2)
{
    return {n, FieldKind::Reference, f.offset, 4, true, f.count, target, {}, false, none};
}
template <std::size_t N>
constexpr FieldInfo codeField(std::string_view n, U8Field f, const std::array<std::string_view, N>& captions)
{
    return {n, FieldKind::Code, f.offset, 1, false, 1, TableId::Count, captions};
}
constexpr FieldInfo bytesField(std::string_view n, BytesField f, bool reserved = true)
{
    FieldInfo i{n, FieldKind::Bytes, f.offset, f.width};
    i.reserved = reserved;
    return i;
}
// Bytes between named fields; update files call them "Reserved<offset>".
constexpr FieldInfo unnamedBytes(std::uint16_t offset, std::uint16_t width)
{
    FieldInfo i{"", FieldKind::Unnamed, offset, width};
    i.reserved = true;
    return i;
}

// Every field of a table's records in record order, unnamed bytes included:
// each byte of a record belongs to exactly one of them.
std::span<const FieldInfo> fieldsOf(TableId t);

// The named field `name` of table t, or nullptr.
const FieldInfo* findField(TableId t, std::string_view name);

// "Clubs", "Staff", "Players", ... as the list of changes names the tables.
constexpr std::string_view tableName(TableId t)
{
    return tableInfo(t).title;
}

// Name of field element `element` of `f`: the field's name, with "[k]"
// (1-based) for lists.
std::string elementName(const FieldInfo& f, int element);

// ---- Values as text ----------------------------------------------------------

enum class ValueForm : std::uint8_t {
    // As the pages show them: numbers in decimal, dates as d/m/y, flags as
    // Yes/No (or "Yes (n)" for a set byte other than 255), codes by their
    // caption, references by the name of the record (or "#id" for a record
    // without one, "<none> (value)" for a value naming none), text as it is,
    // bytes in capital hex.
    Page,
    // As update files and their conflicts show them: every number in
    // decimal, text in double quotes (followed by " (bytes <hex>)" when
    // bytes after its end are not zero), bytes in small hex.
    Raw
};

// Element `element` of `f` in the record bytes `record`, as text
// (Windows-1252). References need `d` for their names; without it they are
// shown as numbers.
std::string formatValue(const FieldInfo& f, int element, const std::uint8_t* record, const Database* d,
                        ValueForm form = ValueForm::Page);
inline std::string formatValue(const Database& d, const FieldInfo& f, int element, const std::uint8_t* record)
{
    return formatValue(f, element, record, &d, ValueForm::Page);
}

// Reads `text` as formatValue writes it in `form` and stores it into element
// `element` of `f` in `record`. Numbers follow the text-to-number rule of
// the edit boxes (textToNumber) and keep the low bits of the field's width;
// a reference may be given by the name of its record (with `d`), "#id",
// "<none>" (the field's none value) or "<none> (value)"; a code by its
// caption or its number; a date as day/month/year. On bad input throws Error
// with one sentence naming the field, and `record` is left as it was.
void parseValue(const FieldInfo& f, int element, std::string_view text, std::uint8_t* record,
                const Database* d, ValueForm form = ValueForm::Page);

// Element `element` of a number, flag, code or reference field as a number
// (unsigned for one byte or an unsigned field, signed otherwise).
std::int64_t numberValue(const FieldInfo& f, int element, const std::uint8_t* record);

// "d/m/y" of a stored date, through the staff page's day-of-year conversion.
std::string formatGameDate(std::uint16_t dayOfYear, std::int16_t year);

// The name a record goes by (Windows-1252), as its table's RecordNaming
// says: a club's long name, a person's display name, a playing or
// non-playing record's owner, a name's text, an index entry's table; empty
// when it has none.
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
    // The piece as a catalog field, for formatValue and parseValue.
    FieldInfo info() const;
};

struct TableLayout {
    TableId id;
    const char* name;  // tableInfo(id).name: "clubs", "non-players", ...
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
    // For tables named by their owner: the staff member whose link field
    // (PlayerId, NonPlayerId) names the record first; -1 for none.
    std::int64_t ownerOf(TableId t, std::size_t position) const;
    // The one record of table t named `name`; -1 when none is, -2 when
    // several are.
    std::int64_t find(TableId t, std::string_view name) const;

private:
    const Database& db_;
    mutable std::array<std::vector<std::int32_t>, kTableCount> owners_;
};

}  // namespace db

#pragma once

// Every byte of every record, by field name: one table per record type,
// built from the field constants of Records.h (the names are those
// constants' own names, so they cannot drift apart). Bytes that Records.h
// names no field for appear as "Reserved<offset>" so that code walking a
// table (updates, exports) sees the whole record.
//
// Lists become one field per element ("PlayerIds[3]"); dates become their
// day of year, year and four reserved bytes ("DateOfBirth.Year").

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Database.h"

namespace db {

// The tables an update knows: the index, the tables File > Save writes, and
// the lookup tables they refer to (never written, only counted).
enum class TableId : int {
    Index,
    Clubs,
    Stadiums,
    FirstNames,
    SecondNames,
    CommonNames,
    Staff,
    StaffExtra,
    NonPlayers,
    Players,
    Nations,
    ClubComps,
    Colours,
    Cities,
    Count
};
inline constexpr int kTableCount = static_cast<int>(TableId::Count);

struct FieldInfo {
    enum class Kind { Number, Text, Bytes };

    std::string name;
    std::uint16_t offset = 0;
    std::uint16_t width = 0;
    Kind kind = Kind::Bytes;
    bool isSigned = false;  // numbers only
    int refTable = -1;      // a TableId the number refers to, or -1
    bool selfId = false;    // the record's own identifier

    NumField num() const { return NumField(offset, static_cast<std::uint8_t>(width), isSigned); }
};

struct TableInfo {
    TableId id;
    const char* name;  // as quarndb-cli names it: "clubs", "non-players", ...
    std::size_t recordSize;
    int entry;                      // its index entry, -1 for the index itself
    bool written;                   // carried by updates (the index and the saved tables)
    std::vector<FieldInfo> fields;  // in offset order, covering every byte once
};

const TableInfo& tableInfo(TableId t);
// nullptr for a name no table has.
const TableInfo* tableByName(std::string_view name);
// The field called `name` of a table, or nullptr.
const FieldInfo* fieldByName(const TableInfo& t, std::string_view name);

// Generic record access. Positions must be below tableSize.
std::size_t tableSize(const Database& d, TableId t);
const std::uint8_t* recordData(const Database& d, TableId t, std::size_t i);
std::uint8_t* recordData(Database& d, TableId t, std::size_t i);

// Appends a record made of `bytes` (the table's record size) to its table,
// leaving the index alone: the caller moves counts and offsets.
void pushRecord(Database& d, TableId t, const std::uint8_t* bytes);

// The text that names a record in lists: a club's long name, a person's
// display name, a stadium's, nation's or name's text; empty for the tables
// whose records carry no name (index entries, attribute records).
std::string recordName(const Database& d, TableId t, std::size_t i);

}  // namespace db

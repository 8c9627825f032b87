#pragma once

// The tables of the game database, written once: every list of tables the
// program needs (load order, what File > Save writes, file names, index
// entries, names in messages and on the command line) is derived from the
// rows of kTables below. A new table is one row here, its record layout in
// Records.h, its fields in the catalog (FieldCatalog.cpp) and its member of
// Database.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "db/format/Records.h"

namespace db {

// Every table of the database that holds records, the index first. The
// order is the one lists of changes and update files follow.
enum class TableId : std::uint8_t {
    Index,
    Cities,
    Clubs,
    ClubComps,
    Colours,
    FirstNames,
    SecondNames,
    CommonNames,
    Nations,
    Stadiums,
    Staff,
    StaffExtra,
    NonPlayers,
    Players,
    Count
};
inline constexpr std::size_t kTableCount = static_cast<std::size_t>(TableId::Count);

// How the records of a table are named in lists and messages.
enum class RecordNaming : std::uint8_t {
    None,    // no name
    Text,    // the first text field of the record
    Person,  // the staff member's display name
    Owner,   // the display name of the staff member whose link field names it
    Entry    // an index entry: the title of the table it describes
};

struct TableInfo {
    TableId id;
    std::string_view name;   // quarndb-cli and update files: "clubs", "non-players"
    std::string_view title;  // messages and the list of changes: "Clubs", "Non-players"
    std::string_view file;   // its data file; several tables may share one
    std::size_t recordSize;
    int entry;          // its entry of index.dat; -1 for the index itself
    int loadOrder;      // its step of a load; -1 for the index (read on its own)
    bool saved;         // File > Save writes it (and updates may change it)
    int exchangeOrder;  // the order updates handle tables in (saved ones first)
    int exportOrder;    // position in 'quarndb-cli export'; -1 when not exported
    std::string_view loadStatus;
    std::string_view saveStatus;  // empty for tables never saved
    RecordNaming naming;
};

// clang-format off
inline constexpr std::array<TableInfo, kTableCount> kTables = {{
    {TableId::Index, "index", "Index", "index.dat", IndexEntry::Size, -1, -1, true, 0, -1,
     "", "", RecordNaming::Entry},
    {TableId::Cities, "cities", "Cities", "city.dat", CityRecord::Size, 12, 0, false, 13, 6,
     "Loading Cities", "", RecordNaming::Text},
    {TableId::Clubs, "clubs", "Clubs", "club.dat", ClubRecord::Size, 0, 1, true, 4, 0,
     "Loading Clubs", "Saving Clubs", RecordNaming::Text},
    {TableId::ClubComps, "competitions", "Club competitions", "club_comp.dat", ClubCompRecord::Size, 13, 2,
     false, 11, 7, "Loading Club Competitions", "", RecordNaming::Text},
    {TableId::Colours, "colours", "Colours", "colour.dat", ColourRecord::Size, 2, 3, false, 12, 8,
     "Loading Colours", "", RecordNaming::Text},
    {TableId::FirstNames, "first-names", "First names", "first_names.dat", NameRecord::Size, 15, 4, true, 1, 9,
     "Loading First Names", "Saving First Names", RecordNaming::Text},
    {TableId::SecondNames, "second-names", "Second names", "second_names.dat", NameRecord::Size, 16, 5, true, 2,
     10, "Loading Second Names", "Saving Second Names", RecordNaming::Text},
    {TableId::CommonNames, "common-names", "Common names", "common_names.dat", NameRecord::Size, 17, 6, true, 3,
     11, "Loading Common Names", "Saving Common Names", RecordNaming::Text},
    {TableId::Nations, "nations", "Nations", "nation.dat", NationRecord::Size, 4, 7, false, 10, 4,
     "Loading Nations", "", RecordNaming::Text},
    {TableId::Stadiums, "stadiums", "Stadiums", "stadium.dat", StadiumRecord::Size, 6, 8, true, 5, 5,
     "Loading Stadiums", "Saving Stadiums", RecordNaming::Text},
    {TableId::Staff, "staff", "Staff", "staff.dat", StaffRecord::Size, 7, 9, true, 6, 1,
     "Loading Staff General", "Saving Staff General", RecordNaming::Person},
    {TableId::StaffExtra, "staff-extra", "Staff extra", "staff.dat", StaffExtraRecord::Size, 8, 10, true, 7, -1,
     "Loading Staff Unknown", "Saving Staff Unknown", RecordNaming::None},
    {TableId::NonPlayers, "non-players", "Non-players", "staff.dat", NonPlayerRecord::Size, 9, 11, true, 8, 3,
     "Loading Staff Non-Playing", "Saving Non Playing Staff", RecordNaming::Owner},
    {TableId::Players, "players", "Players", "staff.dat", PlayerRecord::Size, 10, 12, true, 9, 2,
     "Loading Staff Playing", "Saving Playing Staff", RecordNaming::Owner},
}};
// clang-format on

constexpr const TableInfo& tableInfo(TableId t)
{
    return kTables[static_cast<std::size_t>(t)];
}

// The tables File > Save writes (the index included).
constexpr bool isSavedTable(TableId t)
{
    return tableInfo(t).saved;
}

// nullptr for a name no table has.
constexpr const TableInfo* tableNamed(std::string_view name)
{
    for (const TableInfo& t : kTables)
        if (t.name == name) return &t;
    return nullptr;
}

// The table whose index entry is `entry`; nullptr for a spare entry.
constexpr const TableInfo* tableAtEntry(int entry)
{
    for (const TableInfo& t : kTables)
        if (t.entry >= 0 && t.entry == entry) return &t;
    return nullptr;
}

// Whether t is stored after other tables of its file (as the staff tables
// after the first are): its index entry's TableOffset says where it starts.
constexpr bool followsInFile(TableId t)
{
    for (const TableInfo& before : kTables) {
        if (before.id == t) return false;
        if (before.file == tableInfo(t).file) return true;
    }
    return false;
}

namespace detail {

// The tables with a position `order` >= 0, in that order.
template <int TableInfo::*Order>
constexpr auto tablesBy()
{
    constexpr std::size_t n = [] {
        std::size_t k = 0;
        for (const TableInfo& t : kTables) k += t.*Order >= 0;
        return k;
    }();
    std::array<TableId, n> out{};
    for (const TableInfo& t : kTables)
        if (t.*Order >= 0) out[static_cast<std::size_t>(t.*Order)] = t.id;
    return out;
}

}  // namespace detail

// The tables in the order a load reads them (the index is read before).
inline constexpr auto kLoadOrder = detail::tablesBy<&TableInfo::loadOrder>();
// The tables in the order updates handle them: the saved tables, then the
// lookup tables an update only counts.
inline constexpr auto kExchangeOrder = detail::tablesBy<&TableInfo::exchangeOrder>();
// The tables 'quarndb-cli export' writes, in the order it lists them.
inline constexpr auto kExportOrder = detail::tablesBy<&TableInfo::exportOrder>();

// Index entry numbers of the tables we handle, as the rows above give them.
namespace Entry {
constexpr int Clubs = tableInfo(TableId::Clubs).entry;
constexpr int Colours = tableInfo(TableId::Colours).entry;
constexpr int Nations = tableInfo(TableId::Nations).entry;
constexpr int Stadiums = tableInfo(TableId::Stadiums).entry;
constexpr int Staff = tableInfo(TableId::Staff).entry;
constexpr int StaffExtra = tableInfo(TableId::StaffExtra).entry;
constexpr int NonPlayers = tableInfo(TableId::NonPlayers).entry;
constexpr int Players = tableInfo(TableId::Players).entry;
constexpr int Cities = tableInfo(TableId::Cities).entry;
constexpr int ClubComps = tableInfo(TableId::ClubComps).entry;
constexpr int FirstNames = tableInfo(TableId::FirstNames).entry;
constexpr int SecondNames = tableInfo(TableId::SecondNames).entry;
constexpr int CommonNames = tableInfo(TableId::CommonNames).entry;
constexpr int Count = 22;
}  // namespace Entry

// ---- What the rows must satisfy ------------------------------------------------

namespace detail {

constexpr bool rowsInOrder()
{
    for (std::size_t k = 0; k < kTableCount; ++k)
        if (static_cast<std::size_t>(kTables[k].id) != k) return false;
    return true;
}

// Every position of `order` used once, from 0 up.
template <int TableInfo::*Order>
constexpr bool aPermutation()
{
    std::array<int, kTableCount> seen{};
    int n = 0;
    for (const TableInfo& t : kTables) {
        if (t.*Order < 0) continue;
        if (t.*Order >= static_cast<int>(kTableCount) || seen[static_cast<std::size_t>(t.*Order)]++)
            return false;
        ++n;
    }
    for (int k = 0; k < n; ++k)
        if (!seen[static_cast<std::size_t>(k)]) return false;
    return true;
}

constexpr bool entriesDistinct()
{
    for (const TableInfo& a : kTables)
        for (const TableInfo& b : kTables)
            if (&a != &b && a.entry >= 0 && a.entry == b.entry) return false;
    for (const TableInfo& t : kTables)
        if (t.entry >= Entry::Count || (t.entry < 0) != (t.id == TableId::Index)) return false;
    return true;
}

// Updates handle every saved table before the first one they only count.
constexpr bool savedFirstInExchange()
{
    bool lookups = false;
    for (TableId t : kExchangeOrder) {
        if (!isSavedTable(t)) lookups = true;
        if (lookups && isSavedTable(t)) return false;
    }
    return true;
}

}  // namespace detail

static_assert(detail::rowsInOrder(), "kTables has one row per TableId, in TableId order");
static_assert(detail::aPermutation<&TableInfo::loadOrder>() &&
              detail::aPermutation<&TableInfo::exchangeOrder>() &&
              detail::aPermutation<&TableInfo::exportOrder>());
static_assert(kExchangeOrder.size() == kTableCount && kLoadOrder.size() == kTableCount - 1);
static_assert(detail::entriesDistinct());
static_assert(detail::savedFirstInExchange());

}  // namespace db

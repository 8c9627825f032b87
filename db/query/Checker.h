#pragma once

// The rule checker: everything in a database that the game or the editor
// would trip over, and values the game's own database never holds. One
// engine for `quarndb-cli check` and the editor, so both list the same
// problems in the same order with the same words. Each check only reads;
// every value taken from a record is tested before it is used as a position.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/Database.h"
#include "db/format/FieldCatalog.h"

namespace db {

// How bad a problem is, worst first.
enum class Grade : std::uint8_t {
    Damage,        // the game may crash or misread: a position, count or offset it trusts is wrong
    Inconsistent,  // two records disagree
    Unusual        // a value the game's own database never holds
};

// "damage", "inconsistent", "unusual": the first word of a check line.
std::string_view gradeWord(Grade g);

// One problem: where it is (table, record, field) and what is wrong.
struct Problem {
    std::string table;         // "clubs", "staff", ..., "index" or a file name
    std::int64_t record = -1;  // position in the table; -1 when the problem is the whole file
    std::string field;         // field name, lists with their 0-based element: "ManagerId", "PlayerIds[4]"
    std::string message;       // one sentence, Windows-1252
    // A reference outside its table other than the stored forms of none: the
    // game and the editor read it as no record, so it is unusual, not damage.
    bool readsAsNone = false;
    Grade grade = Grade::Damage;
    TableId tableId = TableId::Count;      // Count for a whole file
    std::string recordName;                // the record's name (Windows-1252), empty when it has none
    const FieldInfo* fieldInfo = nullptr;  // the catalog's field, when there is one
    int element = -1;                      // element of a list field, -1 for a single field

    // "clubs[1] ClubId: identifier 7 differs from its position 1"
    std::string line() const;
};

// Sizes of the data files in bytes, by file name ("club.dat"); a missing
// entry or std::nullopt means the file could not be found.
using FileSizes = std::map<std::string, std::optional<std::uint64_t>>;

// The data files, each with the index entries whose tables it holds.
struct DataFile {
    const char* name;
    std::vector<int> entries;
};
const std::vector<DataFile>& dataFiles();

// Bytes per record of the table of index entry k (0 for entries we do not handle).
std::size_t recordSize(int entry);

// The staff tables lie back to back when TableOffset of entries 8-10 equals
// the summed sizes of the tables before them. Only needs the index.
std::int64_t expectedStaffOffset(const Database& db, int entry);

// Checks of the index against the files (all damage): TableOffsets that
// disagree with the back-to-back layout and files shorter than their
// tables' counts need.
std::vector<Problem> checkLayout(const Database& db, const FileSizes& sizes);

// Checks of the loaded records, in this order: identifiers, staff slots and
// contracts, attribute links, name usage counts, values out of the game's
// ranges, and last the references that read as none.
std::vector<Problem> checkRecords(const Database& db);

// ---- The limits of the unusual values ----------------------------------------

// The game's documented scales: attributes 0-20, abilities 0-200 (a
// potential may also be -1 or -2).
inline constexpr int kAttributeMax = 20;
inline constexpr int kAbilityMax = 200;
// Ages of players on the day the game starts (1 July 1998, day 181).
inline constexpr int kStartYear = 1998;
inline constexpr int kStartDayOfYear = 181;
inline constexpr int kYoungestPlayer = 10;
inline constexpr int kOldestPlayer = 60;
// Money, in pounds: ten times the sample generator's highest weekly wage
// (100,000) and club balance (30 million), and its lowest balance (-2
// million) ten times over.
inline constexpr std::int64_t kWageMax = 1'000'000;
inline constexpr std::int64_t kCashMin = -20'000'000;
inline constexpr std::int64_t kCashMax = 300'000'000;

// Appends the unusual values of the records (CheckValues.cpp).
void checkValues(const Database& db, std::vector<Problem>& out);

}  // namespace db

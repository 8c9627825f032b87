#pragma once

// The integrity checks of `quarndb-cli check`: everything a damaged database
// can get wrong that the game or the editor would trip over later. Each check
// only reads; every value taken from a record is tested before it is used as
// a position.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "db/format/Database.h"

namespace cli {

// One problem: where it is (table, record, field) and what is wrong.
struct Problem {
    std::string table;    // "clubs", "staff", ..., "index" or a file name
    std::int64_t record;  // position in the table; -1 when the problem is the whole file
    std::string field;    // field name ("ManagerId", "PlayerIds[4]", "length")
    std::string message;
    // A reference outside its table other than the stored forms of none: the
    // game and the editor read it as no record, so it is worth a note but is
    // not damage.
    bool readsAsNone = false;

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
std::int64_t expectedStaffOffset(const db::Database& db, int entry);

// Checks of the index against the files: TableOffsets that disagree with the
// back-to-back layout and files shorter than their tables' counts need.
std::vector<Problem> checkLayout(const db::Database& db, const FileSizes& sizes);

// Checks of the loaded records (identifiers, references, staff slots,
// attribute links, shared attribute records, name usage counts).
std::vector<Problem> checkRecords(const db::Database& db);

}  // namespace cli

#pragma once

// Which database an update was made from, and how a target relates to it.
//
// The fingerprint of a database is every table's record count and the
// xxHash (XXH3, 64 bits) of its records' bytes in order. An update carries
// the fingerprint of the database it was made from (its base), so that a
// target can be told apart as
//   - the base itself: every table has the base's count and bytes;
//   - the base with other edits: the lookup tables (nations, cities,
//     competitions, colours), which the editor never writes and which set
//     one edition of the game's data apart from another, are the base's byte
//     for byte, and no table has fewer records than the base had (records
//     are never removed). The field-by-field check of the update's old values
//     then decides;
//   - a different database: anything else.

#include <array>
#include <cstdint>
#include <string>

#include "db/format/FieldCatalog.h"

namespace db {

struct BaseFingerprint {
    bool known = false;  // updates of the first version name no base
    std::array<std::int64_t, kTableCount> counts{};
    std::array<std::uint64_t, kTableCount> hashes{};

    bool operator==(const BaseFingerprint&) const = default;
};

// XXH3 of the bytes of the first `n` records of a table (n <= its size).
std::uint64_t hashRecords(const Database& d, TableId t, std::size_t n);

BaseFingerprint fingerprintDatabase(const Database& d);

// The first table whose count or hash differs; TableId::Count when none.
TableId firstDifference(const BaseFingerprint& a, const BaseFingerprint& b);

enum class TableMatch : std::uint8_t {
    Same,      // the base's count and bytes
    Appended,  // the base's records unchanged, more after them
    Edited,    // at least the base's count, some of its records changed
    Shrunk     // fewer records than the base
};

enum class BaseMatch : std::uint8_t { Unknown, Same, Edited, Different };

struct BaseCheck {
    BaseMatch match = BaseMatch::Unknown;
    std::array<TableMatch, kTableCount> tables{};
    TableId reason = TableId::Count;  // for Different: the first table that makes it so

    // One sentence about `folder` ("FOLDER is the update's base.", ...).
    std::string describe(const std::string& folder) const;
    // For Different: "its nations differ from the update's base (...)".
    std::string reasonText() const;
};

BaseCheck checkBase(const Database& target, const BaseFingerprint& base);

// The 16 lowercase hex digits of a hash, and back (false for anything else).
std::string hashText(std::uint64_t h);
bool parseHashText(const std::string& text, std::uint64_t& h);

}  // namespace db

#pragma once

// Name searches of the editor's Search buttons, on the raw Windows-1252 bytes.
// Results are identifiers in table order; an empty search text finds nothing.

#include <cstdint>
#include <string_view>
#include <vector>

#include "db/format/Database.h"

namespace db {

// Clubs whose long name, else short name, contains the text (a-z folded).
// Looks at the first RecordCount-of-entry-0 clubs (never past the table).
std::vector<std::int32_t> searchClubs(const Database& db, std::string_view raw);

// Staff whose display name contains the text (a-z folded). Looks at the first
// RecordCount-of-entry-7 records (never past the table). Scans the folded
// copy of the names the database keeps (Database::foldedStaffNames), made
// afresh first when a name changed since the last search.
std::vector<std::int32_t> searchStaff(const Database& db, std::string_view raw);

// How many records of a table the searches and lists cover: the entry's
// RecordCount, kept within the table (0 when the entry was not read).
std::size_t listedCount(const Database& db, int entry, std::size_t tableSize);

}  // namespace db

#pragma once

// The list of changes since loading: every field of the saved tables whose
// bytes differ from the loaded copy, and every record appended since, in the
// order the steps that made them were taken. Computed from the bytes alone,
// so it lists exactly what File > Save would write differently.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "db/editing/ChangeStep.h"
#include "db/editing/LoadedBaseline.h"
#include "db/format/FieldCatalog.h"

namespace db {

struct ChangeEntry {
    TableId table;
    std::size_t record;
    bool appended = false;  // a whole record added since loading
    int field = -1;         // position in fieldsOf(table); -1: a byte no named field covers
    int element = 0;        // list element, or the byte's offset when field is -1
    // The record differs from how it was loaded, but no step explains it and
    // its loaded bytes could not be read back (a fault of the editor).
    bool unexplained = false;

    bool operator==(const ChangeEntry&) const = default;
};

// The differences between `loaded` and the saved tables of `now`, ordered by
// the first of `steps` (oldest first) that changed each field; differences no
// step explains come last, in table order.
std::vector<ChangeEntry> listChanges(const DatabaseImage& loaded, const Database& now,
                                     std::span<const ChangeStep* const> steps);
// The same without a copy of the loaded tables: `loaded` was made from
// `steps`. Records in blocks changed without a step come after the rest.
std::vector<ChangeEntry> listChanges(const LoadedBaseline& loaded, const Database& now,
                                     std::span<const ChangeStep* const> steps);

// One line of the list as the pages would show it (Windows-1252 text).
struct ChangeText {
    std::string table;
    std::string record;  // the record's identifier (its position)
    std::string name;    // the record's name, now
    std::string field;
    std::string oldValue;
    std::string newValue;
};
ChangeText describeChange(const ChangeEntry& e, const DatabaseImage& loaded, const Database& now,
                          const RecordNamer& namer);
ChangeText describeChange(const ChangeEntry& e, const LoadedBaseline& loaded, const Database& now,
                          const RecordNamer& namer);

// The list as CSV (RFC 4180, UTF-8, CRLF line ends) with a header line.
std::string changesCsv(const std::vector<ChangeText>& lines);

}  // namespace db

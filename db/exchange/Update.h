#pragma once

// Database updates: what changed between two copies of the game database,
// and applying that to a third copy.
//
// An update holds, per written table, the fields of existing records that
// changed (old and new bytes) and the records appended after them, whole.
// Values are raw field bytes, so nothing is lost whatever a field holds; the
// file format (json/UpdateJson.h) turns them into readable values.
//
// Applying checks every old value against the target first and changes
// nothing when any differs (unless forced). Appended records take the next
// free identifiers of the target, and every reference inside the update to
// an appended record is moved to the identifier it gets there.
//
// Since version 2 an update also names the database it was made from (its
// base, Fingerprint.h): applying refuses a different database unless forced.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "db/exchange/Fingerprint.h"
#include "db/format/FieldCatalog.h"

namespace db {

using FieldBytes = std::vector<std::uint8_t>;

struct FieldChange {
    std::size_t field = 0;  // position in the table's field list
    FieldBytes oldBytes;
    FieldBytes newBytes;
};

struct RecordUpdate {
    std::int64_t id = 0;
    std::string name;  // Windows-1252, for people reading the update
    std::vector<FieldChange> fields;
};

struct AppendedRecord {
    std::string name;  // Windows-1252, for people reading the update
    FieldBytes bytes;  // the whole record
};

struct TableUpdate {
    // Records of the table in the old database; appended records take the
    // identifiers count, count + 1, ... there. For lookup tables, which an
    // update never changes, the count the references inside it assume.
    std::int64_t count = 0;
    std::vector<RecordUpdate> changed;  // ascending identifiers
    std::vector<AppendedRecord> appended;

    bool empty() const { return changed.empty() && appended.empty(); }
};

struct Update {
    static constexpr int kVersion = 2;
    std::array<TableUpdate, kTableCount> tables;
    BaseFingerprint base;  // the old database's; unknown in version 1 updates

    TableUpdate& operator[](TableId t) { return tables[static_cast<std::size_t>(t)]; }
    const TableUpdate& operator[](TableId t) const { return tables[static_cast<std::size_t>(t)]; }
};

// The update that turns `before` into `after`. Both must be complete loads
// with a full index. Throws Error when the difference is one no update can
// carry: a table that lost records, or lookup tables (nations, cities,
// competitions, colours) that differ, since the editor never writes them.
Update diffDatabases(const Database& before, const Database& after);

// Checks what the update says about itself: identifiers inside the tables'
// counts and in order, whole appended records, values of their fields'
// widths, and references that name a record of their table, its count
// (the stored form of none) or a negative value. Throws Error with one
// sentence naming the first fault.
void validateUpdate(const Update& u);

// One place where the target differs from what the update expects.
struct Conflict {
    std::string table;     // "clubs"
    std::int64_t record;   // -1 for the table as a whole
    std::string name;      // the record's name in the target, if any
    std::string field;     // "Cash", or "count", or "record"
    std::string expected;  // as formatValue prints it in ValueForm::Raw
    std::string found;
    bool fatal = false;  // cannot be overridden (the record is missing)

    std::string line() const;  // "clubs[5] (Name) Cash: expected 100, found 250"
};

std::vector<Conflict> findConflicts(const Database& target, const Update& u);

struct ApplyOptions {
    bool force = false;  // apply over conflicts that are not fatal, and to a different database
};

struct ApplyResult {
    BaseCheck base;  // how the target relates to the update's base
    // A different database (not forced) gives one conflict naming it, and
    // its fields are not compared.
    std::vector<Conflict> conflicts;
    bool applied = false;
    std::size_t changedRecords = 0;
    std::size_t changedFields = 0;
    std::size_t appendedRecords = 0;
};

// Checks and applies a validated update in one step: when it reports
// applied == false the database is exactly as it was. The index counts and
// staff table offsets follow the appended records; display names of the
// people concerned are rebuilt. Throws Error only when the target has no
// full index (nothing changed then either).
ApplyResult applyUpdate(Database& target, const Update& u, ApplyOptions options = {});

// What applying would do, one line per changed field and appended record
// ("clubs[5] (Name) Cash: 100 -> 250", "append clubs[812] (Name)"), with
// identifiers as they will be in the target. Windows-1252 text.
std::vector<std::string> describeUpdate(const Database& target, const Update& u);

// Counts for a summary: records changed, fields changed, records appended.
struct UpdateCounts {
    std::size_t changedRecords = 0, changedFields = 0, appendedRecords = 0;
};
UpdateCounts countUpdate(const Update& u);

}  // namespace db

#pragma once

// One undoable step of editing: the bytes of every record an operation
// changed, before and after, and the records it appended, per table.
//
// A step is captured around the operation: a ChangeRecorder notes the
// records the operation may touch (or every record, for operations that can
// change anything), the operation runs, and finish() compares. The index is
// always watched whole, so counts and staff TableOffsets travel with the
// records they describe. Undo and redo refuse to run (and change nothing)
// unless the tables are exactly in the state the step left them in, so a
// step can never overwrite a change it does not know about.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "db/format/Database.h"
#include "db/format/Tables.h"

namespace db {

// What a record is in memory: its bytes, and for staff the display name.
struct RecordImage {
    std::vector<std::uint8_t> bytes;
    std::string displayName;
    bool operator==(const RecordImage&) const = default;
};

// The image of record `position` of table `t` (which must exist).
RecordImage recordImage(const Database& d, TableId t, std::size_t position);

// A whole table's records, bytes back to back (and the staff display names).
struct TableImage {
    std::size_t recordSize = 0;
    std::size_t count = 0;
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> displayNames;  // staff only

    const std::uint8_t* record(std::size_t i) const { return bytes.data() + i * recordSize; }
};
// The display names are left out where only the bytes are wanted.
TableImage tableImage(const Database& d, TableId t, bool withDisplayNames = true);

// The saved tables as they were at one moment (the loaded copy the list of
// changes is computed against, from the bytes alone: display names follow
// from them). Tables that are not saved stay empty.
struct DatabaseImage {
    std::array<TableImage, kTableCount> tables;
    bool captured = false;
    const TableImage& table(TableId t) const { return tables[static_cast<std::size_t>(t)]; }
};
DatabaseImage savedTablesImage(const Database& d);

struct RecordChange {
    TableId table;
    std::size_t position;
    RecordImage before;
    RecordImage after;
};

struct TableGrowth {
    TableId table;
    std::size_t oldSize;
    std::vector<RecordImage> added;  // records oldSize, oldSize + 1, ...
};

class ChangeStep {
public:
    std::vector<RecordChange> changes;  // existing records, index entries included
    std::vector<TableGrowth> growth;    // appended records

    bool empty() const { return changes.empty() && growth.empty(); }

    // Whether the tables are as the step left them (undo) / found them (redo).
    bool canUndo(const Database& d) const;
    bool canRedo(const Database& d) const;

    // Puts every touched record back and removes the appended ones / does the
    // step again. Throws Error (changing nothing) when canUndo / canRedo is false.
    void undo(Database& d) const;
    void redo(Database& d) const;
};

// Captures one step: construct before the operation, touch what it may
// change, run it, then finish().
class ChangeRecorder {
public:
    // Keeps a reference to `d`, which must outlive the recorder.
    explicit ChangeRecorder(const Database& d);

    // Notes the record before the operation changes it; positions outside
    // the table are ignored.
    void touch(TableId t, std::int64_t position);
    // Watches every record of every table, for operations that may change
    // anything (compares whole tables afterwards).
    void touchAll();

    ChangeStep finish(const Database& d) const;

private:
    // A touched record's image before the operation: its bytes, then its
    // display name, in blocks that never move. A step of a bulk change
    // touches 100,000 records, and heap blocks of their own (or one buffer
    // copied as it grows) would cost more than the change itself.
    struct Touched {
        TableId table;
        std::size_t position;
        const std::uint8_t* bytes;  // the record's bytes, then nameSize bytes of its name
        std::size_t nameSize;
    };
    RecordImage imageBefore(const Touched& t) const;
    std::uint8_t* room(std::size_t size);

    const Database& db_;
    std::array<std::size_t, kTableCount> sizes_{};
    std::array<std::vector<bool>, kTableCount> seen_;  // per table: touched already
    std::vector<Touched> touched_;
    std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::vector<TableImage> whole_;  // every table, when touchAll() was called
};

}  // namespace db

#pragma once

// A spreadsheet read back into a table: File > Import from Spreadsheet...
// and `quarndb-cli import`. The file is checked whole before anything
// changes:
//   - the header: every column must be one export writes for the table
//     (sheetColumns; names in any case), none twice, and the identifier
//     column must be there; read-only columns are skipped;
//   - each row: its identifier names a record of the table, once in the file
//     (an empty identifier adds a club or a staff member, as Edit > Add New
//     does; other tables refuse it); each cell reads as its field's value
//     (SheetValues.h); an empty cell of an existing record is a fault except
//     for text, where it is the empty text; in a new row it keeps the value
//     Add New gives;
//   - fields the editor changes only together with other records (a staff
//     member's club: the clubs' slots) are changed as the windows change them
//     (applyFieldEdit); those it never changes from a list (identifiers,
//     links, slot lists, usage counts, tables File > Save does not write) are
//     refused for the column with the reason;
//   - the whole import is then run on a copy of the database: a change that
//     cannot be made there (a club without a free slot) is a fault of its row.
// Any fault: nothing changes. Otherwise the plan holds the step that makes
// every change at once, and the lines Edit > Changes... would show for it.
// Cells equal to the stored values change nothing.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/editing/ChangeList.h"
#include "db/editing/ChangeStep.h"
#include "db/exchange/SheetReader.h"
#include "db/format/Database.h"

namespace db {

struct ImportFault {
    std::size_t row = 0;  // the row as a spreadsheet numbers it (the header is 1); 0: the file
    std::string column;   // the column's header as the file has it; empty for a whole row
    std::string message;  // one sentence, UTF-8
};

// "Row 5, Wage: "abc" is not a whole number" (UTF-8).
std::string faultLine(const ImportFault& f);

inline constexpr std::size_t kMaxReportedFaults = 100;

struct ImportPlan {
    TableId table = TableId::Count;
    SheetFormat format;
    std::size_t rows = 0;  // rows read below the header
    // The first kMaxReportedFaults faults in file order, and how many there were.
    std::vector<ImportFault> faults;
    std::size_t faultCount = 0;
    std::size_t changedRecords = 0;  // existing records of the table the import changes
    std::size_t newRecords = 0;      // records it adds to the table
    // Every record the import changes, before and after, and the records it
    // appends (the attribute records of new staff and the index included).
    ChangeStep step;
    // The changes as Edit > Changes... lists them (Windows-1252 text): one
    // line per changed field, one per appended record.
    std::vector<ChangeText> changes;

    bool ok() const { return faultCount == 0; }
};

// Reads `file` (the bytes of a CSV file) as rows of table t of `d` and
// checks them all. `d` is not changed.
ImportPlan planImport(const Database& d, TableId t, std::string_view file);

// Notes every record applyImport changes, for an undo step (the records it
// appends and the index are watched by the recorder itself).
void touchImport(ChangeRecorder& r, const ImportPlan& plan);
// The same for any recorder that takes (table, position), such as a
// window's EditStep: touchImport(plan, [&](auto t, auto i) { step.touch(t, i); }).
void touchImport(const ImportPlan& plan, const std::function<void(TableId, std::int64_t)>& touch);

// Makes the plan's changes, all at once. Throws Error, changing nothing, when
// the plan has faults or `d` is no longer as it was planned on.
void applyImport(Database& d, const ImportPlan& plan);

}  // namespace db

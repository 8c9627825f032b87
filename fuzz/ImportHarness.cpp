// The spreadsheet import on arbitrary files: see Harnesses.h.

#include <string_view>

#include "Harnesses.h"
#include "db/exchange/SheetColumns.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/exchange/SpreadsheetImport.h"

namespace fuzz {

namespace {

std::string bytesOf(const db::Database& d)
{
    std::string all;
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const db::TableImage img = db::tableImage(d, static_cast<db::TableId>(k));
        all.append(img.bytes.begin(), img.bytes.end());
        for (const std::string& n : img.displayNames) all += n + '\n';
    }
    return all;
}

}  // namespace

void importHarness(const std::uint8_t* data, std::size_t size)
{
    static const db::Database target = updateTarget();
    static const std::string original = bytesOf(target);
    if (size == 0) return;
    const std::vector<std::string>& names = db::sheetTableNames();
    const db::TableId t = *db::sheetTableByName(names[data[0] % names.size()]);
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);

    // The rows come in order, each with a cell.
    std::size_t last = 0;
    try {
        db::readSheet(file, [&](std::size_t row, const std::vector<std::string_view>& cells) {
            FUZZ_REQUIRE(row > last && !cells.empty());
            last = row;
        });
    } catch (const db::Error&) {
    }

    const db::ImportPlan plan = db::planImport(target, t, file);
    FUZZ_REQUIRE(plan.faults.size() <= db::kMaxReportedFaults && plan.faults.size() <= plan.faultCount);
    FUZZ_REQUIRE(plan.ok() || plan.step.empty());
    FUZZ_REQUIRE(bytesOf(target) == original);  // planning never changes the database
    if (!plan.ok()) return;

    // A plan applies at once, and the same file then changes nothing more;
    // undone, the database is as it was.
    db::Database copy = target;
    db::ChangeRecorder recorder(copy);
    db::touchImport(recorder, plan);
    db::applyImport(copy, plan);
    const db::ChangeStep step = recorder.finish(copy);
    // Without new records or changes to other records (a transfer's slots),
    // the file now names the stored values.
    bool plain = plan.newRecords == 0;
    for (const db::RecordChange& c : plan.step.changes) plain = plain && c.table == t;
    if (plain) {
        const db::ImportPlan again = db::planImport(copy, t, file);
        FUZZ_REQUIRE(again.ok() && again.step.empty());
    }
    // What export writes reads back unchanged.
    const db::ImportPlan back = db::planImport(copy, t, db::exportCsv(copy, t));
    FUZZ_REQUIRE(back.ok() && back.step.empty());
    step.undo(copy);
    FUZZ_REQUIRE(bytesOf(copy) == original);
}

}  // namespace fuzz

// Measures the spreadsheet export and import of every staff member on
// generated databases held in memory, each beside its floor: for the export,
// the same cells written to a buffer without the database (the cells cut out
// of the exported file beforehand); for the import, the same file parsed by
// libcsv doing nothing with each cell.
//
//   quarndb-sheet-bench [--scales 1,10] [--runs 3]

#include <csv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/exchange/SpreadsheetImport.h"
#include "tools/sample/SampleDb.h"

namespace {

// Where each cell of a CSV file ends (its separator or line end), and which
// of them end a line.
struct Cells {
    std::vector<std::uint32_t> ends;
    std::vector<bool> lineEnd;
};

Cells cut(const std::string& file)
{
    Cells c;
    bool quoted = false;
    for (std::size_t i = 3; i < file.size(); ++i) {  // after the byte-order mark
        const char ch = file[i];
        if (ch == '"') quoted = !quoted;
        if (quoted) continue;
        if (ch == ',' || ch == '\r') {
            c.ends.push_back(static_cast<std::uint32_t>(i));
            c.lineEnd.push_back(ch == '\r');
            if (ch == '\r') ++i;
        }
    }
    return c;
}

volatile std::size_t sink;

void noField(void*, std::size_t len, void*)
{
    sink = sink + len;
}
void noRow(int, void*) {}
int noSpace(unsigned char)
{
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<double> scales = {1, 10};
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--scales")) scales = bench::parseScales(argv[i + 1]);
        if (!std::strcmp(argv[i], "--runs")) runs = std::atoi(argv[i + 1]);
    }
    std::printf(
        "Spreadsheet export and import of every staff member (milliseconds of processor time, best "
        "of %d)\n\n",
        runs);
    std::printf(
        "| scale | rows | file MB | export | floor: cells to a buffer | × | import (unedited) | "
        "floor: libcsv parse | × |\n|---|---|---|---|---|---|---|---|---|\n");
    bool ok = true;
    for (const double scale : scales) {
        const db::Database d = sample::makeDatabase({scale, 7});
        const db::TableId t = db::TableId::Staff;
        std::string file;
        const double exportMs = bench::bestThreadMs(runs, [&] { file = db::exportCsv(d, t); });

        const Cells cells = cut(file);
        const double writeFloor = bench::bestThreadMs(runs, [&] {
            std::string out("\xEF\xBB\xBF");
            out.reserve(file.size());
            std::size_t start = 3;
            for (std::size_t k = 0; k < cells.ends.size(); ++k) {
                out.append(file, start, cells.ends[k] - start);
                out += cells.lineEnd[k] ? "\r\n" : ",";
                start = cells.ends[k] + (cells.lineEnd[k] ? 2 : 1);
            }
            sink = out.size();
        });

        std::size_t faults = 0, changes = 0;
        const double importMs = bench::bestThreadMs(runs, [&] {
            const db::ImportPlan plan = db::planImport(d, t, file);
            faults = plan.faultCount;
            changes = plan.step.changes.size() + plan.step.growth.size();
        });
        const double parseFloor = bench::bestThreadMs(runs, [&] {
            csv_parser p;
            csv_init(&p, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
            csv_set_space_func(&p, noSpace);
            csv_parse(&p, file.data() + 3, file.size() - 3, noField, noRow, nullptr);
            csv_fini(&p, noField, noRow, nullptr);
            csv_free(&p);
        });
        const double exportRatio = exportMs / writeFloor, importRatio = importMs / parseFloor;
        std::printf("| %g | %zu | %.1f | %.0f | %.0f | %.1f | %.0f | %.0f | %.1f |\n", scale, d.staff.size(),
                    static_cast<double>(file.size()) / 1e6, exportMs, writeFloor, exportRatio, importMs,
                    parseFloor, importRatio);
        if (faults || changes) {
            std::printf("the unedited file had %zu faults and %zu changes\n", faults, changes);
            ok = false;
        }
        // The targets are set for ten times the game's size; smaller runs only report.
        if (scale >= 10) ok = ok && exportMs < 2000 && importMs < 2000 && exportRatio < 3 && importRatio < 3;
    }
    std::printf("\n%s\n", ok ? "within the targets (2 s and 3x the floors at 10x)" : "OUTSIDE the targets");
    return ok ? 0 : 1;
}

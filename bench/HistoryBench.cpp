// Measures the cost of the editing history on a generated database: the
// fingerprints of the loaded tables, the first change, the memory held after
// many changes, capturing and undoing one step, a whole-table capture (as an
// operation that may change anything needs), and the list of changes.
//
//   quarndb-history-bench [--scale 10] [--changes 1000] [--runs 5]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "HistoryFigures.h"
#include "db/editing/ChangeList.h"
#include "db/editing/LoadedBaseline.h"
#include "db/editing/NewClub.h"
#include "db/format/FieldCatalog.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::TableId;

}  // namespace

int main(int argc, char** argv)
{
    double scale = 10;
    int changes = 1000;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--scale")
            scale = std::atof(argv[i + 1]);
        else if (a == "--changes")
            changes = std::atoi(argv[i + 1]);
        else if (a == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else {
            std::fprintf(stderr, "usage: quarndb-history-bench [--scale S] [--changes N] [--runs N]\n");
            return 2;
        }
    }
    db::Database d = sample::makeDatabase({scale, 7});
    std::printf("scale %g: %zu staff, %zu players, %zu clubs\n", scale, d.staff.size(), d.players.size(),
                d.clubs.size());

    // What File > Open starts on a second thread: the fingerprints of the
    // loaded tables. The first change waits for them only if it comes sooner.
    db::LoadedFingerprints fingerprints;
    std::vector<db::ChangeStep> steps;
    const bench::HistoryFigures h = bench::measureHistory(d, changes, runs, steps, fingerprints);
    std::printf("fingerprints of the loaded tables: %.2f ms for %.1f MB\n", h.fingerprintMs,
                static_cast<double>(h.dataBytes) / 1e6);
    std::printf(
        "first change %.3f ms; memory after %d changes: data %.1f MB + history %.2f MB = %.3fx the data\n",
        h.firstChangeMs, changes, static_cast<double>(h.dataBytes) / 1e6,
        static_cast<double>(h.historyBytes) / 1e6, h.memoryRatio());
    const double captureMs = bench::bestWallMs(runs, [&] {
        db::ChangeStep s = bench::confirmPlayer(d, 424242);
        s.undo(d);
    });
    const double undoRedoMs = bench::bestWallMs(runs, [&] {
        steps.back().undo(d);
        steps.back().redo(d);
    });
    std::printf("one step: capture %.3f ms, undo + redo %.3f ms\n", captureMs, undoRedoMs);

    const double wholeMs = bench::bestWallMs(runs, [&] {
        db::ChangeRecorder r(d);
        r.touchAll();
        d.appendClub(db::composeNewClub(d));
        r.finish(d).undo(d);
    });
    std::printf("whole-table capture of a step: %.2f ms\n", wholeMs);

    std::vector<const db::ChangeStep*> applied;
    for (const db::ChangeStep& s : steps) applied.push_back(&s);
    std::size_t lines = 0;
    const double listMs = bench::bestWallMs(runs, [&] {
        const db::LoadedBaseline base(fingerprints, d, applied);
        const auto entries = db::listChanges(base, d, applied);
        const db::RecordNamer namer(d);
        std::vector<db::ChangeText> texts;
        for (const auto& e : entries) texts.push_back(db::describeChange(e, base, d, namer));
        lines = texts.size();
    });
    const double checkMs =
        bench::bestWallMs(runs, [&] { const db::LoadedBaseline base(fingerprints, d, applied); });
    std::printf(
        "list of %zu changes (from %zu steps): %.2f ms, of which checking the untouched blocks %.2f ms\n",
        lines, steps.size(), listMs, checkMs);
    return 0;
}

// Measures a bulk change ("Change All..." in Find, quarndb-cli set) on a
// generated database held in memory: one field of 100,000 staff members
// (Wage × 110%), its preview, its apply as the window makes it (worked out
// again, the records touched on the undo step's recorder, the edits made,
// the step finished), its undo and its redo.
//
// The step keeps an image of every record before and after (some 40 MB for
// 100,000 staff), so the first apply also pays for the system handing the
// process new memory: the table gives that first apply and, as the floor,
// the time to touch fresh memory of that size. The other figures are the
// best of the runs, with freed memory kept for reuse (as a long-running
// editor has it).
//
//   quarndb-bulk-bench [--scale 10] [--records 100000] [--runs 5]

#include <malloc.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "db/editing/BulkChange.h"
#include "tools/sample/SampleDb.h"

namespace {

// Milliseconds of the thread's own processor time: on a machine shared with
// other builds the wall clock measures the others as much as this code.
double timed(const std::function<void()>& fn)
{
    const double start = bench::threadMs();
    fn();
    return bench::threadMs() - start;
}

}  // namespace

int main(int argc, char** argv)
{
    double scale = 10;
    std::size_t records = 100000;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--scale") == 0)
            scale = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--records") == 0)
            records = static_cast<std::size_t>(std::atol(argv[i + 1]));
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    // The floor of a first apply: touching 40 MB of fresh memory (measured
    // first, while the process has no freed memory to reuse).
    const std::size_t fresh = 40u << 20;
    double freshMs = 0;
    {
        std::vector<char*> blocks;
        freshMs = timed([&] {
            for (std::size_t k = 0; k < fresh / 4096; ++k) {
                blocks.push_back(static_cast<char*>(std::malloc(4096)));
                std::memset(blocks.back(), 1, 4096);
            }
        });
        for (char* b : blocks) std::free(b);
    }
    // Freed memory stays with the process between runs.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    db::Database d = sample::makeDatabase({scale, 7});
    std::vector<std::int32_t> ids(std::min(records, d.staff.size()));
    std::iota(ids.begin(), ids.end(), 0);
    db::BulkPlan plan{db::TableId::Staff, {}, db::OverflowPolicy::Skip};
    plan.operations.push_back(db::parseBulkOperation(d, db::TableId::Staff, "Wage*=110%"));

    double preview = 1e300, apply = 1e300, undo = 1e300, redo = 1e300, firstApply = 0;
    std::size_t changed = 0;
    for (int r = 0; r < runs; ++r) {
        preview = std::min(preview, timed([&] { changed = db::previewBulkChange(d, plan, ids).changed; }));
        db::ChangeStep step;
        const double ms = timed([&] {
            const db::BulkEdits edits = db::planBulkChange(d, plan, ids);
            db::ChangeRecorder recorder(d);
            db::touchForBulk(recorder, d, edits);
            db::applyBulkChange(d, edits);
            step = recorder.finish(d);
        });
        if (r == 0) firstApply = ms;
        apply = std::min(apply, ms);
        undo = std::min(undo, timed([&] { step.undo(d); }));
        redo = std::min(redo, timed([&] { step.redo(d); }));
        step.undo(d);
        if (step.changes.size() != changed + 0 || changed == 0) {
            std::fprintf(stderr, "the step holds %zu records, the preview said %zu\n", step.changes.size(),
                         changed);
            return 1;
        }
    }
    std::printf(
        "| Scale | Staff | Records changed | Preview | Apply (plan, touch, edits, finish) | Undo | Redo "
        "| First apply | Fresh 40 MB |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    std::printf("| %g× | %zu | %zu | %.1f ms | %.1f ms | %.1f ms | %.1f ms | %.0f ms | %.0f ms |\n", scale,
                d.staff.size(), changed, preview, apply, undo, redo, firstApply, freshMs);
    return 0;
}

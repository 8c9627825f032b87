// Measures the cost of the editing history on a generated database: the
// loaded copy, capturing and undoing one step, a whole-table capture (as an
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

#include "db/editing/ChangeList.h"
#include "db/editing/NewClub.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::TableId;

// The best wall time of `runs` calls of `fn`, in milliseconds: on a shared
// machine the fastest run is the one least disturbed by others.
double bestMs(int runs, const std::function<void()>& fn)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return *std::min_element(times.begin(), times.end());
}

// One Confirm Changes of a player: his general and playing records.
db::ChangeStep confirmPlayer(db::Database& d, std::size_t k)
{
    const std::size_t id = (k * 7919) % d.staff.size();
    db::ChangeRecorder r(d);
    r.touch(TableId::Staff, static_cast<std::int64_t>(id));
    r.touch(TableId::Players, d.staff[id].get(db::StaffRecord::PlayerId));
    d.staff[id].set(db::StaffRecord::Wage, static_cast<std::int32_t>(k + 1000));
    const std::int32_t p = d.staff[id].get(db::StaffRecord::PlayerId);
    if (db::isValidRef(p, d.players.size()))
        d.players[static_cast<std::size_t>(p)].set(db::PlayerRecord::Pace,
                                                   static_cast<std::uint8_t>(k % 200 + 1));
    return r.finish(d);
}

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

    db::DatabaseImage loaded;
    const double copyMs = bestMs(runs, [&] { loaded = db::savedTablesImage(d); });
    std::size_t copyBytes = 0;
    for (const db::TableImage& t : loaded.tables) {
        copyBytes += t.bytes.size();
        for (const std::string& n : t.displayNames) copyBytes += n.size();
    }
    std::printf("loaded copy: %.2f ms, %.1f MB\n", copyMs, static_cast<double>(copyBytes) / 1e6);

    std::vector<db::ChangeStep> steps;
    for (int k = 0; k < changes / 2; ++k) steps.push_back(confirmPlayer(d, static_cast<std::size_t>(k)));
    const double captureMs = bestMs(runs, [&] {
        db::ChangeStep s = confirmPlayer(d, 424242);
        s.undo(d);
    });
    const double undoRedoMs = bestMs(runs, [&] {
        steps.back().undo(d);
        steps.back().redo(d);
    });
    std::printf("one step: capture %.3f ms, undo + redo %.3f ms\n", captureMs, undoRedoMs);

    const double wholeMs = bestMs(runs, [&] {
        db::ChangeRecorder r(d);
        r.touchAll();
        d.appendClub(db::composeNewClub(d));
        r.finish(d).undo(d);
    });
    std::printf("whole-table capture of a step: %.2f ms\n", wholeMs);

    std::vector<const db::ChangeStep*> applied;
    for (const db::ChangeStep& s : steps) applied.push_back(&s);
    std::size_t lines = 0;
    const double listMs = bestMs(runs, [&] {
        const auto entries = db::listChanges(loaded, d, applied);
        const db::RecordNamer namer(d);
        std::vector<db::ChangeText> texts;
        for (const auto& e : entries) texts.push_back(db::describeChange(e, loaded, d, namer));
        lines = texts.size();
    });
    const double diffMs = bestMs(runs, [&] { db::listChanges(loaded, d, {}); });
    // The floor of any comparison: one memcmp of as many bytes against a copy.
    std::vector<std::uint8_t> all;
    for (const db::TableImage& t : loaded.tables) all.insert(all.end(), t.bytes.begin(), t.bytes.end());
    const std::vector<std::uint8_t> copy = all;
    int sink = 0;
    const double floorMs = bestMs(runs, [&] { sink += std::memcmp(all.data(), copy.data(), all.size()); });
    std::printf(
        "list of %zu changes (from %zu steps): %.2f ms; comparing the tables alone %.2f ms, memcmp floor "
        "%.2f ms%s\n",
        lines, steps.size(), listMs, diffMs, floorMs, sink ? "!" : "");
    return 0;
}

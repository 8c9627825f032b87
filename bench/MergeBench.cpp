// Measures merging updates made from one database: three updates of a
// season's edits each (a re-rating of one player in fifty, a transfer of one
// person in two hundred, a few new clubs with a player each), made from the
// same generated database, merged in memory. The merge checks each update
// against the base first (fingerprint and old values), so the base's
// fingerprint is shown apart.
//
//   quarndb-merge-bench [--scale 10] [--runs 5]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/editing/Transfer.h"
#include "db/exchange/Merge.h"
#include "db/exchange/json/UpdateJson.h"
#include "tools/sample/SampleDb.h"

namespace {

// The best wall time of `runs` calls, in milliseconds (the least disturbed
// run on a shared machine).
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

// One person's season of edits; `side` shifts which records it touches, so
// the three sides re-rate different players and move different people
// (whose club slots may still meet).
db::Database edited(const db::Database& a, int side)
{
    db::Database b = a;
    std::mt19937 rng(static_cast<unsigned>(11 + side));
    auto pick = [&](std::size_t n) { return static_cast<std::int32_t>(rng() % n); };
    for (std::size_t i = static_cast<std::size_t>(side) * 16; i < b.players.size(); i += 50)
        b.players[i].set(db::PlayerRecord::CurrentAbility, static_cast<std::int16_t>(100 + pick(100)));
    for (std::size_t i = static_cast<std::size_t>(side) * 60; i < b.staff.size(); i += 200) {
        const db::StaffRecord& s = b.staff[i];
        db::transferStaff(b, {static_cast<std::int32_t>(i), s.get(db::StaffRecord::ClubContractedId),
                              pick(b.clubs.size()), s.get(db::StaffRecord::JobForClub)});
    }
    for (int k = 0; k < 20; ++k) {
        const std::int32_t club = b.appendClub(db::composeNewClub(b));
        const std::int32_t who = db::addNewStaff(b, db::Classification::Player, db::Job::Player);
        db::transferStaff(b, {who, -2, club, db::Job::Player});
    }
    return b;
}

}  // namespace

int main(int argc, char** argv)
{
    double scale = 10;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--scale")
            scale = std::atof(argv[i + 1]);
        else if (a == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else {
            std::fprintf(stderr, "usage: quarndb-merge-bench [--scale S] [--runs N]\n");
            return 2;
        }
    }
    const db::Database base = sample::makeDatabase({scale, 7});
    std::vector<db::MergeInput> inputs;
    for (int side = 0; side < 3; ++side) {
        // Through the file form, as the command reads them.
        const db::Update u = db::decodeUpdate(db::encodeUpdate(db::diffDatabases(base, edited(base, side))));
        const db::UpdateCounts c = db::countUpdate(u);
        std::printf("update %d: %zu fields in %zu records changed, %zu records appended\n", side + 1,
                    c.changedFields, c.changedRecords, c.appendedRecords);
        inputs.push_back({"side" + std::to_string(side + 1), u});
    }
    std::printf("scale %g: %zu staff, %zu players, %zu clubs\n", scale, base.staff.size(),
                base.players.size(), base.clubs.size());

    const double fingerprintMs = bestMs(runs, [&] { db::fingerprintDatabase(base); });
    db::MergeResult result;
    const double mergeMs =
        bestMs(runs, [&] { result = db::mergeUpdates(base, inputs, db::MergePolicy::None); });
    std::string text;
    const double encodeMs = bestMs(runs, [&] { text = db::encodeUpdate(result.merged); });
    const db::UpdateCounts c = db::countUpdate(result.merged);
    std::printf(
        "merge of 3 updates: %.2f ms (of which the base's fingerprint %.2f ms); %zu fields, %zu records "
        "appended, %zu conflicts; encoding the merged update %.2f ms (%zu KB)\n",
        mergeMs, fingerprintMs, c.changedFields, c.appendedRecords, result.conflicts.size(), encodeMs,
        text.size() / 1024);
    // Applying now starts with the target's fingerprint check.
    db::Database target;
    std::vector<double> applyTimes;
    for (int r = 0; r < runs; ++r) {
        target = base;
        applyTimes.push_back(bestMs(1, [&] { db::applyUpdate(target, result.merged); }));
    }
    const double checkMs = bestMs(runs, [&] { db::checkBase(base, result.merged.base); });
    std::printf("applying the merged update in memory: %.2f ms (of which the base check %.2f ms)\n",
                *std::min_element(applyTimes.begin(), applyTimes.end()), checkMs);
    return 0;
}

// Measures the filter language of Find and quarndb-cli find on generated
// databases held in memory: parsing and running a three-condition query
// over every staff member and every player, beside a plain scan of the staff
// table (the floor: one field read from every record), and sorting every
// staff member by one field.
//
//   quarndb-query-bench [--scales 1,10,50] [--runs 5]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "db/query/Query.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::TableId;

volatile std::int64_t sink;

}  // namespace

int main(int argc, char** argv)
{
    std::vector<double> scales{1, 10, 50};
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--scales") == 0)
            scales = bench::parseScales(argv[i + 1]);
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    std::printf(
        "| Scale | Staff | Players | Scan of staff (floor) | Query over staff | Matches | Query over players "
        "| Matches | Sort of staff by Wage | Sort of staff by Name |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (double scale : scales) {
        const db::Database d = sample::makeDatabase({scale, 7});
        const std::string nation = d.nations[3].text(db::NationRecord::NationName);
        const std::string staffQuery = "Wage > 20000 and Age < 25 and Nation = \"" + nation + "\"";
        const std::string playerQuery = "PotentialAbility > 120 and Age < 25 and Nation = \"" + nation + "\"";

        const double scan = bench::bestThreadMs(runs, [&] {
            std::int64_t total = 0;
            for (const db::StaffRecord& s : d.staff) total += s.get(db::StaffRecord::Wage);
            sink = total;
        });
        std::size_t staffFound = 0, playersFound = 0;
        const double staff = bench::bestThreadMs(
            runs, [&] { staffFound = db::Query::parse(TableId::Staff, staffQuery).run(d).size(); });
        const double players = bench::bestThreadMs(
            runs, [&] { playersFound = db::Query::parse(TableId::Players, playerQuery).run(d).size(); });
        std::vector<std::int32_t> all(d.staff.size());
        std::iota(all.begin(), all.end(), 0);
        const auto byWage = db::parseSort(TableId::Staff, "Wage");
        const auto byName = db::parseSort(TableId::Staff, "Name");
        std::vector<std::int32_t> ids;
        double sortWage = 1e300, sortName = 1e300;
        for (int r = 0; r < runs; ++r) {
            ids = all;
            sortWage = std::min(
                sortWage, bench::bestThreadMs(1, [&] { db::sortRecords(d, TableId::Staff, ids, byWage); }));
            ids = all;
            sortName = std::min(
                sortName, bench::bestThreadMs(1, [&] { db::sortRecords(d, TableId::Staff, ids, byName); }));
        }
        std::printf("| %g× | %zu | %zu | %.1f ms | %.1f ms | %zu | %.1f ms | %zu | %.0f ms | %.0f ms |\n",
                    scale, d.staff.size(), d.players.size(), scan, staff, staffFound, players, playersFound,
                    sortWage, sortName);
        std::fflush(stdout);
    }
    return 0;
}

#include "CheckBench.h"

#include <cstdio>
#include <iostream>
#include <sstream>

#include "BenchUtil.h"
#include "db/query/Checker.h"
#include "db/query/WhereUsed.h"
#include "tools/sample/SampleDb.h"

namespace bench {

namespace {

std::string fmt(double v, int decimals = 1)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// The file sizes a generated database's folder would have.
db::FileSizes sizesOf(const db::Database& d)
{
    db::FileSizes sizes;
    sizes["index.dat"] = 8 + 22 * 67;
    for (const db::DataFile& f : db::dataFiles()) {
        std::uint64_t n = 0;
        for (int k : f.entries)
            n += static_cast<std::uint64_t>(d.entry(k).get(db::IndexEntry::RecordCount)) * db::recordSize(k);
        sizes[f.name] = n;
    }
    return sizes;
}

}  // namespace

std::string checkFigures(const std::vector<double>& scales, int runs)
{
    std::ostringstream o;
    o << "\nThe rule checker (milliseconds, median of " << runs << " runs) on the loaded database: the whole "
      << "check is `checkLayout` and `checkRecords`; where used lists every field referring to one club "
      << "(the middle one) or one first name.\n\n";
    o << "| scale | staff / clubs | whole check | where used: club (fields) | where used: first name |\n";
    o << "|---|---|---|---|---|\n";
    for (double scale : scales) {
        std::cerr << "checks at scale " << scale << "...\n";
        const db::Database d = sample::makeDatabase({scale, 7});
        const db::FileSizes sizes = sizesOf(d);
        std::size_t problems = 0, uses = 0;
        const double check =
            medianMs(runs, [&] { problems = db::checkLayout(d, sizes).size() + db::checkRecords(d).size(); });
        const std::size_t club = d.clubs.size() / 2;
        const double whereClub =
            medianMs(runs, [&] { uses = db::whereUsed(d, db::TableId::Clubs, club).size(); });
        const double whereName = medianMs(runs, [&] { db::whereUsed(d, db::TableId::FirstNames, 0); });
        if (problems != 0) std::cerr << "warning: " << problems << " problems in a generated database\n";
        char sc[32];
        std::snprintf(sc, sizeof sc, "%g", scale);
        o << "| " << sc << "× | " << d.staff.size() << " / " << d.clubs.size() << " | " << fmt(check, 2)
          << " | " << fmt(whereClub, 2) << " (" << uses << ") | " << fmt(whereName, 2) << " |\n";
    }
    return o.str();
}

}  // namespace bench

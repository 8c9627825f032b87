#include "UpdateBench.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>

#include "BenchUtil.h"
#include "db/format/Codes.h"
#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/editing/Transfer.h"
#include "db/exchange/Update.h"
#include "db/exchange/json/UpdateJson.h"
#include "tools/cli/Cli.h"
#include "tools/sample/SampleDb.h"

namespace bench {

namespace {

std::string fmt(double v, int decimals = 1)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// A season's worth of edits: one person in fifty re-rated, one in two
// hundred moved to another club, and a few new clubs and people.
db::Database edited(const db::Database& a)
{
    db::Database b = a;
    std::mt19937 rng(11);
    auto pick = [&](std::size_t n) { return static_cast<std::int32_t>(rng() % n); };
    for (std::size_t i = 0; i < b.players.size(); i += 50)
        b.players[i].set(db::PlayerRecord::CurrentAbility, static_cast<std::int16_t>(100 + pick(100)));
    for (std::size_t i = 0; i < b.staff.size(); i += 200) {
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

std::string updateFigures(const std::vector<double>& scales, int runs, const std::vector<double>& coreLoads)
{
    std::ostringstream o;
    o << "\nDatabase updates (milliseconds, median of " << runs << " runs): `diff` compares every record of "
      << "two loaded databases; the commands include loading, and apply also the backup and the save.\n\n";
    o << "| scale | update KB / changes | core diff (× core load) | encode | decode | apply in memory | "
         "quarndb-cli diff | quarndb-cli apply |\n";
    o << "|---|---|---|---|---|---|---|---|\n";
    for (std::size_t s = 0; s < scales.size(); ++s) {
        std::cerr << "updates at scale " << scales[s] << "...\n";
        const db::Database a = sample::makeDatabase({scales[s], 7});
        const db::Database b = edited(a);

        db::Update update;
        const double diff = medianMs(runs, [&] { update = db::diffDatabases(a, b); });
        std::string text;
        const double encode = medianMs(runs, [&] { text = db::encodeUpdate(update); });
        const double decode = medianMs(runs, [&] { update = db::decodeUpdate(text); });
        db::Database target;
        // Each run applies to a fresh copy of the old database, copied outside the timing.
        const double apply = medianMs(
            runs, [&] { target = a; }, [&] { db::applyUpdate(target, update); });
        const db::UpdateCounts counts = db::countUpdate(update);

        const std::filesystem::path root = std::filesystem::temp_directory_path() / "quarndb-bench-update";
        std::filesystem::remove_all(root);
        sample::writeDataFolder(a, (root / "a").string());
        sample::writeDataFolder(b, (root / "b").string());
        const std::string file = (root / "update.json").string();
        std::ostringstream out, err;
        const double cliDiff = medianMs(runs, [&] {
            cli::run({"diff", (root / "a").string(), (root / "b").string(), "-o", file}, out, err);
        });
        double cliApply = 0;
        for (int r = 0; r < runs; ++r) {
            std::filesystem::remove_all(root / "c");
            sample::writeDataFolder(a, (root / "c").string());
            cliApply += medianMs(1, [&] { cli::run({"apply", (root / "c").string(), file}, out, err); });
        }
        cliApply /= runs;
        std::filesystem::remove_all(root);

        const double load = s < coreLoads.size() ? coreLoads[s] : 0;
        char scale[32];
        std::snprintf(scale, sizeof scale, "%g", scales[s]);
        o << "| " << scale << "× | " << text.size() / 1024 << " / " << counts.changedFields << " fields, "
          << counts.appendedRecords << " new records | " << fmt(diff, 2) << " ("
          << (load > 0 ? fmt(diff / load, 2) : std::string("-")) << "×) | " << fmt(encode, 2) << " | "
          << fmt(decode, 2) << " | " << fmt(apply, 2) << " | " << fmt(cliDiff) << " | " << fmt(cliApply)
          << " |\n";
    }
    return o.str();
}

}  // namespace bench

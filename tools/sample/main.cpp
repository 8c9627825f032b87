// quarndb-sample OUTDIR [--scale F] [--seed N] [--wine-prefix DIR]
// quarndb-sample --help | --version
//
// Writes a made-up game database into OUTDIR/data, and with --wine-prefix a
// Wine prefix whose registry names OUTDIR as the game's folder.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "SampleDb.h"
#include "Version.h"
#include "db/storage/FileSystem.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: quarndb-sample OUTDIR [--scale F] [--seed N] [--wine-prefix DIR]\n");
    return 2;
}

int help()
{
    std::printf(
        "Usage: quarndb-sample OUTDIR [--scale F] [--seed N] [--wine-prefix DIR]\n"
        "Writes a made-up Championship Manager 3 database into OUTDIR/data, for trying\n"
        "the editor and quarndb-cli without the game. The same options give the same\n"
        "bytes on every machine.\n"
        "\n"
        "Options:\n"
        "  --scale F            size against the game's own database (default 1, up to 100)\n"
        "  --seed N             seed of the made-up names and numbers (default 1999)\n"
        "  --wine-prefix DIR    also write a Wine prefix whose registry names OUTDIR as\n"
        "                       the game's folder (Linux only)\n"
        "  -h, --help           print this help\n"
        "  --version            print the version\n"
        "\n"
        "Exit status: 0, 1 when the files cannot be written, 2 on bad arguments.\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string outDir;
    std::string winePrefix;
    sample::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") return help();
        if (arg == "--version") {
            std::printf("quarndb-sample %s\n", quarndb::kVersion);
            return 0;
        }
        if (arg == "--scale" && hasValue) {
            options.scale = std::strtod(argv[++i], nullptr);
            if (!(options.scale > 0) || options.scale > 100) return usage();
        } else if (arg == "--seed" && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--wine-prefix" && hasValue) {
            winePrefix = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && outDir.empty()) {
            outDir = arg;
        } else {
            return usage();
        }
    }
    if (outDir.empty()) return usage();
#ifdef _WIN32
    // A Wine prefix is a Linux folder; Windows keeps the game's folder in its
    // own registry, which the game's installer writes.
    if (!winePrefix.empty()) {
        std::fprintf(stderr,
                     "quarndb-sample: --wine-prefix is only for Linux; on Windows the editor reads the "
                     "game's folder from the registry\n");
        return 2;
    }
#endif

    try {
        const auto start = std::chrono::steady_clock::now();
        const db::Database database = sample::makeDatabase(options);
        sample::writeDataFolder(database, outDir);
        if (!winePrefix.empty()) sample::writeWinePrefix(winePrefix, outDir);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s: %zu clubs, %zu nations, %zu staff (%zu players), %zu/%zu/%zu names; %.0f ms\n",
                    db::joinPath(outDir, "data").c_str(), database.clubs.size(), database.nations.size(),
                    database.staff.size(), database.players.size(), database.firstNames.size(),
                    database.secondNames.size(), database.commonNames.size(), ms);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quarndb-sample: %s\n", e.what());
        return 1;
    }
    return 0;
}

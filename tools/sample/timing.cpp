// quarndb-timing [--scale F] [--runs N] [DIR]
//
// Writes the sample database into DIR (a temporary folder by default), then
// loads and saves it through db/ several times and prints the median times.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "SampleDb.h"
#include "db/storage/Storage.h"

namespace {

struct Timing {
    double wallMs;
    double cpuMs;  // less disturbed than wall time when the machine is busy
};

// The median of `runs` runs, wall-clock and processor time.
template <typename F>
Timing median(int runs, F&& f)
{
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        f();
        cpu.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

}  // namespace

int main(int argc, char** argv)
{
    sample::Options options;
    int runs = 7;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc)
            options.scale = std::strtod(argv[++i], nullptr);
        else if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!arg.empty() && arg[0] != '-' && dir.empty())
            dir = arg;
        else {
            // An unknown option must never become the folder written into.
            std::fprintf(stderr, "usage: quarndb-timing [--scale F] [--runs N] [DIR]\n");
            return 2;
        }
    }
    namespace fs = std::filesystem;
    const bool ownDir = dir.empty();
    if (ownDir) dir = (fs::temp_directory_path() / ("quarndb-timing-" + std::to_string(::getpid()))).string();

    const Timing generate = median(1, [&] { sample::writeDataFolder(sample::makeDatabase(options), dir); });
    const std::string wizard = (fs::path(dir) / "wizard.quarn").string();
    std::ofstream(wizard, std::ios::binary).write("\0\0", 2);

    db::NullProgress none;
    db::Database d;
    db::readIndex(d, dir);
    const Timing load = median(runs, [&] { db::loadDatabase(d, dir, wizard, none); });
    const Timing save = median(runs, [&] { db::saveDatabase(d, dir, none); });
    std::printf("scale %.1f: %zu staff, %zu clubs\n", options.scale, d.staff.size(), d.clubs.size());
    std::printf("median of %d runs, wall / processor time:\n", runs);
    std::printf("  generate+write %8.1f ms / %8.1f ms\n", generate.wallMs, generate.cpuMs);
    std::printf("  load           %8.1f ms / %8.1f ms\n", load.wallMs, load.cpuMs);
    std::printf("  save           %8.1f ms / %8.1f ms (every file flushed to disk)\n", save.wallMs,
                save.cpuMs);

    if (ownDir) fs::remove_all(dir);
    return 0;
}

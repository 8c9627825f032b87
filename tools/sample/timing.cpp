// quarndb-timing [--scale F] [--runs N] [DIR]
//
// Writes the sample database into DIR (a temporary folder by default), then
// loads and saves it through db/ several times and prints the median times.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "SampleDb.h"
#include "db/Storage.h"

namespace {

template <typename F>
double medianMs(int runs, F&& f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
        else
            dir = arg;
    }
    namespace fs = std::filesystem;
    const bool ownDir = dir.empty();
    if (ownDir) dir = (fs::temp_directory_path() / ("quarndb-timing-" + std::to_string(::getpid()))).string();

    const double generate = medianMs(1, [&] { sample::writeDataFolder(sample::makeDatabase(options), dir); });
    const std::string wizard = (fs::path(dir) / "wizard.quarn").string();
    std::ofstream(wizard, std::ios::binary).write("\0\0", 2);

    db::NullProgress none;
    db::Database d;
    db::readIndex(d, dir);
    const double load = medianMs(runs, [&] { db::loadDatabase(d, dir, wizard, none); });
    const double save = medianMs(runs, [&] { db::saveDatabase(d, dir, none); });
    std::printf("scale %.1f: %zu staff, %zu clubs\n", options.scale, d.staff.size(), d.clubs.size());
    std::printf("generate+write %.1f ms, load %.1f ms, save %.1f ms (median of %d)\n", generate, load, save,
                runs);

    if (ownDir) fs::remove_all(dir);
    return 0;
}

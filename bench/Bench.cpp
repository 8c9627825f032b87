// Measures loading, saving, searching and filling the windows on generated
// sample databases at several scales, side by side with the hardware's floor
// (plain reads and transactional writes of the same bytes).
//
//   quarndb-bench [--scales 1,10,50] [--runs 5] [--markdown FILE] [--smoke]
//
// With --markdown the table replaces the part of FILE between the markers
// <!-- bench:begin --> and <!-- bench:end -->.

#include <malloc.h>
#include <QApplication>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchUtil.h"
#include "CheckBench.h"
#include "HistoryFigures.h"
#include "UpdateBench.h"
#include "WindowBench.h"
#include "app/Startup.h"
#include "db/query/Search.h"
#include "db/storage/Storage.h"

namespace {

struct Options {
    std::vector<double> scales{1, 10, 50};
    int runs = 5;
    std::string markdown;
    bool smoke = false;
    std::string memoryChild;  // internal: measure one load's memory and exit
};

struct Row {
    double scale = 0;
    long long bytes = 0;
    double floorRead = 0, coreLoad = 0, floorWrite = 0, coreSave = 0;
    double windowOpen = 0;
    double coreSearchSon = 0, coreSearchA = 0, coreSearchClub = 0;
    double pageSearchSon = 0, pageSearchA = 0, pageSearchClub = 0;
    long long memory = 0;
    std::size_t staff = 0, clubs = 0;
    bench::HistoryFigures history;
};

// The changes "memory after" counts: Confirm-sized steps of the history.
constexpr int kHistoryChanges = 1000;

std::string benchRoot()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/quarndb-bench";
}

std::string generate(double scale)
{
    std::ostringstream dir;
    dir << benchRoot() << "/scale-" << scale;
    std::filesystem::remove_all(dir.str());
    std::ostringstream cmd;
    cmd << '"' << QUARNDB_SAMPLE_EXE << "\" \"" << dir.str() << "\" --scale " << scale
        << " --seed 7 > /dev/null";
    if (std::system(cmd.str().c_str()) != 0) throw std::runtime_error("generator failed: " + cmd.str());
    return dir.str();
}

long long memoryOfLoad(const std::string& self, const std::string& dir)
{
    QProcess child;
    child.start(QString::fromStdString(self), {"--memory-child", QString::fromStdString(dir)});
    child.waitForFinished(-1);
    return std::atoll(child.readAllStandardOutput().trimmed().constData());
}

int runMemoryChild(const std::string& dir)
{
    db::Database d;
    db::readIndex(d, dir);
    db::NullProgress none;
    const long long before = bench::residentBytes();
    db::loadDatabase(d, dir, QUARNDB_WIZARD_FILE, none);
    const long long after = bench::residentBytes();
    std::cout << (after - before) << "\n";
    return 0;
}

Row measure(const Options& opt, double scale)
{
    Row r;
    r.scale = scale;
    const std::string dir = generate(scale);
    r.bytes = bench::totalBytes(dir);
    const int runs = opt.runs;

    r.floorRead = bench::medianMs(runs, [&] { bench::readAllFiles(dir); });

    db::Database d;
    db::readIndex(d, dir);
    db::NullProgress none;
    // Every run loads into fresh tables, as File > Open does once per
    // program run, and frees them again, as the floor frees its buffers:
    // reloading into the tables of the previous run would reuse memory
    // whose pages are already there and look cheaper than a real load.
    r.coreLoad = bench::medianMs(runs, [&] {
        db::Database fresh;
        fresh.index = d.index;
        db::loadDatabase(fresh, dir, QUARNDB_WIZARD_FILE, none);
    });
    db::loadDatabase(d, dir, QUARNDB_WIZARD_FILE, none);
    r.staff = d.staff.size();
    r.clubs = d.clubs.size();

    const bench::SavedFiles saved = bench::readSavedFiles(dir);
    r.floorWrite = bench::medianMs(runs, [&] { bench::writeTransactionally(saved); });
    r.coreSave = bench::medianMs(runs, [&] { db::saveDatabase(d, dir, none); });

    std::size_t sink = 0;
    r.coreSearchSon = bench::medianMs(runs, [&] { sink += db::searchStaff(d, "son").size(); });
    r.coreSearchA = bench::medianMs(runs, [&] { sink += db::searchStaff(d, "a").size(); });
    r.coreSearchClub = bench::medianMs(runs, [&] { sink += db::searchClubs(d, "an").size(); });
    if (sink == 0) std::cerr << "warning: searches found nothing\n";

    {
        // Last, as it changes the loaded records.
        std::vector<db::ChangeStep> steps;
        db::LoadedFingerprints fingerprints;
        r.history = bench::measureHistory(d, kHistoryChanges, runs, steps, fingerprints);
    }

    const WindowFigures w = measureWindows(dir, QUARNDB_WIZARD_FILE, runs);
    r.windowOpen = w.open;
    r.pageSearchSon = w.staffSearchSon;
    r.pageSearchA = w.staffSearchA;
    r.pageSearchClub = w.clubSearch;

    r.memory = memoryOfLoad(QCoreApplication::applicationFilePath().toStdString(), dir);
    std::filesystem::remove_all(dir);
    return r;
}

std::string fmt(double v, int decimals = 1)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string scaleText(double scale)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", scale);
    return buf;
}

std::string table(const std::vector<Row>& rows, int runs)
{
    std::ostringstream o;
    o << "Median of " << runs << " runs, milliseconds unless marked; ratios in brackets.\n\n";
    o << "| scale | staff / clubs | data MB | read floor | core load | write floor | core save | File > Open "
         "(× core load) | core search \"son\" / \"a\" / club | page search \"son\" / \"a\" / club | memory "
         "MB (× data) | first change (fingerprints) | history MB after 1,000 changes (× data) |\n";
    o << "|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    const Row& base = rows.front();
    for (const Row& r : rows) {
        const double mb = static_cast<double>(r.bytes) / 1e6;
        o << "| " << scaleText(r.scale) << "× | " << r.staff << " / " << r.clubs << " | " << fmt(mb) << " | "
          << fmt(r.floorRead, 2) << " | " << fmt(r.coreLoad, 2) << " (" << fmt(r.coreLoad / r.floorRead)
          << "×) | " << fmt(r.floorWrite, 2) << " | " << fmt(r.coreSave, 2) << " ("
          << fmt(r.coreSave / r.floorWrite) << "×) | " << fmt(r.windowOpen) << " ("
          << fmt(r.windowOpen / r.coreLoad) << "×) | " << fmt(r.coreSearchSon, 2) << " / "
          << fmt(r.coreSearchA, 2) << " / " << fmt(r.coreSearchClub, 2) << " | " << fmt(r.pageSearchSon)
          << " / " << fmt(r.pageSearchA) << " / " << fmt(r.pageSearchClub) << " | "
          << fmt(static_cast<double>(r.memory) / 1e6) << " ("
          << fmt(static_cast<double>(r.memory) / r.bytes, 2) << "×) | " << fmt(r.history.firstChangeMs, 3)
          << " (" << fmt(r.history.fingerprintMs) << ") | "
          << fmt(static_cast<double>(r.history.historyBytes) / 1e6, 2) << " ("
          << fmt(r.history.memoryRatio(), 3) << "×) |\n";
    }
    if (rows.size() > 1) {
        o << "\nGrowth against " << scaleText(base.scale) << "× (time ratio / data ratio):\n\n";
        o << "| scale | data | core load | core save | File > Open | core search \"a\" | page search \"a\" "
             "|\n";
        o << "|---|---|---|---|---|---|---|\n";
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const Row& r = rows[i];
            o << "| " << scaleText(r.scale) << "× | " << fmt(static_cast<double>(r.bytes) / base.bytes)
              << "× | " << fmt(r.coreLoad / base.coreLoad) << "× | " << fmt(r.coreSave / base.coreSave)
              << "× | " << fmt(r.windowOpen / base.windowOpen) << "× | "
              << fmt(r.coreSearchA / base.coreSearchA) << "× | " << fmt(r.pageSearchA / base.pageSearchA)
              << "× |\n";
        }
    }
    return o.str();
}

void replaceBetweenMarkers(const std::string& file, const std::string& text)
{
    std::ifstream in(file);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string all = ss.str();
    const std::string begin = "<!-- bench:begin -->", end = "<!-- bench:end -->";
    const auto b = all.find(begin), e = all.find(end);
    if (b == std::string::npos || e == std::string::npos || e < b) {
        std::cerr << "markers not found in " << file << "\n";
        return;
    }
    all = all.substr(0, b + begin.size()) + "\n" + text + all.substr(e);
    std::ofstream(file) << all;
}

std::string machine()
{
    std::ifstream cpu("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpu, line))
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown processor";
}

}  // namespace

int main(int argc, char** argv)
{
    // Every load, read floor and File > Open gets fresh pages from the system,
    // as the one File > Open of a real run does. By default the allocator
    // hands blocks under 32 MB back to the next run, so small scales and
    // small tables looked cheaper than a real first load, and ratios between
    // scales (and against File > Open, in its fresh windows) moved with it.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    Options opt;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--scales")
            opt.scales = bench::parseScales(next());
        else if (a == "--runs")
            opt.runs = std::max(1, std::atoi(next().c_str()));
        else if (a == "--markdown")
            opt.markdown = next();
        else if (a == "--smoke")
            opt.smoke = true;
        else if (a == "--memory-child")
            opt.memoryChild = next();
        else {
            std::cerr << "usage: quarndb-bench [--scales 1,10,50] [--runs N] [--markdown FILE] [--smoke]\n";
            return 2;
        }
    }
    if (!opt.memoryChild.empty()) return runMemoryChild(opt.memoryChild);
    if (opt.smoke) {
        opt.scales = {0.05};
        opt.runs = 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication(app);

    std::vector<Row> rows;
    try {
        for (double s : opt.scales) {
            std::cerr << "scale " << s << "...\n";
            rows.push_back(measure(opt, s));
        }
    } catch (const std::exception& e) {
        std::cerr << "benchmark failed: " << e.what() << "\n";
        return 1;
    }
    std::string text = "Machine: " + machine() + ", " + std::to_string(std::thread::hardware_concurrency()) +
                       " cores.\n\n" + table(rows, opt.runs);
    std::vector<double> loads;
    for (const Row& r : rows) loads.push_back(r.coreLoad);
    text += bench::updateFigures(opt.scales, opt.runs, loads);
    text += bench::checkFigures(opt.scales, opt.runs);
    std::cout << text;
    if (!opt.markdown.empty()) replaceBetweenMarkers(opt.markdown, text);
    return 0;
}

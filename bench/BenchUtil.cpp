#include "BenchUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "db/storage/Backup.h"

namespace bench {

namespace fs = std::filesystem;

double medianMs(int runs, const std::function<void()>& fn)
{
    return medianMs(
        runs, [] {}, fn);
}

double medianMs(int runs, const std::function<void()>& setup, const std::function<void()>& fn)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        setup();
        const auto start = std::chrono::steady_clock::now();
        fn();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times.empty() ? 0.0 : times[times.size() / 2];
}

long long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

std::vector<std::string> dataFiles(const std::string& gameDir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(gameDir) / "data"))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

long long totalBytes(const std::string& gameDir)
{
    long long total = 0;
    for (const auto& name : dataFiles(gameDir))
        total += static_cast<long long>(fs::file_size(fs::path(gameDir) / "data" / name));
    return total;
}

namespace {

std::string readWhole(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) throw std::runtime_error("cannot open " + path);
    struct stat st {};
    ::fstat(fd, &st);
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    const ssize_t got = ::read(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (got != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("short read " + path);
    return bytes;
}

}  // namespace

void readAllFiles(const std::string& gameDir)
{
    std::size_t sink = 0;
    for (const auto& name : dataFiles(gameDir))
        sink += readWhole((fs::path(gameDir) / "data" / name).string()).size();
    if (sink == 0) throw std::runtime_error("empty data folder");
}

const std::vector<std::string>& savedFileNames()
{
    return db::savedFileNames();
}

SavedFiles readSavedFiles(const std::string& gameDir)
{
    SavedFiles files;
    const fs::path data = fs::path(gameDir) / "data";
    for (const auto& name : savedFileNames()) {
        const std::string path = (data / name).string();
        files.emplace_back(path, readWhole(path));
    }
    return files;
}

void writeTransactionally(const SavedFiles& files)
{
    if (files.empty()) return;
    for (const auto& [path, bytes] : files) {
        const std::string tmp = path + ".bench-tmp";
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) throw std::runtime_error("cannot create " + tmp);
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("short write " + tmp);
        ::fsync(fd);
        ::close(fd);
    }
    for (const auto& [path, bytes] : files) ::rename((path + ".bench-tmp").c_str(), path.c_str());
    const std::string dir = fs::path(files.front().first).parent_path().string();
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double bestThreadMs(int runs, const std::function<void()>& fn)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const double start = threadMs();
        fn();
        best = std::min(best, threadMs() - start);
    }
    return best;
}

double bestWallMs(int runs, const std::function<void()>& fn)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        best = std::min(
            best,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

std::vector<double> parseScales(const std::string& text)
{
    std::vector<double> out;
    std::stringstream ss(text);
    for (std::string item; std::getline(ss, item, ',');) out.push_back(std::stod(item));
    return out;
}

}  // namespace bench

#pragma once

// Small timing and file helpers for the benchmark program.

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Median wall time of `runs` calls of `fn`, in milliseconds.
double medianMs(int runs, const std::function<void()>& fn);
// The same with `setup` run before each call, outside the timing.
double medianMs(int runs, const std::function<void()>& setup, const std::function<void()>& fn);

// Processor time of the calling thread, in milliseconds.
double threadMs();
// The best of `runs` calls of `fn`: in processor time of the thread (on a
// machine shared with other builds the wall clock measures them too), or in
// wall time for work that waits on others (painting, the disk).
double bestThreadMs(int runs, const std::function<void()>& fn);
double bestWallMs(int runs, const std::function<void()>& fn);

// "1,10,50" as numbers.
std::vector<double> parseScales(const std::string& text);

// Resident set size of this process in bytes.
long long residentBytes();

// The files of a game folder's data directory, by name.
std::vector<std::string> dataFiles(const std::string& gameDir);
long long totalBytes(const std::string& gameDir);

// The hardware's floor for a load: every data file read with one read.
void readAllFiles(const std::string& gameDir);

// The hardware's floor for a save: the files a save writes, each written to a
// temporary beside it with the same bytes, fsynced and renamed over it, then
// the folder fsynced. The bytes are read beforehand, outside the timing.
using SavedFiles = std::vector<std::pair<std::string, std::string>>;  // path, bytes
SavedFiles readSavedFiles(const std::string& gameDir);
void writeTransactionally(const SavedFiles& files);

// The files a save writes.
const std::vector<std::string>& savedFileNames();

}  // namespace bench

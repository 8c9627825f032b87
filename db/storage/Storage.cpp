#include "db/storage/Storage.h"

#include <algorithm>
#include <cstring>

#include "db/storage/FileSystem.h"
#include "db/storage/StorageFiles.h"

namespace db {

namespace files {

void cannotOpen(const std::string& path)
{
    throw Error("Cannot open file " + path);
}

void readError()
{
    throw Error("Stream read error");
}

void writeError()
{
    throw Error("Stream write error");
}

std::string unchangedState(IoError why)
{
    std::string s = "Nothing was changed; your edits are still open; ";
    switch (why) {
        case IoError::DiskFull:
            return s + "free some space and Save again.";
        case IoError::PermissionDenied:
        case IoError::ReadOnly:
            return s + "make the game's data folder writable and Save again.";
        default:
            return s + "Save again.";
    }
}

void saveFailed(const char* first, const std::string& what, IoError why)
{
    const std::string cause = describe(why);
    throw Error(std::string(first) + ". " + what + " failed" + (cause.empty() ? "" : ": " + cause) + ". " +
                unchangedState(why));
}

std::string folderOf(const std::string& path)
{
#ifdef _WIN32
    const std::size_t cut = path.find_last_of("\\/");
#else
    const std::size_t cut = path.find_last_of('/');
#endif
    if (cut == std::string::npos) return ".";
    if (cut == 0) return path.substr(0, 1);
    return path.substr(0, cut);
}

std::size_t wantedCount(const Database& db, int k)
{
    const std::int32_t count = db.entry(k).get(IndexEntry::RecordCount);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

}  // namespace files

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// The entry of `dir` whose name equals `name` but for letter case; an exact
// match wins, then the first in name order so the choice is stable.
std::string findIgnoringCase(FileSystem& fs, const std::string& dir, const std::string& name)
{
    std::vector<std::string> entries;
    if (!fs.listDirectory(dir, entries)) return {};
    std::sort(entries.begin(), entries.end());
    std::string found;
    for (const std::string& e : entries) {
        if (e == name) return e;
        if (found.empty() && sameIgnoringCase(e, name)) found = e;
    }
    return found;
}

}  // namespace

FileSystem& realFileSystem()
{
    static NativeFileSystem fs;
    return fs;
}

std::string dataFilePath(const std::string& gameDir, const std::string& fileName, FileSystem& fs)
{
    const std::string built = joinPath(joinPath(gameDir, "data"), fileName);
    if (fs.exists(built)) return built;

    std::string dataDir = joinPath(gameDir, "data");
    if (!fs.isDirectory(dataDir)) {
        const std::string other = findIgnoringCase(fs, gameDir, "data");
        if (other.empty()) return built;
        dataDir = joinPath(gameDir, other);
    }
    const std::string file = findIgnoringCase(fs, dataDir, fileName);
    return file.empty() ? built : joinPath(dataDir, file);
}

std::string dataFilePath(const std::string& gameDir, const std::string& fileName)
{
    return dataFilePath(gameDir, fileName, realFileSystem());
}

void readIndex(Database& db, const std::string& gameDir, FileSystem& fs)
{
    db.index.clear();
    const std::string path = dataFilePath(gameDir, files::kIndex, fs);
    std::vector<std::uint8_t> bytes;
    const ReadStatus status = fs.readFile(path, bytes);
    if (status == ReadStatus::CannotOpen) files::cannotOpen(path);
    if (status != ReadStatus::Ok) files::readError();

    db.index.reserve(Entry::Count);
    for (int k = 0; k < Entry::Count; ++k) {
        const std::size_t at = files::kIndexHeader + IndexEntry::Size * static_cast<std::size_t>(k);
        if (at + IndexEntry::Size > bytes.size()) files::readError();
        IndexEntry e;
        std::memcpy(e.data(), bytes.data() + at, IndexEntry::Size);
        db.index.push_back(e);
    }
}

void readIndex(Database& db, const std::string& gameDir)
{
    readIndex(db, gameDir, realFileSystem());
}

}  // namespace db

#include "MemoryFileSystem.h"

#include <algorithm>
#include <cstring>

namespace fuzz {

std::string MemoryFileSystem::key(const std::string& path)
{
#ifdef _WIN32
    // Paths built by db::joinPath use '\' on Windows, the harness's own use
    // '/': both separate folders here, as on Windows itself.
    std::string k = path;
    std::replace(k.begin(), k.end(), '\\', '/');
    return k;
#else
    return path;
#endif
}

std::string MemoryFileSystem::parentOf(const std::string& path)
{
    const std::size_t cut = path.find_last_of('/');
    if (cut == std::string::npos || cut == 0) return "/";
    return path.substr(0, cut);
}

void MemoryFileSystem::put(const std::string& givenPath, std::vector<std::uint8_t> bytes)
{
    const std::string path = key(givenPath);
    for (std::string dir = parentOf(path); dirs_.insert(dir).second; dir = parentOf(dir)) {
    }
    files_[path] = std::move(bytes);
    modes_[path] = 0644;
}

db::ReadStatus MemoryFileSystem::readFile(const std::string& givenPath, std::vector<std::uint8_t>& out)
{
    const std::string path = key(givenPath);
    out.clear();
    const auto it = files_.find(path);
    if (it == files_.end()) return db::ReadStatus::CannotOpen;
    out = it->second;
    return db::ReadStatus::Ok;
}

db::ReadStatus MemoryFileSystem::readRange(const std::string& givenPath, std::uint64_t offset,
                                           std::size_t size, std::vector<std::uint8_t>& out)
{
    const std::string path = key(givenPath);
    out.clear();
    const auto it = files_.find(path);
    if (it == files_.end()) return db::ReadStatus::CannotOpen;
    const std::vector<std::uint8_t>& bytes = it->second;
    if (offset > bytes.size() || size > bytes.size() - offset) return db::ReadStatus::ReadFailed;
    const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    out.assign(from, from + static_cast<std::ptrdiff_t>(size));
    return db::ReadStatus::Ok;
}

bool MemoryFileSystem::fileSize(const std::string& givenPath, std::uint64_t& size)
{
    const std::string path = key(givenPath);
    const auto it = files_.find(path);
    if (it == files_.end()) return false;
    size = it->second.size();
    return true;
}

bool MemoryFileSystem::exists(const std::string& givenPath)
{
    const std::string path = key(givenPath);
    return files_.count(path) > 0 || dirs_.count(path) > 0;
}

bool MemoryFileSystem::isDirectory(const std::string& givenPath)
{
    const std::string path = key(givenPath);
    return dirs_.count(path) > 0;
}

bool MemoryFileSystem::canOpenForWriting(const std::string& givenPath)
{
    const std::string path = key(givenPath);
    return files_.count(path) > 0;
}

db::FileHandle MemoryFileSystem::createTemporary(const std::string& givenDir, const std::string& prefix,
                                                 std::string& createdPath)
{
    const std::string dir = key(givenDir);
    if (!isDirectory(dir)) return db::kNoFile;
    std::string path;
    do path = db::joinPath(dir, prefix + std::to_string(nextTemp_++));
    while (exists(path));
    createdPath = path;
    return createNew(path);
}

db::FileHandle MemoryFileSystem::createNew(const std::string& givenPath)
{
    const std::string path = key(givenPath);
    if (exists(path) || !isDirectory(parentOf(path))) return db::kNoFile;
    files_[path] = {};
    modes_[path] = 0644;
    open_[nextHandle_] = path;
    return nextHandle_++;
}

bool MemoryFileSystem::write(db::FileHandle file, const void* data, std::size_t size)
{
    const auto it = open_.find(file);
    if (it == open_.end()) return false;
    auto& bytes = files_[it->second];
    const std::size_t at = bytes.size();
    bytes.resize(at + size);
    if (size > 0) std::memcpy(bytes.data() + at, data, size);
    return true;
}

bool MemoryFileSystem::sync(db::FileHandle file)
{
    return open_.count(file) > 0;
}

bool MemoryFileSystem::close(db::FileHandle file)
{
    return open_.erase(file) > 0;
}

bool MemoryFileSystem::rename(const std::string& givenFrom, const std::string& givenTo)
{
    const std::string from = key(givenFrom);
    const std::string to = key(givenTo);
    const auto it = files_.find(from);
    if (it == files_.end() || dirs_.count(to) > 0 || !isDirectory(parentOf(to))) return false;
    files_[to] = std::move(it->second);
    modes_[to] = modes_[from];
    files_.erase(from);
    modes_.erase(from);
    return true;
}

bool MemoryFileSystem::remove(const std::string& givenPath)
{
    const std::string path = key(givenPath);
    modes_.erase(path);
    return files_.erase(path) > 0;
}

// Files here are only ever written while new, so a copy behaves like a
// second name for the same content.
bool MemoryFileSystem::link(const std::string& givenFrom, const std::string& givenTo)
{
    const std::string from = key(givenFrom);
    const std::string to = key(givenTo);
    const auto it = files_.find(from);
    if (it == files_.end() || exists(to) || !isDirectory(parentOf(to))) return false;
    files_[to] = it->second;
    modes_[to] = modes_[from];
    return true;
}

bool MemoryFileSystem::syncDirectory(const std::string& givenDir)
{
    const std::string dir = key(givenDir);
    return isDirectory(dir);
}

db::MakeDirStatus MemoryFileSystem::makeDirectory(const std::string& givenPath)
{
    const std::string path = key(givenPath);
    if (exists(path)) return db::MakeDirStatus::AlreadyExists;
    if (!isDirectory(parentOf(path))) return db::MakeDirStatus::Failed;
    dirs_.insert(path);
    return db::MakeDirStatus::Ok;
}

bool MemoryFileSystem::removeDirectory(const std::string& givenPath)
{
    const std::string path = key(givenPath);
    const std::string inside = path + "/";
    for (const auto& [name, bytes] : files_)
        if (name.rfind(inside, 0) == 0) return false;
    return dirs_.erase(path) > 0;
}

bool MemoryFileSystem::listDirectory(const std::string& givenDir, std::vector<std::string>& names)
{
    const std::string dir = key(givenDir);
    names.clear();
    if (!isDirectory(dir)) return false;
    const std::string inside = dir == "/" ? dir : dir + "/";
    auto add = [&](const std::string& path) {
        if (path.size() > inside.size() && path.rfind(inside, 0) == 0 &&
            path.find('/', inside.size()) == std::string::npos)
            names.push_back(path.substr(inside.size()));
    };
    for (const auto& [path, bytes] : files_) add(path);
    for (const std::string& d : dirs_) add(d);
    return true;
}

bool MemoryFileSystem::getPermissions(const std::string& givenPath, std::uint32_t& mode)
{
    const std::string path = key(givenPath);
    const auto it = modes_.find(path);
    if (it != modes_.end()) {
        mode = it->second;
        return true;
    }
    if (isDirectory(path)) {
        mode = 0755;
        return true;
    }
    return false;
}

bool MemoryFileSystem::setPermissions(const std::string& givenPath, std::uint32_t mode)
{
    const std::string path = key(givenPath);
    if (files_.count(path) == 0) return false;
    modes_[path] = mode;
    return true;
}

}  // namespace fuzz

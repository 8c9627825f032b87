#pragma once

// A file layer held in memory, so a fuzzing run can load and save thousands
// of databases a second without touching the disk.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "db/storage/FileSystem.h"

namespace fuzz {

class MemoryFileSystem : public db::FileSystem {
public:
    // Adds a file, making its folders.
    void put(const std::string& path, std::vector<std::uint8_t> bytes);
    const std::map<std::string, std::vector<std::uint8_t>>& files() const { return files_; }

    db::ReadStatus readFile(const std::string& path, std::vector<std::uint8_t>& out) override;
    db::ReadStatus readRange(const std::string& path, std::uint64_t offset, std::size_t size,
                             std::vector<std::uint8_t>& out) override;
    bool fileSize(const std::string& path, std::uint64_t& size) override;
    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    bool canOpenForWriting(const std::string& path) override;
    db::FileHandle createTemporary(const std::string& dir, const std::string& prefix,
                                   std::string& createdPath) override;
    db::FileHandle createNew(const std::string& path) override;
    bool write(db::FileHandle file, const void* data, std::size_t size) override;
    bool sync(db::FileHandle file) override;
    bool close(db::FileHandle file) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool link(const std::string& from, const std::string& to) override;
    bool syncDirectory(const std::string& dir) override;
    db::MakeDirStatus makeDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool listDirectory(const std::string& dir, std::vector<std::string>& names) override;
    bool getPermissions(const std::string& path, std::uint32_t& mode) override;
    bool setPermissions(const std::string& path, std::uint32_t mode) override;

private:
    static std::string parentOf(const std::string& path);
    // The spelling a path is stored under.
    static std::string key(const std::string& path);

    std::map<std::string, std::vector<std::uint8_t>> files_;
    std::map<std::string, std::uint32_t> modes_;
    std::set<std::string> dirs_{"/"};
    std::map<db::FileHandle, std::string> open_;
    db::FileHandle nextHandle_ = 1;
    unsigned nextTemp_ = 0;
};

}  // namespace fuzz

#pragma once

// The file operations loading, saving and backing up need, behind one
// interface. The program uses the native implementation; tests put their own
// in front of it to make any single step fail and prove that nothing on disk
// is left half-changed.

#include <cstdint>
#include <string>
#include <vector>

namespace db {

// An open file of the file layer; kNoFile when opening failed.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class ReadStatus { Ok, CannotOpen, ReadFailed };
enum class MakeDirStatus { Ok, AlreadyExists, Failed };

// Why the last failed operation failed, as far as the system tells: what a
// message needs to say what the user can do about it.
enum class IoError { None, DiskFull, PermissionDenied, ReadOnly, IoFailure, Other };

// "the disk is full", "permission denied", ...; empty for None and Other.
const char* describe(IoError error);

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The whole content of an existing file.
    virtual ReadStatus readFile(const std::string& path, std::vector<std::uint8_t>& out) = 0;
    // Exactly `size` bytes of an existing file from `offset` into `out`
    // (resized to `size`); ReadFailed when the file holds fewer.
    virtual ReadStatus readRange(const std::string& path, std::uint64_t offset, std::size_t size,
                                 std::vector<std::uint8_t>& out) = 0;
    // Exactly `size` bytes of an existing file from `offset` into `data`,
    // memory the caller owns (the loader reads into a table's own storage);
    // ReadFailed when the file holds fewer. The default goes through readRange.
    virtual ReadStatus readRangeInto(const std::string& path, std::uint64_t offset, std::size_t size,
                                     void* data);
    // The size in bytes of an existing file.
    virtual bool fileSize(const std::string& path, std::uint64_t& size) = 0;

    virtual bool exists(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;

    // Whether an existing file can be opened for writing. Nothing is created
    // or truncated: the file is opened and closed again.
    virtual bool canOpenForWriting(const std::string& path) = 0;

    // Creates a new, empty file in `dir` whose name starts with `prefix`,
    // never replacing an existing one; its path goes to `createdPath`.
    virtual FileHandle createTemporary(const std::string& dir, const std::string& prefix,
                                       std::string& createdPath) = 0;
    // Creates `path`, failing when it already exists.
    virtual FileHandle createNew(const std::string& path) = 0;

    // Writes all `size` bytes.
    virtual bool write(FileHandle file, const void* data, std::size_t size) = 0;
    // Flushes the file's data to the disk.
    virtual bool sync(FileHandle file) = 0;
    // Starts writing the file's data to the disk without waiting for it, so
    // that a later sync has less to wait for (where the system can; no
    // promise of anything on the disk).
    virtual void startFlush(FileHandle) {}
    virtual bool close(FileHandle file) = 0;

    // Replaces `to` by `from` in one step.
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Gives the existing file `from` the second name `to` (a hard link),
    // failing when `to` exists or the file system has no such links.
    virtual bool link(const std::string& from, const std::string& to) = 0;
    // Makes the renames inside a folder durable (nothing to do on Windows).
    virtual bool syncDirectory(const std::string& dir) = 0;

    virtual MakeDirStatus makeDirectory(const std::string& path) = 0;
    virtual bool removeDirectory(const std::string& path) = 0;
    // The names (not paths) of the entries of a folder.
    virtual bool listDirectory(const std::string& dir, std::vector<std::string>& names) = 0;

    // Permission bits (POSIX mode; on Windows only the read-only attribute).
    virtual bool getPermissions(const std::string& path, std::uint32_t& mode) = 0;
    virtual bool setPermissions(const std::string& path, std::uint32_t mode) = 0;

    // Copies `from` to the new file `to` (never overwriting), data synced.
    virtual bool copyFile(const std::string& from, const std::string& to);

    // Gives the folder `from` the name `to`, failing when `to` exists.
    virtual bool renameFolder(const std::string& from, const std::string& to);

    // The cause of the most recent failed operation.
    IoError lastError() const { return lastError_; }

protected:
    void setLastError(IoError error) { lastError_ = error; }

private:
    IoError lastError_ = IoError::None;
};

// The operating system's files.
class NativeFileSystem : public FileSystem {
public:
    ReadStatus readFile(const std::string& path, std::vector<std::uint8_t>& out) override;
    ReadStatus readRange(const std::string& path, std::uint64_t offset, std::size_t size,
                         std::vector<std::uint8_t>& out) override;
    ReadStatus readRangeInto(const std::string& path, std::uint64_t offset, std::size_t size,
                             void* data) override;
    bool fileSize(const std::string& path, std::uint64_t& size) override;
    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    bool canOpenForWriting(const std::string& path) override;
    FileHandle createTemporary(const std::string& dir, const std::string& prefix,
                               std::string& createdPath) override;
    FileHandle createNew(const std::string& path) override;
    bool write(FileHandle file, const void* data, std::size_t size) override;
    bool sync(FileHandle file) override;
    void startFlush(FileHandle file) override;
    bool close(FileHandle file) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool link(const std::string& from, const std::string& to) override;
    bool syncDirectory(const std::string& dir) override;
    MakeDirStatus makeDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool listDirectory(const std::string& dir, std::vector<std::string>& names) override;
    bool getPermissions(const std::string& path, std::uint32_t& mode) override;
    bool setPermissions(const std::string& path, std::uint32_t mode) override;
    bool renameFolder(const std::string& from, const std::string& to) override;

private:
    // Records the system's reason for the failure just seen; returns false.
    bool failed();
};

// The separator between a folder and a name in the paths we build.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// `dir` followed by the separator and `name`.
std::string joinPath(const std::string& dir, const std::string& name);

}  // namespace db

#pragma once

// Helpers of the database tests: scratch folders, a sample game folder, a
// progress recorder and a file layer that fails on request.

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "db/format/Database.h"
#include "db/storage/FileSystem.h"
#include "db/storage/Progress.h"

namespace testing_db {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // A path below the folder; `relative` uses '/' whatever the system.
    std::string file(const std::string& relative) const;

private:
    std::string path_;
};

// `relative` ("data/club.dat") below `dir`, spelt as the file layer spells
// the paths it builds (db::joinPath).
std::string inFolder(const std::string& dir, const std::string& relative);
std::tm localTime(std::time_t t);
// Sets a file's permission bits through the file layer; on Windows only the
// owner's write bit counts (the read-only attribute).
void setMode(const std::string& path, std::uint32_t mode);
// What modeOf() reads back after setMode(path, mode) on this system.
std::uint32_t modeAfterSet(std::uint32_t mode);

// Copies everything below `from` into the existing folder `to`, replacing
// files of the same name (std::filesystem::copy into an existing folder
// throws with MinGW's library).
void copyTree(const std::string& from, const std::string& to);

Bytes readBytes(const std::string& path);
void writeBytes(const std::string& path, const Bytes& bytes);
std::uint32_t modeOf(const std::string& path);

// Every file below `dir` (relative path with '/' -> bytes and permission bits).
struct FileState {
    Bytes bytes;
    std::uint32_t mode = 0;
    bool operator==(const FileState& o) const { return bytes == o.bytes && mode == o.mode; }
};
std::map<std::string, FileState> snapshot(const std::string& dir);

// A small generated database written as a game folder at `dir`, with a
// wizard.quarn holding `templates` templates at dir/wizard.quarn.
db::Database writeSampleGame(const std::string& dir, double scale = 0.04, int templates = 3);
std::string wizardPathIn(const std::string& dir);
void writeWizard(const std::string& path, std::int16_t count, int recordsPresent);

// Every byte of every table, and the staff display names, back to back:
// equal exactly when two databases hold the same records.
std::vector<std::uint8_t> everything(const db::Database& d);

// Loads a game folder written by writeSampleGame.
db::Database loadGame(const std::string& dir);

// Records every progress call as text ("status Loading Clubs", "max 9", ...);
// steps are counted, not recorded one by one.
class RecordingProgress : public db::Progress {
public:
    std::vector<std::string> calls;
    int steps = 0;
    void show() override { calls.push_back("show"); }
    void hide() override { calls.push_back("hide"); }
    void setStatus(std::string_view text) override { calls.push_back("status " + std::string(text)); }
    void setMaximum(int m) override { calls.push_back("max " + std::to_string(m)); }
    void setPosition(int p) override { calls.push_back("pos " + std::to_string(p)); }
    void step() override
    {
        ++steps;
        if (calls.empty() || calls.back() != "steps") calls.push_back("steps");
    }
};

// The file layer's operations a save, load or backup may fail at.
enum class Op {
    Read,
    CanWrite,
    CreateTemp,
    CreateNew,
    Write,
    Sync,
    Close,
    Rename,
    Remove,
    SyncDir,
    MakeDir,
    List,
    GetPerm,
    SetPerm,
    ReadRange,
    Size,
    Link,
    Count
};
const char* opName(Op op);

// The real file layer, except that the `failAt`-th call (1-based) of
// operation `failOp` fails. Counts every call of every operation.
class FaultyFileSystem : public db::NativeFileSystem {
public:
    Op failOp = Op::Count;
    int failAt = 0;
    // A second fault, for failures while a first one is being undone.
    Op secondOp = Op::Count;
    int secondAt = 0;
    int calls[static_cast<int>(Op::Count)] = {};
    bool failed = false;
    // A file system without hard links (FAT): every link fails.
    bool refuseLinks = false;

    db::ReadStatus readFile(const std::string& path, Bytes& out) override;
    db::ReadStatus readRange(const std::string& path, std::uint64_t offset, std::size_t size,
                             Bytes& out) override;
    bool fileSize(const std::string& path, std::uint64_t& size) override;
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
    bool listDirectory(const std::string& dir, std::vector<std::string>& names) override;
    bool getPermissions(const std::string& path, std::uint32_t& mode) override;
    bool setPermissions(const std::string& path, std::uint32_t mode) override;
    bool renameFolder(const std::string& from, const std::string& to) override;

private:
    bool fails(Op op);
};

// The message of the db::Error `f` throws, or "" when it throws nothing.
template <typename F>
std::string errorOf(F&& f)
{
    try {
        f();
    } catch (const db::Error& e) {
        return e.what();
    }
    return {};
}

}  // namespace testing_db

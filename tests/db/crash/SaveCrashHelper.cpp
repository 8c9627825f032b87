// The program the crash test runs: loads a game folder, makes edits that
// change every saved file (a new club, a new player, which moves the staff
// tables' offsets, a wage, a stadium), and saves it as the editor does (the
// backup first), through a file layer that ends the process just before its
// n-th step.
//
//   save_crash_helper GAMEDIR 0 LOGFILE   save to the end; list every step
//   save_crash_helper GAMEDIR N           end the process before step N

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "db/storage/Backup.h"
#include "db/storage/FileSystem.h"
#include "db/storage/SaveRecord.h"
#include "db/storage/Storage.h"

namespace {

// Counts every step that changes the disk and ends the process at one. The
// phase of the save is told from the steps themselves.
class CrashingFileSystem : public db::NativeFileSystem {
public:
    int stopAt = 0;
    std::ofstream log;

    db::FileHandle createTemporary(const std::string& dir, const std::string& prefix,
                                   std::string& createdPath) override
    {
        phase_ = "staging";
        step("create", db::joinPath(dir, prefix + "*"));
        const db::FileHandle f = NativeFileSystem::createTemporary(dir, prefix, createdPath);
        paths_[f] = createdPath;
        return f;
    }
    db::FileHandle createNew(const std::string& path) override
    {
        if (path.find(".quarn-old") != std::string::npos) phase_ = "keep originals";
        if (path.ends_with(db::kSaveRecordName)) phase_ = "record";
        step("create", path);
        const db::FileHandle f = NativeFileSystem::createNew(path);
        paths_[f] = path;
        return f;
    }
    bool write(db::FileHandle f, const void* data, std::size_t size) override
    {
        step("write", paths_[f]);
        return NativeFileSystem::write(f, data, size);
    }
    bool sync(db::FileHandle f) override
    {
        step("flush", paths_[f]);
        return NativeFileSystem::sync(f);
    }
    bool close(db::FileHandle f) override
    {
        step("close", paths_[f]);
        return NativeFileSystem::close(f);
    }
    bool setPermissions(const std::string& path, std::uint32_t mode) override
    {
        step("chmod", path);
        return NativeFileSystem::setPermissions(path, mode);
    }
    bool link(const std::string& from, const std::string& to) override
    {
        phase_ = "keep originals";
        step("link", to);
        return NativeFileSystem::link(from, to);
    }
    bool rename(const std::string& from, const std::string& to) override
    {
        if (phase_ == "record") phase_ = "swap";
        step("rename", to);
        return NativeFileSystem::rename(from, to);
    }
    bool renameFolder(const std::string& from, const std::string& to) override
    {
        step("rename", to);
        return NativeFileSystem::renameFolder(from, to);
    }
    bool remove(const std::string& path) override
    {
        if (phase_ == "swap") phase_ = "clean-up";
        step("unlink", path);
        return NativeFileSystem::remove(path);
    }
    bool syncDirectory(const std::string& dir) override
    {
        step("flush folder", dir);
        return NativeFileSystem::syncDirectory(dir);
    }
    db::MakeDirStatus makeDirectory(const std::string& path) override
    {
        step("mkdir", path);
        return NativeFileSystem::makeDirectory(path);
    }
    bool removeDirectory(const std::string& path) override
    {
        step("rmdir", path);
        return NativeFileSystem::removeDirectory(path);
    }

private:
    void step(const char* op, const std::string& path)
    {
        if (++count_ == stopAt) std::_Exit(3);
        if (log) log << phase_ << '\t' << op << '\t' << path << '\n';
    }

    int count_ = 0;
    std::string phase_ = "backup";
    std::map<db::FileHandle, std::string> paths_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: save_crash_helper GAMEDIR STEP [LOGFILE]\n";
        return 2;
    }
    const std::string dir = argv[1];
    try {
        db::Database d;
        db::NullProgress none;
        db::readIndex(d, dir);
        db::loadDatabase(d, dir, db::joinPath(dir, "wizard.quarn"), none);
        d.appendClub(db::ClubRecord{});
        d.appendStaff(db::StaffRecord{}, std::nullopt, db::PlayerRecord{});
        d.staff[0].set(db::StaffRecord::Wage, 987654);
        d.stadiums[0].set(db::StadiumRecord::Capacity, 12345);

        CrashingFileSystem fs;
        fs.stopAt = std::atoi(argv[2]);
        if (argc > 3) fs.log.open(argv[3]);
        db::SaveSession session(fs);
        session.save(d, dir, none, 1733690000);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}

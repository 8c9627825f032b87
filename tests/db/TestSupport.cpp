#include "TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "db/editing/ChangeStep.h"
#include "db/storage/Storage.h"
#include "tools/sample/SampleDb.h"

namespace fs = std::filesystem;

namespace testing_db {

TempDir::TempDir()
{
    // create_directory() is false for a folder that exists already, so two
    // tests never share one.
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("quarndb-test-" + std::to_string(random() % 1000000000));
        if (fs::create_directory(candidate)) {
            path_ = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

std::string TempDir::file(const std::string& relative) const
{
    return inFolder(path_, relative);
}

std::string inFolder(const std::string& dir, const std::string& relative)
{
    std::string path = dir;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t cut = std::min(relative.find('/', start), relative.size());
        path = db::joinPath(path, relative.substr(start, cut - start));
        start = cut + 1;
    }
    return path;
}

std::tm localTime(std::time_t t)
{
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Make read-only leftovers removable again.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void copyTree(const std::string& from, const std::string& to)
{
    for (const auto& e : fs::recursive_directory_iterator(from)) {
        const fs::path target = fs::path(to) / fs::relative(e.path(), from);
        if (e.is_directory())
            fs::create_directories(target);
        else
            fs::copy_file(e.path(), target, fs::copy_options::overwrite_existing);
    }
}

Bytes readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::uint32_t modeOf(const std::string& path)
{
    // What the file layer itself reports: POSIX bits, or on Windows the
    // read-only attribute as 0444/0644.
    std::uint32_t mode = 0;
    return db::NativeFileSystem().getPermissions(path, mode) ? mode : 0;
}

void setMode(const std::string& path, std::uint32_t mode)
{
    if (!db::NativeFileSystem().setPermissions(path, mode))
        throw std::runtime_error("cannot set the permissions of " + path);
}

std::uint32_t modeAfterSet(std::uint32_t mode)
{
#ifdef _WIN32
    return (mode & 0200u) ? 0644u : 0444u;
#else
    return mode;
#endif
}

std::map<std::string, FileState> snapshot(const std::string& dir)
{
    std::map<std::string, FileState> out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string rel = fs::relative(e.path(), dir).generic_string();
        if (e.is_directory()) {
            out[rel + "/"] = FileState{{}, modeOf(e.path().string())};
        } else {
            out[rel] = FileState{readBytes(e.path().string()), modeOf(e.path().string())};
        }
    }
    return out;
}

std::string wizardPathIn(const std::string& dir)
{
    return db::joinPath(dir, "wizard.quarn");
}

void writeWizard(const std::string& path, std::int16_t count, int recordsPresent)
{
    Bytes bytes = {static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>((count >> 8) & 0xFF)};
    for (int k = 0; k < recordsPresent; ++k) {
        db::WizardTemplate t;
        t.setText(db::WizardTemplate::TemplateName, "Template " + std::to_string(k));
        t.fill(db::WizardTemplate::Bases1, static_cast<std::uint8_t>(k + 5));
        bytes.insert(bytes.end(), t.data(), t.data() + db::WizardTemplate::Size);
    }
    writeBytes(path, bytes);
}

db::Database writeSampleGame(const std::string& dir, double scale, int templates)
{
    sample::Options o;
    o.scale = scale;
    o.seed = 7;
    db::Database d = sample::makeDatabase(o);
    sample::writeDataFolder(d, dir);
    writeWizard(wizardPathIn(dir), static_cast<std::int16_t>(templates), templates);
    return d;
}

std::vector<std::uint8_t> everything(const db::Database& d)
{
    std::vector<std::uint8_t> out;
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const db::TableImage img = db::tableImage(d, static_cast<db::TableId>(k));
        out.insert(out.end(), img.bytes.begin(), img.bytes.end());
        for (const std::string& n : img.displayNames) out.insert(out.end(), n.begin(), n.end() + 1);
    }
    return out;
}

db::Database loadGame(const std::string& dir)
{
    db::Database d;
    db::NullProgress none;
    db::readIndex(d, dir);
    db::loadDatabase(d, dir, wizardPathIn(dir), none);
    return d;
}

const char* opName(Op op)
{
    static const char* names[] = {"read",    "canWrite", "createTemp", "createNew", "write",   "sync",
                                  "close",   "rename",   "remove",     "syncDir",   "makeDir", "list",
                                  "getPerm", "setPerm",  "readRange",  "size",      "link"};
    return names[static_cast<int>(op)];
}

bool FaultyFileSystem::fails(Op op)
{
    const int n = ++calls[static_cast<int>(op)];
    if ((op == failOp && n == failAt) || (op == secondOp && n == secondAt)) {
        failed = true;
        // A failing write is a full disk; anything else a failing disk.
        setLastError(op == Op::Write ? db::IoError::DiskFull : db::IoError::IoFailure);
        return true;
    }
    return false;
}

db::ReadStatus FaultyFileSystem::readFile(const std::string& path, Bytes& out)
{
    return fails(Op::Read) ? db::ReadStatus::ReadFailed : NativeFileSystem::readFile(path, out);
}

db::ReadStatus FaultyFileSystem::readRange(const std::string& path, std::uint64_t offset, std::size_t size,
                                           Bytes& out)
{
    return fails(Op::ReadRange) ? db::ReadStatus::ReadFailed
                                : NativeFileSystem::readRange(path, offset, size, out);
}

bool FaultyFileSystem::fileSize(const std::string& path, std::uint64_t& size)
{
    return !fails(Op::Size) && NativeFileSystem::fileSize(path, size);
}

bool FaultyFileSystem::canOpenForWriting(const std::string& path)
{
    return !fails(Op::CanWrite) && NativeFileSystem::canOpenForWriting(path);
}

db::FileHandle FaultyFileSystem::createTemporary(const std::string& dir, const std::string& prefix,
                                                 std::string& createdPath)
{
    return fails(Op::CreateTemp) ? db::kNoFile : NativeFileSystem::createTemporary(dir, prefix, createdPath);
}

db::FileHandle FaultyFileSystem::createNew(const std::string& path)
{
    return fails(Op::CreateNew) ? db::kNoFile : NativeFileSystem::createNew(path);
}

bool FaultyFileSystem::write(db::FileHandle file, const void* data, std::size_t size)
{
    if (fails(Op::Write)) {
        // A disk that fills up part way: some bytes land, then the error.
        NativeFileSystem::write(file, data, size / 2);
        return false;
    }
    return NativeFileSystem::write(file, data, size);
}

bool FaultyFileSystem::sync(db::FileHandle file)
{
    return !fails(Op::Sync) && NativeFileSystem::sync(file);
}

bool FaultyFileSystem::close(db::FileHandle file)
{
    const bool closed = NativeFileSystem::close(file);  // the handle is gone either way
    return !fails(Op::Close) && closed;
}

bool FaultyFileSystem::rename(const std::string& from, const std::string& to)
{
    return !fails(Op::Rename) && NativeFileSystem::rename(from, to);
}

bool FaultyFileSystem::remove(const std::string& path)
{
    return !fails(Op::Remove) && NativeFileSystem::remove(path);
}

bool FaultyFileSystem::link(const std::string& from, const std::string& to)
{
    return !fails(Op::Link) && !refuseLinks && NativeFileSystem::link(from, to);
}

bool FaultyFileSystem::syncDirectory(const std::string& dir)
{
    return !fails(Op::SyncDir) && NativeFileSystem::syncDirectory(dir);
}

db::MakeDirStatus FaultyFileSystem::makeDirectory(const std::string& path)
{
    return fails(Op::MakeDir) ? db::MakeDirStatus::Failed : NativeFileSystem::makeDirectory(path);
}

bool FaultyFileSystem::listDirectory(const std::string& dir, std::vector<std::string>& names)
{
    return !fails(Op::List) && NativeFileSystem::listDirectory(dir, names);
}

bool FaultyFileSystem::getPermissions(const std::string& path, std::uint32_t& mode)
{
    return !fails(Op::GetPerm) && NativeFileSystem::getPermissions(path, mode);
}

bool FaultyFileSystem::setPermissions(const std::string& path, std::uint32_t mode)
{
    return !fails(Op::SetPerm) && NativeFileSystem::setPermissions(path, mode);
}

bool FaultyFileSystem::renameFolder(const std::string& from, const std::string& to)
{
    return !fails(Op::Rename) && NativeFileSystem::renameFolder(from, to);
}

}  // namespace testing_db

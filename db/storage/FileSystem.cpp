#include "db/storage/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace db {

std::string joinPath(const std::string& dir, const std::string& name)
{
    return dir + kPathSeparator + name;
}

const char* describe(IoError error)
{
    switch (error) {
        case IoError::DiskFull:
            return "the disk is full";
        case IoError::PermissionDenied:
            return "permission denied";
        case IoError::ReadOnly:
            return "the disk is read-only";
        case IoError::IoFailure:
            return "an input/output error (the disk may be failing)";
        default:
            return "";
    }
}

bool FileSystem::renameFolder(const std::string& from, const std::string& to)
{
    return !exists(to) && rename(from, to);
}

bool FileSystem::copyFile(const std::string& from, const std::string& to)
{
    std::vector<std::uint8_t> bytes;
    if (readFile(from, bytes) != ReadStatus::Ok) return false;
    const FileHandle out = createNew(to);
    if (out == kNoFile) return false;
    const bool ok = write(out, bytes.data(), bytes.size()) && sync(out);
    if (!close(out) || !ok) {
        remove(to);
        return false;
    }
    std::uint32_t mode = 0;
    if (getPermissions(from, mode)) setPermissions(to, mode);
    return true;
}

ReadStatus FileSystem::readRangeInto(const std::string& path, std::uint64_t offset, std::size_t size,
                                     void* data)
{
    std::vector<std::uint8_t> bytes;
    const ReadStatus status = readRange(path, offset, size, bytes);
    if (status == ReadStatus::Ok && size > 0) std::memcpy(data, bytes.data(), size);
    return status;
}

namespace {

// A short random tag for temporary names; collisions are handled by
// creating exclusively and trying again.
std::string randomTag()
{
    static std::mt19937 gen{std::random_device{}()};
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string tag(8, 'x');
    for (char& c : tag) c = kChars[gen() % (sizeof kChars - 1)];
    return tag;
}

}  // namespace

#ifndef _WIN32

bool NativeFileSystem::failed()
{
    switch (errno) {
        case ENOSPC:
        case EDQUOT:
            setLastError(IoError::DiskFull);
            break;
        case EACCES:
        case EPERM:
            setLastError(IoError::PermissionDenied);
            break;
        case EROFS:
            setLastError(IoError::ReadOnly);
            break;
        case EIO:
            setLastError(IoError::IoFailure);
            break;
        default:
            setLastError(IoError::Other);
    }
    return false;
}

ReadStatus NativeFileSystem::readFile(const std::string& path, std::vector<std::uint8_t>& out)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ReadStatus::CannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? ReadStatus::CannotOpen : ReadStatus::ReadFailed;
    }
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return ReadStatus::ReadFailed;
        }
        if (n == 0) break;  // the file shrank meanwhile
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    ::close(fd);
    return ReadStatus::Ok;
}

ReadStatus NativeFileSystem::readRange(const std::string& path, std::uint64_t offset, std::size_t size,
                                       std::vector<std::uint8_t>& out)
{
    out.resize(size);
    return readRangeInto(path, offset, size, out.data());
}

ReadStatus NativeFileSystem::readRangeInto(const std::string& path, std::uint64_t offset, std::size_t size,
                                           void* data)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ReadStatus::CannotOpen;
    auto* out = static_cast<std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // an error, or the file ends before the range does
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return done == size ? ReadStatus::Ok : ReadStatus::ReadFailed;
}

bool NativeFileSystem::fileSize(const std::string& path, std::uint64_t& size)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool NativeFileSystem::exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool NativeFileSystem::isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool NativeFileSystem::canOpenForWriting(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return failed();
    ::close(fd);
    return true;
}

FileHandle NativeFileSystem::createTemporary(const std::string& dir, const std::string& prefix,
                                             std::string& createdPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = joinPath(dir, prefix + randomTag() + ".tmp");
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            createdPath = path;
            return fd;
        }
        if (errno != EEXIST) {
            failed();
            return kNoFile;
        }
    }
    return kNoFile;
}

FileHandle NativeFileSystem::createNew(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) failed();
    return fd < 0 ? kNoFile : fd;
}

bool NativeFileSystem::write(FileHandle file, const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = ::write(static_cast<int>(file), p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return failed();
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool NativeFileSystem::sync(FileHandle file)
{
    return ::fsync(static_cast<int>(file)) == 0 || failed();
}

void NativeFileSystem::startFlush(FileHandle file)
{
#ifdef __linux__
    ::sync_file_range(static_cast<int>(file), 0, 0, SYNC_FILE_RANGE_WRITE);  // a hint: failures do not matter
#else
    (void)file;
#endif
}

bool NativeFileSystem::close(FileHandle file)
{
    return ::close(static_cast<int>(file)) == 0 || failed();
}

bool NativeFileSystem::rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 || failed();
}

bool NativeFileSystem::remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 || failed();
}

bool NativeFileSystem::link(const std::string& from, const std::string& to)
{
    return ::link(from.c_str(), to.c_str()) == 0 || failed();
}

bool NativeFileSystem::renameFolder(const std::string& from, const std::string& to)
{
    // rename() would replace an empty folder of that name; never replace.
    if (exists(to)) {
        errno = EEXIST;
        return failed();
    }
    return ::rename(from.c_str(), to.c_str()) == 0 || failed();
}

bool NativeFileSystem::syncDirectory(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return failed();
    const bool ok = ::fsync(fd) == 0 || failed();
    ::close(fd);
    return ok;
}

MakeDirStatus NativeFileSystem::makeDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), 0755) == 0) return MakeDirStatus::Ok;
    if (errno == EEXIST) return MakeDirStatus::AlreadyExists;
    failed();
    return MakeDirStatus::Failed;
}

bool NativeFileSystem::removeDirectory(const std::string& path)
{
    return ::rmdir(path.c_str()) == 0 || failed();
}

bool NativeFileSystem::listDirectory(const std::string& dir, std::vector<std::string>& names)
{
    names.clear();
    DIR* d = ::opendir(dir.c_str());
    if (!d) return false;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    return true;
}

bool NativeFileSystem::getPermissions(const std::string& path, std::uint32_t& mode)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    return true;
}

bool NativeFileSystem::setPermissions(const std::string& path, std::uint32_t mode)
{
    return ::chmod(path.c_str(), static_cast<mode_t>(mode & 07777)) == 0 || failed();
}

#else  // _WIN32

namespace {

std::wstring wide(const std::string& s)
{
    // Paths come from the registry and the CM3Dir box in the ANSI code page.
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
    return w;
}

std::string narrow(const wchar_t* w)
{
    const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
    return s;
}

HANDLE toHandle(FileHandle f)
{
    return reinterpret_cast<HANDLE>(f);
}

FileHandle fromHandle(HANDLE h)
{
    return h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

}  // namespace

bool NativeFileSystem::failed()
{
    switch (GetLastError()) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            setLastError(IoError::DiskFull);
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            setLastError(IoError::PermissionDenied);
            break;
        case ERROR_WRITE_PROTECT:
            setLastError(IoError::ReadOnly);
            break;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            setLastError(IoError::IoFailure);
            break;
        default:
            setLastError(IoError::Other);
    }
    return false;
}

ReadStatus NativeFileSystem::readFile(const std::string& path, std::vector<std::uint8_t>& out)
{
    out.clear();
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ReadStatus::CannotOpen;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        return ReadStatus::ReadFailed;
    }
    out.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < out.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
        if (!ReadFile(h, out.data() + done, want, &got, nullptr)) {
            CloseHandle(h);
            return ReadStatus::ReadFailed;
        }
        if (got == 0) break;
        done += got;
    }
    out.resize(done);
    CloseHandle(h);
    return ReadStatus::Ok;
}

ReadStatus NativeFileSystem::readRange(const std::string& path, std::uint64_t offset, std::size_t size,
                                       std::vector<std::uint8_t>& out)
{
    out.resize(size);
    return readRangeInto(path, offset, size, out.data());
}

ReadStatus NativeFileSystem::readRangeInto(const std::string& path, std::uint64_t offset, std::size_t size,
                                           void* data)
{
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ReadStatus::CannotOpen;
    auto* out = static_cast<std::uint8_t*>(data);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    std::size_t done = 0;
    if (SetFilePointerEx(h, at, nullptr, FILE_BEGIN)) {
        while (done < size) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            if (!ReadFile(h, out + done, want, &got, nullptr) || got == 0) break;
            done += got;
        }
    }
    CloseHandle(h);
    return done == size ? ReadStatus::Ok : ReadStatus::ReadFailed;
}

bool NativeFileSystem::fileSize(const std::string& path, std::uint64_t& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return true;
}

bool NativeFileSystem::exists(const std::string& path)
{
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool NativeFileSystem::isDirectory(const std::string& path)
{
    const DWORD a = GetFileAttributesW(wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool NativeFileSystem::canOpenForWriting(const std::string& path)
{
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return failed();
    CloseHandle(h);
    return true;
}

FileHandle NativeFileSystem::createTemporary(const std::string& dir, const std::string& prefix,
                                             std::string& createdPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = joinPath(dir, prefix + randomTag() + ".tmp");
        HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            createdPath = path;
            return fromHandle(h);
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            failed();
            return kNoFile;
        }
    }
    return kNoFile;
}

FileHandle NativeFileSystem::createNew(const std::string& path)
{
    const FileHandle f = fromHandle(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f == kNoFile) failed();
    return f;
}

bool NativeFileSystem::write(FileHandle file, const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        DWORD put = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!WriteFile(toHandle(file), p, chunk, &put, nullptr)) return failed();
        if (put == 0) {
            SetLastError(ERROR_DISK_FULL);
            return failed();
        }
        p += put;
        size -= put;
    }
    return true;
}

bool NativeFileSystem::sync(FileHandle file)
{
    return FlushFileBuffers(toHandle(file)) != 0 || failed();
}

void NativeFileSystem::startFlush(FileHandle) {}

bool NativeFileSystem::close(FileHandle file)
{
    return CloseHandle(toHandle(file)) != 0 || failed();
}

bool NativeFileSystem::rename(const std::string& from, const std::string& to)
{
    // Write-through: the call returns only once the new name is on the disk,
    // which is what a flush of the folder does elsewhere.
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0 ||
           failed();
}

bool NativeFileSystem::renameFolder(const std::string& from, const std::string& to)
{
    // Folders cannot be replaced; an existing `to` makes this fail.
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0 || failed();
}

bool NativeFileSystem::remove(const std::string& path)
{
    return DeleteFileW(wide(path).c_str()) != 0 || failed();
}

bool NativeFileSystem::link(const std::string& from, const std::string& to)
{
    // Refused on FAT volumes; the caller then copies instead.
    return CreateHardLinkW(wide(to).c_str(), wide(from).c_str(), nullptr) != 0 || failed();
}

bool NativeFileSystem::syncDirectory(const std::string&)
{
    return true;  // MOVEFILE_WRITE_THROUGH already waited for the rename
}

MakeDirStatus NativeFileSystem::makeDirectory(const std::string& path)
{
    if (CreateDirectoryW(wide(path).c_str(), nullptr)) return MakeDirStatus::Ok;
    if (GetLastError() == ERROR_ALREADY_EXISTS) return MakeDirStatus::AlreadyExists;
    failed();
    return MakeDirStatus::Failed;
}

bool NativeFileSystem::removeDirectory(const std::string& path)
{
    return RemoveDirectoryW(wide(path).c_str()) != 0 || failed();
}

bool NativeFileSystem::listDirectory(const std::string& dir, std::vector<std::string>& names)
{
    names.clear();
    WIN32_FIND_DATAW found{};
    HANDLE h = FindFirstFileW(wide(joinPath(dir, "*")).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    do {
        const std::string name = narrow(found.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return true;
}

bool NativeFileSystem::getPermissions(const std::string& path, std::uint32_t& mode)
{
    const DWORD a = GetFileAttributesW(wide(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    mode = (a & FILE_ATTRIBUTE_READONLY) ? 0444u : 0644u;
    return true;
}

bool NativeFileSystem::setPermissions(const std::string& path, std::uint32_t mode)
{
    const std::wstring w = wide(path);
    DWORD a = GetFileAttributesW(w.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return false;
    a = (mode & 0200u) ? (a & ~DWORD{FILE_ATTRIBUTE_READONLY}) : (a | FILE_ATTRIBUTE_READONLY);
    // The save stages its files under hidden dot names. Wine marks dot files
    // hidden and keeps the mark in the file, so a rename would carry it onto
    // the game's own files: a file given its final permissions is visible.
    a &= ~DWORD{FILE_ATTRIBUTE_HIDDEN};
    return SetFileAttributesW(w.c_str(), a) != 0 || failed();
}

#endif

}  // namespace db

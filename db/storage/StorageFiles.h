#pragma once

// Shared by the loader, the saver and the backup: file names, record reading
// helpers and the messages of failed file operations.

#include <cstdint>
#include <string>
#include <vector>

#include "db/format/Database.h"
#include "db/storage/FileSystem.h"

namespace db::files {

// index.dat; the other files are named by their tables (tableInfo(t).file).
inline constexpr const char* kIndex = tableInfo(TableId::Index).file.data();

// index.dat: an 8-byte header, then 22 entries of 67 bytes.
inline constexpr std::size_t kIndexHeader = 8;
inline constexpr std::size_t kIndexEnd = kIndexHeader + Entry::Count * IndexEntry::Size;

[[noreturn]] void cannotOpen(const std::string& path);
[[noreturn]] void readError();
[[noreturn]] void writeError();

// A failed step of a save or backup that changed nothing: `first` ("Stream
// write error", "Stream read error") stays the first sentence, then what
// failed ("Writing the new club.dat (<path>)"), the system's reason and what
// the user can do.
[[noreturn]] void saveFailed(const char* first, const std::string& what, IoError why);
// "Nothing was changed; your edits are still open; <what to do>."
std::string unchangedState(IoError why);

// The folder part of a path built by joinPath.
std::string folderOf(const std::string& path);

// RecordCount of entry k as a number of records to handle: 0 when the count
// is 0 or less.
std::size_t wantedCount(const Database& db, int k);

}  // namespace db::files

#pragma once

// The record a save writes into the data folder once every new file is
// staged and flushed, before the first original is replaced. It lists, per
// file, the name the new file replaces, the staged file's name, the name the
// original is kept under meanwhile, and the new file's size and checksum.
// While the record exists the save may be half done; whoever opens the folder
// next finishes it (every staged file intact) or puts every original back.
//
// The record ends with a line that counts the files and checks everything
// before it: a record cut short by a crash while it was written is told
// apart from a complete one, and means no original was touched yet.

#include <cstdint>
#include <string>
#include <vector>

namespace db {

class FileSystem;

// The record's name inside the data folder.
inline constexpr const char* kSaveRecordName = ".quarndb-save";
// Written beside the record before the first original is put back: from
// then on a second name that is gone was put back, and the way is back.
inline constexpr const char* kSaveUndoName = ".quarndb-save-undo";

// The checksum of a saved file's content (xxHash XXH3, 64 bits), built up
// piece by piece.
class Checksum {
public:
    Checksum();
    ~Checksum();
    Checksum(const Checksum&) = delete;
    Checksum& operator=(const Checksum&) = delete;
    void add(const void* data, std::size_t size);
    std::uint64_t value() const;

private:
    void* state_;
};

// The size and checksum of an existing file; false when it cannot be read.
bool checksumFile(FileSystem& fs, const std::string& path, std::uint64_t& size, std::uint64_t& sum);

// One file of a save; names are file names inside the data folder.
struct SaveRecordEntry {
    std::string target;  // the game's file the new content replaces
    std::string staged;  // the new content, until it is renamed over target
    std::string kept;    // the original, under a second name, until the end
    std::uint64_t size = 0;
    std::uint64_t checksum = 0;
};

// The files in the order their swaps run (index.dat last).
using SaveRecord = std::vector<SaveRecordEntry>;

std::string formatSaveRecord(const SaveRecord& record);
// False when `text` is not a complete record.
bool parseSaveRecord(const std::vector<std::uint8_t>& text, SaveRecord& record);

}  // namespace db

#pragma once

// The display names of a staff table in the form the name search scans: one
// contiguous text, every name with a-z folded to capitals (as upperAscii
// does) and ended by a zero byte, and where each name starts. A search then
// is one pass over a few bytes a person (std::string_view::find) instead of
// a visit to every staff record and to every name's own text.
//
// The copy is made at the first search and made again, over its own memory,
// when it no longer holds: when any display name changed since
// (DisplayName::changeCount), or the table is another, or another size. It costs the names' bytes, one
// more a name and 4 bytes a name (about 30 bytes a person with the sample
// database's names: 8.8 MB at 10 times the game's size).

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "db/format/Records.h"

namespace db {

struct FoldedNameText {
    std::string text;                   // the folded names, each ended by a zero byte
    std::vector<std::uint32_t> starts;  // where name i starts; one more entry at the end
    // What the copy was made from.
    std::uint64_t changeCount = 0;
    const StaffRecord* table = nullptr;
    std::size_t size = 0;
};

// Sits beside the staff table in the Database. Copies of a database start
// without it; searches from several threads at once are safe.
class FoldedStaffNames {
public:
    FoldedStaffNames() = default;
    FoldedStaffNames(const FoldedStaffNames&) {}
    FoldedStaffNames(FoldedStaffNames&& other) noexcept { take(other); }
    FoldedStaffNames& operator=(const FoldedStaffNames& other)
    {
        if (this != &other) reset();
        return *this;
    }
    FoldedStaffNames& operator=(FoldedStaffNames&& other) noexcept
    {
        if (this != &other) take(other);
        return *this;
    }

    // The folded names of `staff` as they are now, made afresh when needed;
    // null when they cannot be held (over 4 GB of names) or names are being
    // set by a DisplayNamePool meanwhile.
    std::shared_ptr<const FoldedNameText> of(const std::vector<StaffRecord>& staff) const;

    // Forgets the copy (its memory goes once no search uses it).
    void reset();

private:
    void take(FoldedStaffNames& other)
    {
        std::scoped_lock lock(mutex_, other.mutex_);
        names_ = std::move(other.names_);
    }

    mutable std::mutex mutex_;
    mutable std::shared_ptr<FoldedNameText> names_;
};

}  // namespace db

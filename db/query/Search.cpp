#include "db/query/Search.h"

#include "db/rules/TextRules.h"

namespace db {

std::size_t listedCount(const Database& db, int entry, std::size_t tableSize)
{
    if (entry < 0 || static_cast<std::size_t>(entry) >= db.index.size()) return 0;
    const std::int32_t count = db.index[static_cast<std::size_t>(entry)].get(IndexEntry::RecordCount);
    if (count <= 0) return 0;
    return static_cast<std::size_t>(count) < tableSize ? static_cast<std::size_t>(count) : tableSize;
}

std::vector<std::int32_t> searchClubs(const Database& db, std::string_view raw)
{
    std::vector<std::int32_t> found;
    if (raw.empty()) return found;
    const std::string needle = upperAscii(raw);
    const std::size_t n = listedCount(db, Entry::Clubs, db.clubs.size());
    for (std::size_t i = 0; i < n; ++i) {
        const ClubRecord& c = db.clubs[i];
        if (containsFolded(c.text(ClubRecord::LongName), needle) ||
            containsFolded(c.text(ClubRecord::ShortName), needle))
            found.push_back(static_cast<std::int32_t>(i));
    }
    return found;
}

std::vector<std::int32_t> searchStaff(const Database& db, std::string_view raw)
{
    std::vector<std::int32_t> found;
    if (raw.empty()) return found;
    const std::string needle = upperAscii(raw);
    const std::size_t n = listedCount(db, Entry::Staff, db.staff.size());
    for (std::size_t i = 0; i < n; ++i)
        if (containsFolded(db.staff[i].displayName, needle)) found.push_back(static_cast<std::int32_t>(i));
    return found;
}

}  // namespace db

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
    const FoldedNeedle needle(upperAscii(raw));
    const std::size_t n = listedCount(db, Entry::Clubs, db.clubs.size());
    for (std::size_t i = 0; i < n; ++i) {
        const ClubRecord& c = db.clubs[i];
        if (needle.foundIn(c.text(ClubRecord::LongName)) || needle.foundIn(c.text(ClubRecord::ShortName)))
            found.push_back(static_cast<std::int32_t>(i));
    }
    return found;
}

std::vector<std::int32_t> searchStaff(const Database& db, std::string_view raw)
{
    std::vector<std::int32_t> found;
    if (raw.empty()) return found;
    const std::string folded = upperAscii(raw);
    const std::size_t n = listedCount(db, Entry::Staff, db.staff.size());
    // A needle without a zero byte never runs over the zero that ends a
    // name in the folded copy, so every place it is found lies in one name.
    const auto names = folded.find('\0') == std::string::npos ? db.foldedStaffNames.of(db.staff) : nullptr;
    if (!names) {
        const FoldedNeedle needle(folded);
        for (std::size_t i = 0; i < n; ++i)
            if (needle.foundIn(db.staff[i].displayName.view())) found.push_back(static_cast<std::int32_t>(i));
        return found;
    }
    // Room for every person up front: a search for a common letter finds
    // most of them, and growing the list step by step cost more than the
    // scan (copies, and fresh pages for each larger block). Pages never
    // written cost nothing; a short list gives the room back.
    found.reserve(n);
    const std::string_view text = std::string_view(names->text).substr(0, names->starts[n]);
    std::size_t person = 0;
    for (std::size_t at = text.find(folded); at != std::string_view::npos; at = text.find(folded, at)) {
        while (names->starts[person + 1] <= at) ++person;
        found.push_back(static_cast<std::int32_t>(person));
        at = names->starts[person + 1];  // the next name
    }
    if (found.size() < found.capacity() / 4) found.shrink_to_fit();
    return found;
}

}  // namespace db

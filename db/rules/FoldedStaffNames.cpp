#include "db/rules/FoldedStaffNames.h"

#include <limits>

namespace db {

namespace {

bool holds(const FoldedNameText& names, const std::vector<StaffRecord>& staff)
{
    return names.table == staff.data() && names.size == staff.size() &&
           names.changeCount == DisplayName::changeCount();
}

std::shared_ptr<const FoldedNameText> fold(const std::vector<StaffRecord>& staff)
{
    auto names = std::make_shared<FoldedNameText>();
    // Read before the names: a change made meanwhile (by a pool still
    // setting names) makes the copy stale at once rather than never.
    names->changeCount = DisplayName::changeCount();
    names->table = staff.data();
    names->size = staff.size();
    std::size_t bytes = staff.size();
    for (const StaffRecord& s : staff) bytes += s.displayName.view().size();
    if (bytes > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    names->text.resize(bytes);
    names->starts.resize(staff.size() + 1);
    char* out = names->text.data();
    std::uint32_t at = 0;
    for (std::size_t i = 0; i < staff.size(); ++i) {
        names->starts[i] = at;
        for (const char c : staff[i].displayName.view())
            out[at++] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        out[at++] = '\0';
    }
    names->starts[staff.size()] = at;
    return names;
}

}  // namespace

std::shared_ptr<const FoldedNameText> FoldedStaffNames::of(const std::vector<StaffRecord>& staff) const
{
    std::lock_guard lock(mutex_);
    if (DisplayName::poolsOpen()) return nullptr;
    if (!names_ || !holds(*names_, staff)) {
        names_.reset();  // the old copy's memory goes before the new one is made
        names_ = fold(staff);
    }
    return names_;
}

void FoldedStaffNames::reset()
{
    std::lock_guard lock(mutex_);
    names_.reset();
}

}  // namespace db

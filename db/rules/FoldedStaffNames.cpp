#include "db/rules/FoldedStaffNames.h"

#include <limits>

namespace db {

namespace {

bool holds(const FoldedNameText& names, const std::vector<StaffRecord>& staff)
{
    return names.table == staff.data() && names.size == staff.size() &&
           names.changeCount == DisplayName::changeCount();
}

// Makes `names` the folded names of `staff`, reusing its memory: a copy made
// again after a change then writes over pages it already has instead of
// taking fresh ones (which cost far more than the copying).
bool fold(FoldedNameText& names, const std::vector<StaffRecord>& staff)
{
    // Read before the names: a change made meanwhile makes the copy stale
    // at once rather than never.
    names.changeCount = DisplayName::changeCount();
    names.table = staff.data();
    names.size = staff.size();
    names.text.clear();  // keeps its memory
    names.starts.resize(staff.size() + 1);
    for (std::size_t i = 0; i < staff.size(); ++i) {
        const std::string_view name = staff[i].displayName.view();
        const std::size_t at = names.text.size();
        if (at + name.size() + 1 > std::numeric_limits<std::uint32_t>::max()) return false;
        names.starts[i] = static_cast<std::uint32_t>(at);
        names.text.resize(at + name.size() + 1);
        char* out = names.text.data() + at;
        for (const char c : name) *out++ = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        *out = '\0';
    }
    names.starts[staff.size()] = static_cast<std::uint32_t>(names.text.size());
    return true;
}

}  // namespace

std::shared_ptr<const FoldedNameText> FoldedStaffNames::of(const std::vector<StaffRecord>& staff) const
{
    std::lock_guard lock(mutex_);
    if (DisplayName::poolsOpen()) return nullptr;
    if (names_ && holds(*names_, staff)) return names_;
    if (!names_ || names_.use_count() > 1)
        names_ = std::make_shared<FoldedNameText>();  // still in use: a new one
    if (!fold(*names_, staff)) names_.reset();
    return names_;
}

void FoldedStaffNames::reset()
{
    std::lock_guard lock(mutex_);
    names_.reset();
}

}  // namespace db

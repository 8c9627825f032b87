#include "DisplayNames.h"

#include <algorithm>
#include <cstring>

namespace db {

namespace {

std::string_view recordText(const NameRecord& r)
{
    const char* p = reinterpret_cast<const char*>(r.data() + NameRecord::Name.offset);
    const void* nul = std::memchr(p, 0, NameRecord::Name.width);
    return {p, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p) : NameRecord::Name.width};
}

std::vector<DisplayNameMaker::ShortName> shortNames(const Table<NameRecord>& table)
{
    std::vector<DisplayNameMaker::ShortName> out(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string_view t = recordText(table[i]);
        DisplayNameMaker::ShortName& n = out[i];
        if (t.size() <= sizeof n.text) {
            std::memcpy(n.text, t.data(), t.size());
            n.length = static_cast<std::uint8_t>(t.size());
        } else {
            n.length = DisplayNameMaker::ShortName::kLong;
        }
    }
    return out;
}

}  // namespace

std::size_t joinDisplayName(std::string_view first, std::string_view second,
                            char (&out)[StaffRecord::DisplayNameLimit])
{
    constexpr std::size_t limit = StaffRecord::DisplayNameLimit;
    std::size_t n = std::min(first.size(), limit);
    std::memcpy(out, first.data(), n);
    if (n < limit) out[n++] = ' ';
    const std::size_t rest = std::min(second.size(), limit - n);
    std::memcpy(out + n, second.data(), rest);
    return n + rest;
}

DisplayNameMaker::DisplayNameMaker(const Database& db)
    : firsts_(shortNames(db.firstNames)), seconds_(shortNames(db.secondNames)), db_(db)
{
}

std::string_view DisplayNameMaker::text(const Table<NameRecord>& table, const std::vector<ShortName>& shorts,
                                        std::size_t id) const
{
    const ShortName& n = shorts[id];
    if (n.length == ShortName::kLong) return recordText(table[id]);
    return {n.text, n.length};
}

void DisplayNameMaker::set(StaffRecord& s) const
{
    const std::int32_t first = s.get(StaffRecord::FirstNameId);
    const std::int32_t second = s.get(StaffRecord::SecondNameId);
    if (!isValidRef(first, firsts_.size()) || !isValidRef(second, seconds_.size())) {
        s.displayName = std::string_view();
        return;
    }
    char buf[StaffRecord::DisplayNameLimit];
    const std::size_t n = joinDisplayName(text(db_.firstNames, firsts_, static_cast<std::size_t>(first)),
                                          text(db_.secondNames, seconds_, static_cast<std::size_t>(second)), buf);
    s.displayName.assign(std::string_view(buf, n));
}

void DisplayNameMaker::prefetch([[maybe_unused]] const StaffRecord& s) const
{
#if defined(__GNUC__) || defined(__clang__)
    const std::int32_t a = s.get(StaffRecord::FirstNameId);
    const std::int32_t b = s.get(StaffRecord::SecondNameId);
    if (isValidRef(a, firsts_.size())) __builtin_prefetch(&firsts_[static_cast<std::size_t>(a)]);
    if (isValidRef(b, seconds_.size())) __builtin_prefetch(&seconds_[static_cast<std::size_t>(b)]);
#endif
}

void DisplayNameMaker::set(Table<StaffRecord>& staff, std::size_t first, std::size_t end) const
{
    constexpr std::size_t ahead = 16;
    for (std::size_t i = first; i < std::min(end, first + ahead); ++i) prefetch(staff[i]);
    for (std::size_t i = first; i < end; ++i) {
        if (i + ahead < end) prefetch(staff[i + ahead]);
        set(staff[i]);
    }
}

}  // namespace db

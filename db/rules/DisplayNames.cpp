#include "db/rules/DisplayNames.h"

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

static_assert(NameRecord::Name.width < 256, "a name's length fits in a byte");

DisplayNameMaker::PackedNames packNames(const Table<NameRecord>& table)
{
    DisplayNameMaker::PackedNames out;
    out.at.resize(table.size());
    out.bytes.reserve(table.size() * 12);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string_view t = recordText(table[i]);
        out.at[i] = out.bytes.size();
        out.bytes.push_back(static_cast<char>(t.size()));
        out.bytes.append(t);
    }
    return out;
}

// Always inlined: GCC takes a function that only prefetches for one without
// effects and drops the calls to it.
#if defined(__GNUC__) || defined(__clang__)
[[gnu::always_inline]] inline void prefetch(const void* p)
{
    __builtin_prefetch(p);
}
#else
inline void prefetch(const void*) {}
#endif

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
    : firsts_(packNames(db.firstNames)), seconds_(packNames(db.secondNames))
{
}

std::string_view DisplayNameMaker::text(const PackedNames& names, std::int32_t id) const
{
    const char* p = names.bytes.data() + names.at[static_cast<std::size_t>(id)];
    return {p + 1, static_cast<unsigned char>(*p)};
}

void DisplayNameMaker::set(StaffRecord& s)
{
    const std::int32_t first = s.get(StaffRecord::FirstNameId);
    const std::int32_t second = s.get(StaffRecord::SecondNameId);
    if (!isValidRef(first, firsts_.at.size()) || !isValidRef(second, seconds_.at.size())) {
        s.displayName = DisplayName();
        return;
    }
    char buf[StaffRecord::DisplayNameLimit];
    const std::size_t n = joinDisplayName(text(firsts_, first), text(seconds_, second), buf);
    pool_.assign(s.displayName, std::string_view(buf, n));
}

template <typename AddressOf>
DisplayNameMaker::Ahead DisplayNameMaker::ahead(const StaffRecord& s, AddressOf addressOf) const
{
    const std::int32_t a = s.get(StaffRecord::FirstNameId);
    const std::int32_t b = s.get(StaffRecord::SecondNameId);
    return {isValidRef(a, firsts_.at.size()) ? addressOf(firsts_, a) : nullptr,
            isValidRef(b, seconds_.at.size()) ? addressOf(seconds_, b) : nullptr};
}

void DisplayNameMaker::set(StaffRecord* staff, std::size_t first, std::size_t end)
{
    // Where a name is has arrived by the time its text is wanted ahead.
    constexpr std::size_t whereAhead = 32, textAhead = 16;
    const auto where = [](const PackedNames& n, std::int32_t id) -> const void* {
        return &n.at[static_cast<std::size_t>(id)];
    };
    const auto text = [this](const PackedNames& n, std::int32_t id) -> const void* {
        return this->text(n, id).data();
    };
    const auto fetch = [](Ahead a) {
        prefetch(a.first);  // a null address is never fetched, and never faults
        prefetch(a.second);
    };
    for (std::size_t i = first; i < std::min(end, first + whereAhead); ++i) fetch(ahead(staff[i], where));
    for (std::size_t i = first; i < std::min(end, first + textAhead); ++i) fetch(ahead(staff[i], text));
    for (std::size_t i = first; i < end; ++i) {
        if (i + whereAhead < end) fetch(ahead(staff[i + whereAhead], where));
        if (i + textAhead < end) fetch(ahead(staff[i + textAhead], text));
        set(staff[i]);
    }
}

}  // namespace db

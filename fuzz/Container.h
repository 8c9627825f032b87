#pragma once

// The fuzz input: index.dat, the ten data files and wizard.quarn packed one
// after another, each behind a little-endian 32-bit length. A length of
// 0xFFFFFFFF leaves the file out; a length past the end of the input takes
// what is left; files after the end of the input are left out.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/Tables.h"

namespace fuzz {

namespace detail {

// index.dat, the data files in the order of their first index entry, then
// the wizard templates (the order packed inputs keep).
template <std::size_t N>
constexpr std::array<std::string_view, N> fileOrder(std::size_t& count)
{
    std::array<std::string_view, N> out{};
    count = 0;
    const auto add = [&](std::string_view name) {
        for (std::size_t k = 0; k < count; ++k)
            if (out[k] == name) return;
        if (count < N) out[count] = name;
        ++count;
    };
    add(db::tableInfo(db::TableId::Index).file);
    // By value, not through tableAtEntry's pointer: the sanitizers' checks of
    // a pointer make it no constant expression.
    for (int e = 0; e < db::Entry::Count; ++e)
        for (const db::TableInfo& t : db::kTables)
            if (t.entry == e) add(t.file);
    add("wizard.quarn");
    return out;
}

constexpr std::size_t fileCount()
{
    std::size_t n = 0;
    fileOrder<db::kTableCount + 1>(n);
    return n;
}

}  // namespace detail

inline constexpr auto kFileNames = [] {
    std::size_t n = 0;
    return detail::fileOrder<detail::fileCount()>(n);
}();
static_assert(kFileNames.size() == 12);

using Bytes = std::vector<std::uint8_t>;
using Files = std::array<std::optional<Bytes>, kFileNames.size()>;

Files unpack(const std::uint8_t* data, std::size_t size);
Bytes pack(const Files& files);

}  // namespace fuzz

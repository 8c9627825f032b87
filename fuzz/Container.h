#pragma once

// The fuzz input: index.dat, the ten data files and wizard.quarn packed one
// after another, each behind a little-endian 32-bit length. A length of
// 0xFFFFFFFF leaves the file out; a length past the end of the input takes
// what is left; files after the end of the input are left out.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fuzz {

inline constexpr std::array<const char*, 12> kFileNames = {
    "index.dat", "club.dat",      "colour.dat",      "nation.dat",       "stadium.dat",      "staff.dat",
    "city.dat",  "club_comp.dat", "first_names.dat", "second_names.dat", "common_names.dat", "wizard.quarn"};

using Bytes = std::vector<std::uint8_t>;
using Files = std::array<std::optional<Bytes>, kFileNames.size()>;

Files unpack(const std::uint8_t* data, std::size_t size);
Bytes pack(const Files& files);

}  // namespace fuzz

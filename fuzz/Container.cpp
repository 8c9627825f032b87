#include "Container.h"

namespace fuzz {

namespace {
constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
}

Files unpack(const std::uint8_t* data, std::size_t size)
{
    Files files;
    std::size_t at = 0;
    for (auto& file : files) {
        if (size - at < 4) break;
        const std::uint32_t length =
            static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
            static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
        at += 4;
        if (length == kAbsent) continue;
        const std::size_t n = length < size - at ? length : size - at;
        file = Bytes(data + at, data + at + n);
        at += n;
    }
    return files;
}

Bytes pack(const Files& files)
{
    Bytes out;
    for (const auto& file : files) {
        const std::uint32_t length = file ? static_cast<std::uint32_t>(file->size()) : kAbsent;
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        if (file) out.insert(out.end(), file->begin(), file->end());
    }
    return out;
}

}  // namespace fuzz

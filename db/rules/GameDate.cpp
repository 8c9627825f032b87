#include "db/rules/GameDate.h"

namespace db {

namespace {
constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

int monthLength(unsigned month)
{
    if (month == 0) month = 1;
    return kLengths[(month - 1) % 12];
}

void MakeDate(std::int16_t& day, std::uint16_t& month)
{
    int d = day;
    unsigned m = month;
    while (d > 31) {
        d -= monthLength(m);
        ++m;
    }
    day = static_cast<std::int16_t>(d);
    month = static_cast<std::uint16_t>(m);
}

std::uint16_t GetDate(std::int32_t day, std::uint16_t month)
{
    std::int64_t result = static_cast<std::int64_t>(day) - 1;
    if (month > 1) {
        const unsigned before = month - 1u;  // whole months to add
        result += static_cast<std::int64_t>(before / 12) * 365;
        for (unsigned m = 1; m <= before % 12; ++m) result += kLengths[m - 1];
    }
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(result) & 0xFFFFu);
}

}  // namespace db

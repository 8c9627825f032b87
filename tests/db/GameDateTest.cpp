#include <gtest/gtest.h>

#include "db/rules/GameDate.h"

namespace {

struct Shown {
    int day;
    int month;
};

Shown show(std::uint16_t dayOfYear)
{
    std::int16_t day = static_cast<std::int16_t>(static_cast<std::uint16_t>(dayOfYear + 1));
    std::uint16_t month = 1;
    db::MakeDate(day, month);
    return {day, month};
}

}  // namespace

TEST(GameDate, ShowsTheWorkedExamples)
{
    const struct {
        std::uint16_t stored;
        int day, month;
    } cases[] = {{0, 1, 1},    {30, 31, 1},   {31, 1, 2},   {58, 28, 2},  {59, 29, 2},
                 {60, 30, 2},  {61, 31, 2},   {62, 4, 3},   {120, 31, 4}, {364, 31, 12},
                 {365, 1, 13}, {395, 31, 13}, {65535, 0, 1}};
    for (const auto& c : cases) {
        const Shown s = show(c.stored);
        EXPECT_EQ(s.day, c.day) << c.stored;
        EXPECT_EQ(s.month, c.month) << c.stored;
    }
}

TEST(GameDate, StoresTheWorkedExamples)
{
    EXPECT_EQ(db::GetDate(1, 1), 0);
    EXPECT_EQ(db::GetDate(31, 2), 61);
    EXPECT_EQ(db::GetDate(4, 3), 62);
    EXPECT_EQ(db::GetDate(1, 13), 365);
    EXPECT_EQ(db::GetDate(0, 1), 65535);
    EXPECT_EQ(db::GetDate(40, 1), 39);
    EXPECT_EQ(db::GetDate(99, 12), 432);
    EXPECT_EQ(db::GetDate(5, 0), 4);  // a month below 1 adds nothing
    const Shown fortyJan = show(39);
    EXPECT_EQ(fortyJan.day, 9);
    EXPECT_EQ(fortyJan.month, 2);
}

TEST(GameDate, StoringWhatIsShownGivesTheStoredValueBack)
{
    for (int v = 0; v <= 395; ++v) {
        const Shown s = show(static_cast<std::uint16_t>(v));
        ASSERT_EQ(db::GetDate(s.day, static_cast<std::uint16_t>(s.month)), v) << v;
    }
    // Negative days of month 1 and the wrapped value 65535 also come back.
    for (int v = 32767; v <= 65535; ++v) {
        const Shown s = show(static_cast<std::uint16_t>(v));
        ASSERT_EQ(s.month, 1) << v;
        ASSERT_LE(s.day, 0) << v;
        ASSERT_EQ(db::GetDate(s.day, 1), v) << v;
    }
}

TEST(GameDate, EndsForEveryStoredValueAndMonth)
{
    for (int v = 0; v <= 65535; ++v) {
        const Shown s = show(static_cast<std::uint16_t>(v));
        ASSERT_LE(s.day, 31) << v;
    }
    for (int m = 0; m <= 65535; m += 7) db::GetDate(31, static_cast<std::uint16_t>(m));
    EXPECT_EQ(db::GetDate(1, 65535), db::GetDate(1, 65535));
}

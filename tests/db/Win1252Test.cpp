#include <gtest/gtest.h>

#include "db/rules/Win1252.h"

TEST(Win1252, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = db::win1252ToUtf8(all);
    EXPECT_EQ(db::utf8ToWin1252(utf8), all);
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        ASSERT_EQ(db::utf8ToWin1252(db::win1252ToUtf8(one)), one) << b;
    }
}

TEST(Win1252, TheCodePagesOwnLetters)
{
    EXPECT_EQ(db::win1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(db::win1252ToUtf8("\x9A"), "\u0161");  // s caron
    EXPECT_EQ(db::win1252ToUtf8("\x8E"), "\u017D");  // Z caron
    EXPECT_EQ(db::win1252ToUtf8("\xB4"), "\u00B4");
    EXPECT_EQ(db::win1252ToUtf8("\xF8"), "\u00F8");
    EXPECT_EQ(db::utf8ToWin1252("\u00E9\u00FC\u00F8\u0161"), "\xE9\xFC\xF8\x9A");
}

TEST(Win1252, WhatItCannotHoldBecomesAQuestionMark)
{
    EXPECT_EQ(db::utf8ToWin1252("a\u4E2Db"), "a?b");
    EXPECT_EQ(db::utf8ToWin1252("\U0001F600"), "?");
    EXPECT_EQ(db::utf8ToWin1252("x\xC3"), "x?");  // cut short
    EXPECT_EQ(db::utf8ToWin1252("\xFF"
                                "a"),
              "?a");  // not UTF-8 at all
}

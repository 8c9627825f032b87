#include <gtest/gtest.h>

#include <climits>

#include "db/query/Search.h"
#include "db/rules/TextRules.h"

TEST(TextToNumber, ExamplesOfTheEditBoxes)
{
    EXPECT_EQ(db::textToNumber("12abc"), 12);
    EXPECT_EQ(db::textToNumber("-12x"), 12);
    EXPECT_EQ(db::textToNumber("-12"), -12);
    EXPECT_EQ(db::textToNumber("$1F"), 31);
    EXPECT_EQ(db::textToNumber(""), 0);
    EXPECT_EQ(db::textToNumber("abc"), 0);
}

TEST(TextToNumber, SpacesSignsAndPrefixes)
{
    EXPECT_EQ(db::textToNumber("   "), 0);
    EXPECT_EQ(db::textToNumber("  42"), 42);
    EXPECT_EQ(db::textToNumber("+7"), 7);
    EXPECT_EQ(db::textToNumber("0x1f"), 31);
    EXPECT_EQ(db::textToNumber("0X1F"), 31);
    EXPECT_EQ(db::textToNumber("x10"), 16);
    EXPECT_EQ(db::textToNumber("Xff"), 255);
    EXPECT_EQ(db::textToNumber("$"), 0);
    EXPECT_EQ(db::textToNumber("-"), 0);
    EXPECT_EQ(db::textToNumber("-$5"), 0);  // a sign and a prefix never combine
    EXPECT_EQ(db::textToNumber("+-5"), 0);
    EXPECT_EQ(db::textToNumber("12 "), 12);
    EXPECT_EQ(db::textToNumber("-12 "), 12);  // stopped early: the sign is dropped
    EXPECT_EQ(db::textToNumber("0"), 0);
    EXPECT_EQ(db::textToNumber("007"), 7);
}

TEST(TextToNumber, BeyondThirtyTwoBitsKeepsTheLowBits)
{
    EXPECT_EQ(db::textToNumber("2147483647"), INT_MAX);
    EXPECT_EQ(db::textToNumber("2147483648"), INT_MIN);
    EXPECT_EQ(db::textToNumber("4294967295"), -1);
    EXPECT_EQ(db::textToNumber("4294967296"), 0);
    EXPECT_EQ(db::textToNumber("-4294967297"), -1);
    EXPECT_EQ(db::textToNumber("$1FFFFFFFF"), -1);
    EXPECT_EQ(db::textToNumber("99999999999"), 1215752191);
}

TEST(NameSearch, FoldsOnlyPlainLetters)
{
    EXPECT_EQ(db::upperAscii("abz\xE9\xFC"), "ABZ\xE9\xFC");
    EXPECT_TRUE(db::containsFolded("Quarnby Rovers", "ROV"));
    EXPECT_TRUE(db::containsFolded("quarnby", "QUARNBY"));
    EXPECT_FALSE(
        db::containsFolded("M\xFC"
                           "ller",
                           "M\xDC"));  // u-umlaut is not folded
    EXPECT_TRUE(
        db::containsFolded("M\xFC"
                           "ller",
                           db::upperAscii("\xFC"
                                          "ll")));
    EXPECT_FALSE(db::containsFolded("abc", ""));
    EXPECT_FALSE(db::containsFolded("ab", "ABC"));
}

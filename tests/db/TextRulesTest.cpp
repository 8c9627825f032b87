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

// The prepared needle looks at eight places at a time: places at either end
// of a word, in the tail past the last full word, needles as long as the
// text, bytes that only differ by the letter-case bit.
TEST(NameSearch, PreparedNeedleAgreesWithTheRule)
{
    const std::string texts[] = {"",
                                 "a",
                                 "abcdefgh",
                                 "xxxxxxxSON",
                                 "sonxxxxxxxxxxxxxxxxs",
                                 "SoSoSoSoSoSoSoN",
                                 "@`[{\x7F\xC0\xE0",
                                 std::string("a\0b\0c", 5),
                                 "zzzzzzzzzzzzzzzzzzzzzzzzzzzz"};
    const std::string needles[] = {"A",
                                   "SON",
                                   "S",
                                   "N",
                                   "@",
                                   "`",
                                   "[",
                                   "{",
                                   "\xC0",
                                   "\xE0",
                                   "son",
                                   std::string("\0B", 2),
                                   "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZ",
                                   "ABCDEFGH",
                                   "HX"};
    for (const std::string& text : texts)
        for (const std::string& needle : needles)
            EXPECT_EQ(db::FoldedNeedle(needle).foundIn(text), db::containsFolded(text, needle))
                << text << " / " << needle;
    EXPECT_FALSE(db::FoldedNeedle("").foundIn("abc"));
}

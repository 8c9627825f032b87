#include <gtest/gtest.h>

#include "db/TextRules.h"

TEST(TextToNumber, ExamplesOfTheEditBoxes)
{
    EXPECT_EQ(db::textToNumber("12abc"), 12);
    EXPECT_EQ(db::textToNumber("-12x"), 12);
    EXPECT_EQ(db::textToNumber("-12"), -12);
    EXPECT_EQ(db::textToNumber("$1F"), 31);
    EXPECT_EQ(db::textToNumber(""), 0);
    EXPECT_EQ(db::textToNumber("abc"), 0);
}

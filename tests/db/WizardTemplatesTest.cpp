#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "tools/wizard/WizardTemplates.h"

namespace {

std::string shippedTemplates()
{
    std::ifstream in(QUARNDB_TEMPLATES_TXT);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(WizardTemplates, ShippedFileGivesPlayersInRange)
{
    const auto templates = wizard::parseTemplates(shippedTemplates());
    ASSERT_GE(templates.size(), 12u);
    std::set<std::string> names;
    bool fullName = false;
    for (const db::WizardTemplate& t : templates) {
        const std::string name = t.text(db::WizardTemplate::TemplateName);
        EXPECT_TRUE(names.insert(name).second) << name;
        fullName = fullName || name.size() == 50;
        // The wizard adds up to 5 to each base; the result must stay in 0-20.
        for (auto f : {db::WizardTemplate::Bases1, db::WizardTemplate::Bases2, db::WizardTemplate::Bases3})
            for (int i = 0; i < f.width; ++i)
                EXPECT_LE(t.bytes[f.offset + i], 15) << name << " byte " << f.offset + i;
        for (int i = 0; i < db::WizardTemplate::PositionRatings.width; ++i) {
            EXPECT_GE(t.bytes[db::WizardTemplate::PositionRatings.offset + i], 1) << name;
            EXPECT_LE(t.bytes[db::WizardTemplate::PositionRatings.offset + i], 20) << name;
        }
        EXPECT_EQ(t.bytes[95], 0);  // the feet are never taken from a template
        EXPECT_EQ(t.bytes[106], 0);
    }
    EXPECT_TRUE(fullName);
    const auto bytes = wizard::encodeWizardFile(templates);
    ASSERT_EQ(bytes.size(), 2 + 116 * templates.size());
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), static_cast<int>(templates.size()));
}

TEST(WizardTemplates, FieldsLandOnTheirPlayerRecordBytes)
{
    const auto t =
        wizard::parseTemplates("default 3\ntemplate Keeper\n Goalkeeper=20 Pace=9 WorkRate=11 Reflexes=7\n");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].bytes[15 + 47], 20);
    EXPECT_EQ(t[0].bytes[16 + 47], 1);  // an unnamed rating
    EXPECT_EQ(t[0].bytes[54 + 47], 9);
    EXPECT_EQ(t[0].bytes[68 + 47], 11);
    EXPECT_EQ(t[0].bytes[58 + 47], 7);
    EXPECT_EQ(t[0].bytes[27 + 47], 3);  // the default base
}

TEST(WizardTemplates, MistakesAreReportedWithTheirLine)
{
    const auto errorOf = [](const std::string& text) -> std::string {
        try {
            wizard::parseTemplates(text);
        } catch (const wizard::ParseError& e) {
            return e.what();
        }
        return {};
    };
    EXPECT_NE(errorOf("template A\n Speed=3\n").find("line 2"), std::string::npos);
    EXPECT_NE(errorOf("template A\n Pace=300\n"), "");
    EXPECT_NE(errorOf("template A\n Pace=x\n"), "");
    EXPECT_NE(errorOf("template A\n LeftFoot=3\n"), "");
    EXPECT_NE(errorOf("Pace=3\n"), "");
    EXPECT_NE(errorOf("template " + std::string(51, 'n') + "\n"), "");
    EXPECT_EQ(errorOf("template " + std::string(50, 'n') + "\n"), "");
}

#include "WizardTemplates.h"

#include <sstream>
#include <utility>

#include "db/rules/Win1252.h"

namespace wizard {

namespace {

using db::PlayerRecord;
using db::U8Field;

// The player record bytes a template gives, by name.
const std::vector<std::pair<std::string, U8Field>>& positionFields()
{
    static const std::vector<std::pair<std::string, U8Field>> f = {
        {"Goalkeeper", PlayerRecord::Goalkeeper}, {"Sweeper", PlayerRecord::Sweeper},
        {"Defender", PlayerRecord::Defender},     {"Anchorman", PlayerRecord::Anchorman},
        {"Midfielder", PlayerRecord::Midfielder}, {"Supportman", PlayerRecord::Supportman},
        {"Attacker", PlayerRecord::Attacker},     {"Wingback", PlayerRecord::Wingback},
        {"RightSide", PlayerRecord::RightSide},   {"LeftSide", PlayerRecord::LeftSide},
        {"Central", PlayerRecord::Central},       {"FreeRole", PlayerRecord::FreeRole}};
    return f;
}

const std::vector<std::pair<std::string, U8Field>>& attributeFields()
{
    static const std::vector<std::pair<std::string, U8Field>> f = {
        {"Acceleration", PlayerRecord::Acceleration},
        {"Aggression", PlayerRecord::Aggression},
        {"Agility", PlayerRecord::Agility},
        {"Anticipation", PlayerRecord::Anticipation},
        {"Balance", PlayerRecord::Balance},
        {"Bravery", PlayerRecord::Bravery},
        {"Consistency", PlayerRecord::Consistency},
        {"Corners", PlayerRecord::Corners},
        {"Crossing", PlayerRecord::Crossing},
        {"Decisions", PlayerRecord::Decisions},
        {"Dirtiness", PlayerRecord::Dirtiness},
        {"Dribbling", PlayerRecord::Dribbling},
        {"Finishing", PlayerRecord::Finishing},
        {"Flair", PlayerRecord::Flair},
        {"FreeKicks", PlayerRecord::FreeKicks},
        {"Handling", PlayerRecord::Handling},
        {"Heading", PlayerRecord::Heading},
        {"ImportantMatches", PlayerRecord::ImportantMatches},
        {"InjuryProneness", PlayerRecord::InjuryProneness},
        {"Jumping", PlayerRecord::Jumping},
        {"Leadership", PlayerRecord::Leadership},
        {"LongShots", PlayerRecord::LongShots},
        {"Marking", PlayerRecord::Marking},
        {"Movement", PlayerRecord::Movement},
        {"NaturalFitness", PlayerRecord::NaturalFitness},
        {"OneOnOnes", PlayerRecord::OneOnOnes},
        {"Pace", PlayerRecord::Pace},
        {"Passing", PlayerRecord::Passing},
        {"Penalties", PlayerRecord::Penalties},
        {"Positioning", PlayerRecord::Positioning},
        {"Reflexes", PlayerRecord::Reflexes},
        {"Stamina", PlayerRecord::Stamina},
        {"Strength", PlayerRecord::Strength},
        {"Tackling", PlayerRecord::Tackling},
        {"Teamwork", PlayerRecord::Teamwork},
        {"Technique", PlayerRecord::Technique},
        {"ThrowIns", PlayerRecord::ThrowIns},
        {"Versatility", PlayerRecord::Versatility},
        {"Vision", PlayerRecord::Vision},
        {"WorkRate", PlayerRecord::WorkRate}};
    return f;
}

// Template byte standing for player record byte `f`.
std::size_t templateByte(U8Field f)
{
    return static_cast<std::size_t>(f.offset + db::WizardTemplate::PlayerByteShift);
}

std::string trim(const std::string& s)
{
    const std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    const std::size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

int parseValue(const std::string& text, int line)
{
    std::size_t used = 0;
    int v = -1;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || v < 0 || v > 255)
        throw ParseError("line " + std::to_string(line) + ": \"" + text + "\" is not a value from 0 to 255");
    return v;
}

db::WizardTemplate blankTemplate(const std::string& name, int defaultBase, int line)
{
    const std::string raw = db::utf8ToWin1252(name);
    if (raw.empty() || raw.size() > db::WizardTemplate::TemplateName.width)
        throw ParseError("line " + std::to_string(line) + ": a template name has 1 to 50 characters");
    db::WizardTemplate t;
    t.setText(db::WizardTemplate::TemplateName, raw);
    for (const auto& [n, f] : positionFields()) t.bytes[templateByte(f)] = 1;
    for (const auto& [n, f] : attributeFields())
        t.bytes[templateByte(f)] = static_cast<std::uint8_t>(defaultBase);
    return t;
}

}  // namespace

std::vector<db::WizardTemplate> parseTemplates(const std::string& text)
{
    std::vector<db::WizardTemplate> out;
    int defaultBase = 8;
    std::istringstream in(text);
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        std::string s = trim(raw.substr(0, raw.find('#')));
        if (s.empty()) continue;
        if (s.rfind("template ", 0) == 0) {
            out.push_back(blankTemplate(trim(s.substr(9)), defaultBase, line));
            continue;
        }
        if (s.rfind("default ", 0) == 0) {
            defaultBase = parseValue(trim(s.substr(8)), line);
            continue;
        }
        if (out.empty())
            throw ParseError("line " + std::to_string(line) + ": values before the first template");
        std::istringstream words(s);
        std::string word;
        while (words >> word) {
            const std::size_t eq = word.find('=');
            const std::string name = word.substr(0, eq);
            if (eq == std::string::npos)
                throw ParseError("line " + std::to_string(line) + ": expected Field=value, got \"" + word +
                                 "\"");
            const int value = parseValue(word.substr(eq + 1), line);
            bool known = false;
            for (const auto* fields : {&positionFields(), &attributeFields()})
                for (const auto& [n, f] : *fields)
                    if (n == name) {
                        out.back().bytes[templateByte(f)] = static_cast<std::uint8_t>(value);
                        known = true;
                    }
            if (!known) throw ParseError("line " + std::to_string(line) + ": unknown field \"" + name + "\"");
        }
    }
    if (out.size() > 32767) throw ParseError("too many templates");
    return out;
}

std::vector<std::uint8_t> encodeWizardFile(const std::vector<db::WizardTemplate>& templates)
{
    const auto n = static_cast<std::uint16_t>(templates.size());
    std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(n & 0xFF),
                                       static_cast<std::uint8_t>(n >> 8)};
    for (const db::WizardTemplate& t : templates) bytes.insert(bytes.end(), t.data(), t.data() + t.Size);
    return bytes;
}

}  // namespace wizard

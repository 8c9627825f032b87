#include "db/rules/TextRules.h"

namespace db {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr char fold(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::int32_t textToNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;

    bool negative = false;
    bool hex = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    } else if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    std::uint32_t value = 0;  // arithmetic modulo 2^32 keeps the low 32 bits
    for (; i < text.size(); ++i) {
        const int d = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0) break;
        value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t>(d);
    }
    const bool readToEnd = i == text.size();
    if (negative && readToEnd) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::string upperAscii(std::string_view raw)
{
    std::string out(raw);
    for (char& c : out) c = fold(c);
    return out;
}

bool containsFolded(std::string_view candidate, std::string_view upperNeedle)
{
    const std::size_t n = upperNeedle.size();
    if (n == 0 || n > candidate.size()) return false;
    const char first = upperNeedle[0];
    const std::size_t last = candidate.size() - n;
    for (std::size_t i = 0; i <= last; ++i) {
        if (fold(candidate[i]) != first) continue;
        std::size_t k = 1;
        while (k < n && fold(candidate[i + k]) == upperNeedle[k]) ++k;
        if (k == n) return true;
    }
    return false;
}

std::string csvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace db

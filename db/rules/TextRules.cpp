#include "db/rules/TextRules.h"

#include <bit>
#include <cstring>

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

bool readWholeNumber(std::string_view text, std::int64_t& value, std::size_t maxDigits)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    if (i == text.size() || text.size() - i > maxDigits) return false;
    value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    return true;
}

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

FoldedNeedle::FoldedNeedle(std::string_view upperNeedle) : never_(upperNeedle.empty())
{
    for (const char ch : upperNeedle) {
        const auto c = static_cast<unsigned char>(ch);
        const bool capital = c >= 'A' && c <= 'Z';
        never_ = never_ || (c >= 'a' && c <= 'z');
        value_.push_back(capital ? static_cast<unsigned char>(c | 0x20) : c);
        mask_.push_back(capital ? 0x20 : 0);
    }
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101u, kLow7 = 0x7F7F7F7F7F7F7F7Fu;

// A bit at the top of every byte of the eight at `p` that matches (value,
// mask) broadcast to every byte.
inline std::uint64_t matchingBytes(const unsigned char* p, std::uint64_t value, std::uint64_t mask)
{
    std::uint64_t w = 0;
    std::memcpy(&w, p, sizeof w);
    const std::uint64_t x = (w | mask) ^ value;  // zero where the byte matches
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

}  // namespace

bool FoldedNeedle::foundIn(std::string_view candidate) const
{
    const std::size_t n = value_.size();
    if (never_ || n > candidate.size()) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(candidate.data());
    const std::size_t starts = candidate.size() - n + 1;  // places the needle can start
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight places at a time: those where the first byte matches and,
        // for a longer needle, the second too (both loads stay inside the
        // candidate, as the needle reaches at least one byte past them).
        const std::uint64_t v0 = kOnes * value_[0], m0 = kOnes * mask_[0];
        const std::uint64_t v1 = kOnes * value_[n > 1], m1 = kOnes * mask_[n > 1];
        for (; i + 8 <= starts; i += 8) {
            std::uint64_t hits = matchingBytes(p + i, v0, m0);
            if (n > 1 && hits != 0) hits &= matchingBytes(p + i + 1, v1, m1);
            for (; hits != 0; hits &= hits - 1)
                if (matchesAt(p + i + static_cast<std::size_t>(std::countr_zero(hits) >> 3))) return true;
        }
    }
    for (; i < starts; ++i)
        if ((p[i] | mask_[0]) == value_[0] && matchesAt(p + i)) return true;
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

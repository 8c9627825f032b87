#include "db/query/FoldedText.h"

#include <array>

namespace db {

namespace {

std::array<std::uint8_t, 256> makeFolds()
{
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c - 'a' + 'A');
    // The accented letters of Windows-1252, to the letter they are built on.
    const auto range = [&t](int from, int to, char base) {
        for (int c = from; c <= to; ++c) t[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(base);
    };
    range(0xC0, 0xC5, 'A');
    range(0xE0, 0xE5, 'A');
    range(0xC7, 0xC7, 'C');
    range(0xE7, 0xE7, 'C');
    range(0xC8, 0xCB, 'E');
    range(0xE8, 0xEB, 'E');
    range(0xCC, 0xCF, 'I');
    range(0xEC, 0xEF, 'I');
    range(0xD0, 0xD0, 'D');
    range(0xF0, 0xF0, 'D');
    range(0xD1, 0xD1, 'N');
    range(0xF1, 0xF1, 'N');
    range(0xD2, 0xD6, 'O');
    range(0xF2, 0xF6, 'O');
    range(0xD8, 0xD8, 'O');
    range(0xF8, 0xF8, 'O');
    range(0xD9, 0xDC, 'U');
    range(0xF9, 0xFC, 'U');
    range(0xDD, 0xDD, 'Y');
    range(0xFD, 0xFD, 'Y');
    range(0xFF, 0xFF, 'Y');
    range(0x9F, 0x9F, 'Y');
    range(0x8A, 0x8A, 'S');
    range(0x9A, 0x9A, 'S');
    range(0x8E, 0x8E, 'Z');
    range(0x9E, 0x9E, 'Z');
    t[0xE6] = 0xC6;  // æ, Æ
    t[0x9C] = 0x8C;  // œ, Œ
    t[0xFE] = 0xDE;  // þ, Þ
    return t;
}

const std::array<std::uint8_t, 256> kFolds = makeFolds();

inline char fold(char c)
{
    return static_cast<char>(kFolds[static_cast<std::uint8_t>(c)]);
}

}  // namespace

std::uint8_t foldByte(std::uint8_t c)
{
    return kFolds[c];
}

std::string foldText(std::string_view raw)
{
    std::string out(raw);
    for (char& c : out) c = fold(c);
    return out;
}

bool foldedEquals(std::string_view raw, std::string_view folded)
{
    if (raw.size() != folded.size()) return false;
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (fold(raw[i]) != folded[i]) return false;
    return true;
}

bool foldedStartsWith(std::string_view raw, std::string_view folded)
{
    return raw.size() >= folded.size() && foldedEquals(raw.substr(0, folded.size()), folded);
}

bool foldedContains(std::string_view raw, std::string_view folded)
{
    const std::size_t n = folded.size();
    if (n == 0) return true;
    if (n > raw.size()) return false;
    for (std::size_t i = 0; i + n <= raw.size(); ++i) {
        if (fold(raw[i]) != folded[0]) continue;
        std::size_t k = 1;
        while (k < n && fold(raw[i + k]) == folded[k]) ++k;
        if (k == n) return true;
    }
    return false;
}

int foldedCompare(std::string_view raw, std::string_view folded)
{
    const std::size_t n = raw.size() < folded.size() ? raw.size() : folded.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<std::uint8_t>(fold(raw[i]));
        const auto b = static_cast<std::uint8_t>(folded[i]);
        if (a != b) return a < b ? -1 : 1;
    }
    return raw.size() == folded.size() ? 0 : (raw.size() < folded.size() ? -1 : 1);
}

int compareFolded(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<std::uint8_t>(fold(a[i]));
        const auto y = static_cast<std::uint8_t>(fold(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace db

#pragma once

// How the editor turns typed text into numbers, and how it matches names.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db {

// The text-to-number rule of every numeric edit box. Leading spaces are
// skipped; then an optional sign with decimal digits, or a "$", "x", "X",
// "0x" or "0X" prefix with hexadecimal digits (never both). Reading stops at
// the first character that does not belong; a text read to its end keeps its
// sign, one that stopped early loses it ("-12" is -12, "-12x" is 12). No
// digits give 0. Values beyond 32 bits keep their low 32 bits, as the value
// is stored by its low bits anyway.
std::int32_t textToNumber(std::string_view text);

// A whole decimal number with an optional sign and nothing around it, of at
// most `maxDigits` digits (so it never overflows); false for anything else.
bool readWholeNumber(std::string_view text, std::int64_t& value, std::size_t maxDigits);

// Turns the ASCII letters a-z into capitals; every other byte stays as it is.
std::string upperAscii(std::string_view raw);

// The name search rule: true when `upperNeedle` (already passed through
// upperAscii, not empty) occurs in `candidate` with a-z folded to capitals.
bool containsFolded(std::string_view candidate, std::string_view upperNeedle);

// The same rule with the needle prepared once, for searches over many
// names: each byte becomes a value and a mask such that a candidate byte c
// matches when (c | mask) == value (a letter matches either case, any other
// byte only itself), and eight bytes are looked at a time for the first.
class FoldedNeedle {
public:
    explicit FoldedNeedle(std::string_view upperNeedle);
    bool foundIn(std::string_view candidate) const;

private:
    bool matchesAt(const unsigned char* p) const
    {
        for (std::size_t k = 0; k < value_.size(); ++k)
            if ((p[k] | mask_[k]) != value_[k]) return false;
        return true;
    }

    std::vector<unsigned char> value_, mask_;
    bool never_ = false;  // empty, or a small letter no folded text holds
};

// A field of a CSV file as RFC 4180 writes it: quoted, with its quotes
// doubled, when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text);

}  // namespace db

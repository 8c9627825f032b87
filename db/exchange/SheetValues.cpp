#include "db/exchange/SheetValues.h"

#include <algorithm>
#include <cstring>

#include "db/query/Query.h"
#include "db/rules/Win1252.h"

namespace db {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

void putLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t width, std::uint64_t v)
{
    for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The smallest and largest value a number of the field's width and sign holds.
std::pair<std::int64_t, std::int64_t> rangeOf(const FieldInfo& f)
{
    const int bits = 8 * f.width;
    if (f.isSigned && f.width > 1)
        return {-(std::int64_t{1} << (bits - 1)), (std::int64_t{1} << (bits - 1)) - 1};
    if (f.isSigned) return {-128, 127};
    return {0, (std::int64_t{1} << bits) - 1};
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

CellVerdict number(const FieldInfo& f, int element, std::string_view text, const std::uint8_t* current,
                   std::vector<std::uint8_t>& bytes, std::string& fault, std::int64_t value)
{
    if (current && numberValue(f, element, current) == value) return CellVerdict::Same;
    const auto [lo, hi] = rangeOf(f);
    if (value < lo || value > hi) {
        fault = quoted(text) + " does not fit the field (" + std::to_string(lo) + " to " +
                std::to_string(hi) + ")";
        return CellVerdict::Fault;
    }
    bytes.assign(f.width, 0);
    putLe(bytes, 0, f.width, static_cast<std::uint64_t>(value));
    return CellVerdict::Changed;
}

}  // namespace

std::string quoted(std::string_view text)
{
    std::string s(text.substr(0, 40));
    // Never cut a character in two.
    while (s.size() < text.size() && !s.empty() &&
           (static_cast<unsigned char>(text[s.size()]) & 0xC0) == 0x80)
        s.pop_back();
    return "\"" + s + (s.size() < text.size() ? "...\"" : "\"");
}

std::optional<std::int64_t> readWholeNumber(std::string_view text)
{
    text = trimmed(text);
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
    if (i == text.size() || text.size() - i > 15) return std::nullopt;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return negative ? -v : v;
}

bool toWin1252(std::string_view s, std::string& out, std::string& fault)
{
    out.clear();
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0) {
            fault = "holds a NUL character";
            return false;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // The reader hands on valid UTF-8 only; anything else is refused too.
        const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        if (len == 0 || i + len > s.size()) {
            fault = "holds bytes that are not UTF-8";
            return false;
        }
        char32_t cp = c & (0x7F >> len);
        for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        const int b = unicodeToWin1252(cp);
        if (b < 0) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
            fault = "holds " + quoted(s.substr(i, len)) + " (" + hex + "), which Windows-1252 cannot write";
            return false;
        }
        out += static_cast<char>(b);
        i += len;
    }
    return true;
}

CellVerdict readCell(const Database& d, const FieldInfo& f, int element, std::string_view text,
                     const std::uint8_t* current, std::vector<std::uint8_t>& bytes, std::string& fault)
{
    const std::uint8_t* p = current ? current + f.offset + f.width * element : nullptr;
    switch (f.kind) {
        case FieldKind::Text: {
            std::string raw;
            if (!toWin1252(text, raw, fault)) return CellVerdict::Fault;
            if (p) {
                std::size_t len = 0;
                while (len < f.width && p[len] != 0) ++len;
                if (raw.size() == len && std::memcmp(raw.data(), p, len) == 0) return CellVerdict::Same;
            }
            if (raw.size() > f.width) {
                fault = "is " + std::to_string(raw.size()) + " characters long; the field holds " +
                        std::to_string(f.width);
                return CellVerdict::Fault;
            }
            bytes.assign(f.width, 0);
            std::copy(raw.begin(), raw.end(), bytes.begin());
            return CellVerdict::Changed;
        }
        case FieldKind::Number: {
            const auto v = readWholeNumber(text);
            if (!v) {
                fault = quoted(text) + " is not a whole number";
                return CellVerdict::Fault;
            }
            return number(f, element, text, current, bytes, fault, *v);
        }
        case FieldKind::Flag: {
            std::optional<std::int64_t> v = readWholeNumber(text);
            if (equalsIgnoringCase(trimmed(text), "yes")) v = 255;
            if (equalsIgnoringCase(trimmed(text), "no")) v = 0;
            if (!v) {
                fault = quoted(text) + " is not a flag (0 to 255, Yes or No)";
                return CellVerdict::Fault;
            }
            return number(f, element, text, current, bytes, fault, *v);
        }
        case FieldKind::Code: {
            std::optional<std::int64_t> v = readWholeNumber(text);
            if (p && v == *p) return CellVerdict::Same;
            for (std::size_t k = 0; k < f.captions.size() && !v; ++k)
                if (!f.captions[k].empty() && equalsIgnoringCase(trimmed(text), f.captions[k]))
                    v = static_cast<std::int64_t>(k);
            if (!v || *v < 0 || static_cast<std::size_t>(*v) >= f.captions.size()) {
                fault = quoted(text) + " is no code of the field (0 to " +
                        std::to_string(f.captions.size() - 1) + ", or a caption such as \"" +
                        std::string(f.captions.back()) + "\")";
                return CellVerdict::Fault;
            }
            return number(f, element, text, current, bytes, fault, *v);
        }
        case FieldKind::Reference: {
            const auto v = readWholeNumber(text);
            if (!v) {
                fault = quoted(text) + " is not a record identifier (a whole number)";
                return CellVerdict::Fault;
            }
            if (current && numberValue(f, element, current) == *v) return CellVerdict::Same;
            const std::size_t n = tableSize(d, f.target);
            if (!isValidRef(*v, n) && *v != -1 && *v != -2 && *v != f.none) {
                fault = quoted(text) + " names no record of " + std::string(tableInfo(f.target).title) +
                        " (" + (n ? "0 to " + std::to_string(n - 1) + ", or " : "") + "-1 or -2 for none)";
                return CellVerdict::Fault;
            }
            return number(f, element, text, current, bytes, fault, *v);
        }
        case FieldKind::Date: {
            if (current && text == formatValue(f, element, current, nullptr)) return CellVerdict::Same;
            const auto date = parseQueryDate(trimmed(text));
            if (!date) {
                fault = quoted(text) + " is not a date (day/month/year, or YYYY-MM-DD)";
                return CellVerdict::Fault;
            }
            bytes.assign(f.width, 0);
            if (p) std::copy(p, p + f.width, bytes.begin());
            putLe(bytes, 0, 2, date->dayOfYear);
            putLe(bytes, 2, 2, static_cast<std::uint16_t>(date->year));
            if (p && std::equal(bytes.begin(), bytes.end(), p)) return CellVerdict::Same;
            return CellVerdict::Changed;
        }
        case FieldKind::Bytes:
        case FieldKind::Unnamed: {
            std::vector<std::uint8_t> record(f.end(), 0);
            try {
                parseValue(f, element, trimmed(text), record.data(), nullptr);
            } catch (const Error&) {
                fault = quoted(text) + " is not " + std::to_string(f.width) + " bytes in hex";
                return CellVerdict::Fault;
            }
            bytes.assign(record.begin() + f.offset + f.width * element,
                         record.begin() + f.offset + f.width * (element + 1));
            if (p && std::equal(bytes.begin(), bytes.end(), p)) return CellVerdict::Same;
            return CellVerdict::Changed;
        }
    }
    return CellVerdict::Fault;
}

}  // namespace db

// Field values as text and back: one pair of conversions for every field
// kind, in the form the pages show and in the raw form of update files.

#include <algorithm>
#include <cstring>

#include "db/format/FieldCatalog.h"
#include "db/rules/GameDate.h"
#include "db/rules/TextRules.h"

namespace db {

namespace {

void writeLe(std::uint8_t* p, std::size_t width, std::uint32_t v)
{
    for (std::size_t i = 0; i < width; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::int64_t numberAt(const FieldInfo& f, const std::uint8_t* p)
{
    const std::uint32_t raw = readLittleEndian(p, f.width);
    if (!f.isSigned) return raw;
    if (f.width == 1) return static_cast<std::int8_t>(raw);
    if (f.width == 2) return static_cast<std::int16_t>(raw);
    return static_cast<std::int32_t>(raw);
}

std::string hex(const std::uint8_t* p, std::size_t n, bool capitals)
{
    const char* digits = capitals ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string s;
    s.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The field's name in messages: "Cash", "PlayerIds[3]", or "Byte 40".
std::string label(const FieldInfo& f, int element)
{
    return f.named() ? elementName(f, element) : "Byte " + std::to_string(f.offset);
}

[[noreturn]] void refuse(const FieldInfo& f, int element, std::string_view text, const std::string& why)
{
    throw Error(label(f, element) + ": \"" + std::string(text) + "\" " + why);
}

// Exactly 2 * n hex digits.
bool readHex(std::string_view text, std::size_t n, std::uint8_t* out)
{
    if (text.size() != 2 * n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const int hi = hexDigit(text[2 * i]), lo = hexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        out[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return true;
}

bool readInteger(std::string_view text, std::int64_t& value)
{
    return readWholeNumber(text, value, 12);
}

std::string textAt(const FieldInfo& f, const std::uint8_t* p, std::size_t& len)
{
    len = 0;
    while (len < f.width && p[len] != 0) ++len;
    return std::string(reinterpret_cast<const char*>(p), len);
}

void putText(const FieldInfo& f, int element, std::string_view text, std::uint8_t* p)
{
    if (text.size() > f.width)
        refuse(f, element, text, "is longer than the field's " + std::to_string(f.width) + " bytes");
    if (text.find('\0') != std::string_view::npos) refuse(f, element, text, "holds a NUL byte");
    std::fill_n(p, f.width, std::uint8_t{0});
    std::memcpy(p, text.data(), text.size());
}

// "<none> (value)" or "<none>": the stored value; false for other text.
bool readNone(const FieldInfo& f, std::string_view text, std::int32_t& value)
{
    if (!text.starts_with(kNone)) return false;
    std::string_view rest = text.substr(kNone.size());
    if (rest.empty()) {
        value = f.none;
        return true;
    }
    std::int64_t v = 0;
    if (!rest.starts_with(" (") || !rest.ends_with(")") || !readInteger(rest.substr(2, rest.size() - 3), v) ||
        v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::int32_t readReference(const FieldInfo& f, int element, std::string_view text, const Database* d)
{
    std::int32_t value = 0;
    if (readNone(f, text, value)) return value;
    std::int64_t id = 0;
    if (text.starts_with("#") && readInteger(text.substr(1), id) && id >= INT32_MIN && id <= INT32_MAX)
        return static_cast<std::int32_t>(id);
    if (!d) return textToNumber(text);
    const std::int64_t found = RecordNamer(*d).find(f.target, text);
    if (found == -1) refuse(f, element, text, "names no record of " + std::string(tableInfo(f.target).title));
    if (found == -2)
        refuse(f, element, text,
               "names several records of " + std::string(tableInfo(f.target).title) + "; give one as #id");
    return static_cast<std::int32_t>(found);
}

std::uint8_t readCode(const FieldInfo& f, int element, std::string_view text)
{
    for (std::size_t k = 0; k < f.captions.size(); ++k)
        if (!f.captions[k].empty() && f.captions[k] == text) return static_cast<std::uint8_t>(k);
    std::int64_t v = 0;
    if (!readInteger(text, v) || v < 0 || v > 255) refuse(f, element, text, "is no caption of the field");
    return static_cast<std::uint8_t>(v);
}

std::uint8_t readFlag(const FieldInfo& f, int element, std::string_view text)
{
    if (text == "No") return 0;
    if (text == "Yes") return 255;
    std::int64_t v = 0;
    if (text.starts_with("Yes (") && text.ends_with(")") && readInteger(text.substr(5, text.size() - 6), v) &&
        v > 0 && v < 255)
        return static_cast<std::uint8_t>(v);
    refuse(f, element, text, "is neither Yes nor No");
}

// "d/m/y" into the day of year and year.
void readDate(const FieldInfo& f, int element, std::string_view text, std::uint8_t* p)
{
    const std::size_t a = text.find('/');
    const std::size_t b = a == std::string_view::npos ? a : text.find('/', a + 1);
    std::int64_t day = 0, month = 0, year = 0;
    if (b == std::string_view::npos || !readInteger(text.substr(0, a), day) ||
        !readInteger(text.substr(a + 1, b - a - 1), month) || !readInteger(text.substr(b + 1), year) ||
        day < INT16_MIN || day > INT16_MAX || month < 0 || month > UINT16_MAX || year < INT16_MIN ||
        year > INT16_MAX)
        refuse(f, element, text, "is not a date (day/month/year)");
    writeLe(p, 2, GetDate(static_cast<std::int32_t>(day), static_cast<std::uint16_t>(month)));
    writeLe(p + 2, 2, static_cast<std::uint32_t>(year));
}

// Raw text: "..." and, when the bytes after its end are not all zero,
// " (bytes <hex>)" with every byte of the field.
void readRawText(const FieldInfo& f, int element, std::string_view text, std::uint8_t* p)
{
    const std::size_t close = text.size() > 1 ? text.rfind('"') : std::string_view::npos;
    if (!text.starts_with('"') || close == 0 || close == std::string_view::npos)
        refuse(f, element, text, "is not text in double quotes");
    const std::string_view tail = text.substr(close + 1);
    if (tail.empty()) return putText(f, element, text.substr(1, close - 1), p);
    std::vector<std::uint8_t> bytes(f.width);
    if (!tail.starts_with(" (bytes ") || !tail.ends_with(")") ||
        !readHex(tail.substr(8, tail.size() - 9), f.width, bytes.data()))
        refuse(f, element, text, "is not text in double quotes");
    std::copy(bytes.begin(), bytes.end(), p);
}

}  // namespace

std::int64_t numberValue(const FieldInfo& f, int element, const std::uint8_t* record)
{
    return numberAt(f, record + f.offset + f.width * element);
}

std::string formatGameDate(std::uint16_t dayOfYear, std::int16_t year)
{
    auto day = static_cast<std::int16_t>(static_cast<std::uint16_t>(dayOfYear + 1u));
    std::uint16_t month = 1;
    MakeDate(day, month);
    return std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year);
}

std::string formatValue(const FieldInfo& f, int element, const std::uint8_t* record, const Database* d,
                        ValueForm form)
{
    const std::uint8_t* p = record + f.offset + f.width * element;
    const bool page = form == ValueForm::Page;
    switch (f.kind) {
        case FieldKind::Number:
            return std::to_string(numberAt(f, p));
        case FieldKind::Text: {
            std::size_t len = 0;
            const std::string s = textAt(f, p, len);
            if (page) return s;
            const bool clean = std::all_of(p + len, p + f.width, [](std::uint8_t b) { return b == 0; });
            return clean ? "\"" + s + "\"" : "\"" + s + "\" (bytes " + hex(p, f.width, false) + ")";
        }
        case FieldKind::Date:
            return formatGameDate(static_cast<std::uint16_t>(readLittleEndian(p, 2)),
                                  static_cast<std::int16_t>(readLittleEndian(p + 2, 2)));
        case FieldKind::Flag:
            if (!page) break;
            if (*p == 0) return "No";
            return *p == 255 ? "Yes" : "Yes (" + std::to_string(*p) + ")";
        case FieldKind::Code:
            if (page && *p < f.captions.size() && !f.captions[*p].empty()) return std::string(f.captions[*p]);
            return std::to_string(*p);
        case FieldKind::Reference: {
            const auto id = static_cast<std::int32_t>(readLittleEndian(p, 4));
            if (!page || !d) return std::to_string(id);
            if (isValidRef(id, tableSize(*d, f.target))) {
                std::string name = RecordNamer(*d).name(f.target, static_cast<std::size_t>(id));
                if (!name.empty()) return name;
                return "#" + std::to_string(id);
            }
            return std::string(kNone) + " (" + std::to_string(id) + ")";
        }
        case FieldKind::Bytes:
        case FieldKind::Unnamed:
            return hex(p, f.width, page);
    }
    return std::to_string(numberAt(f, p));
}

void parseValue(const FieldInfo& f, int element, std::string_view text, std::uint8_t* record,
                const Database* d, ValueForm form)
{
    if (element < 0 || element >= f.count) throw Error(std::string(f.name) + ": no such element");
    std::uint8_t* p = record + f.offset + f.width * element;
    const bool page = form == ValueForm::Page;
    // Every check runs before the first byte is written.
    switch (f.kind) {
        case FieldKind::Number:
            writeLe(p, f.width, static_cast<std::uint32_t>(textToNumber(text)));
            return;
        case FieldKind::Text:
            return page ? putText(f, element, text, p) : readRawText(f, element, text, p);
        case FieldKind::Date:
            return readDate(f, element, text, p);
        case FieldKind::Flag:
            *p = page ? readFlag(f, element, text) : static_cast<std::uint8_t>(textToNumber(text));
            return;
        case FieldKind::Code:
            *p = readCode(f, element, text);
            return;
        case FieldKind::Reference:
            writeLe(
                p, 4,
                static_cast<std::uint32_t>(page ? readReference(f, element, text, d) : textToNumber(text)));
            return;
        case FieldKind::Bytes:
        case FieldKind::Unnamed: {
            std::vector<std::uint8_t> bytes(f.width);
            if (!readHex(text, f.width, bytes.data()))
                refuse(f, element, text, "is not " + std::to_string(f.width) + " bytes in hex");
            std::copy(bytes.begin(), bytes.end(), p);
            return;
        }
    }
}

}  // namespace db

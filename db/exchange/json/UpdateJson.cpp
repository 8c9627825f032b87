#include "UpdateJson.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "db/rules/Win1252.h"

namespace db {

namespace {

using nlohmann::json;

constexpr const char* kFormat = "quarndb-update";
// Our own files nest five deep; anything far deeper is not an update, and
// refusing it before parsing keeps deep nesting from costing stack.
constexpr int kMaxDepth = 32;

[[noreturn]] void fail(const std::string& what)
{
    throw Error(what);
}

// ---- Values -------------------------------------------------------------

std::int64_t numberOf(const ByteField& f, const std::uint8_t* p)
{
    std::uint32_t raw = 0;
    for (std::size_t i = 0; i < f.width; ++i) raw |= std::uint32_t(p[i]) << (8 * i);
    if (!f.isSigned) return raw;
    if (f.width == 1) return static_cast<std::int8_t>(raw);
    if (f.width == 2) return static_cast<std::int16_t>(raw);
    return static_cast<std::int32_t>(raw);
}

std::string hexOf(const std::uint8_t* p, std::size_t n)
{
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

// The text of a text field when a string carries its bytes exactly: the
// characters, then nothing but zero bytes.
bool plainText(const ByteField& f, const std::uint8_t* p, std::string& utf8)
{
    std::size_t len = 0;
    while (len < f.width && p[len] != 0) ++len;
    if (!std::all_of(p + len, p + f.width, [](std::uint8_t b) { return b == 0; })) return false;
    utf8 = win1252ToUtf8(std::string_view(reinterpret_cast<const char*>(p), len));
    return true;
}

json valueOf(const ByteField& f, const std::uint8_t* p)
{
    switch (f.kind) {
        case ByteField::Kind::Number:
            return numberOf(f, p);
        case ByteField::Kind::Text: {
            std::string text;
            if (plainText(f, p, text)) return text;
            return json{{"hex", hexOf(p, f.width)}};
        }
        case ByteField::Kind::Bytes:
            break;
    }
    return hexOf(p, f.width);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

FieldBytes bytesOfHex(const std::string& where, const ByteField& f, const json& v)
{
    if (!v.is_string()) fail(where + ": expected a hex string of " + std::to_string(f.width) + " bytes");
    const std::string& s = v.get_ref<const std::string&>();
    if (s.size() != 2u * f.width)
        fail(where + ": expected " + std::to_string(f.width) + " bytes in hex, got " +
             std::to_string(s.size()) + " digits");
    FieldBytes out(f.width);
    for (std::size_t i = 0; i < f.width; ++i) {
        const int hi = hexDigit(s[2 * i]), lo = hexDigit(s[2 * i + 1]);
        if (hi < 0 || lo < 0) fail(where + ": '" + s + "' is not hex");
        out[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return out;
}

FieldBytes bytesOf(const std::string& where, const ByteField& f, const json& v)
{
    if (v.is_object()) {
        if (v.size() != 1 || !v.contains("hex")) fail(where + ": expected a value or {\"hex\": ...}");
        return bytesOfHex(where, f, v["hex"]);
    }
    FieldBytes out(f.width, 0);
    switch (f.kind) {
        case ByteField::Kind::Number: {
            if (!v.is_number_integer()) fail(where + ": expected a whole number");
            std::int64_t lo = 0, hi = 0;
            if (f.width == 4)
                lo = f.isSigned ? INT32_MIN : 0, hi = f.isSigned ? INT32_MAX : UINT32_MAX;
            else if (f.width == 2)
                lo = f.isSigned ? INT16_MIN : 0, hi = f.isSigned ? INT16_MAX : UINT16_MAX;
            else
                lo = f.isSigned ? INT8_MIN : 0, hi = f.isSigned ? INT8_MAX : UINT8_MAX;
            const bool fits = v.is_number_unsigned()
                                  ? v.get<std::uint64_t>() <= static_cast<std::uint64_t>(hi)
                                  : v.get<std::int64_t>() >= lo && v.get<std::int64_t>() <= hi;
            if (!fits)
                fail(where + ": " + v.dump() + " does not fit its field (" + std::to_string(lo) + " to " +
                     std::to_string(hi) + ")");
            const auto raw = static_cast<std::uint32_t>(v.get<std::int64_t>());
            for (std::size_t i = 0; i < f.width; ++i) out[i] = static_cast<std::uint8_t>(raw >> (8 * i));
            return out;
        }
        case ByteField::Kind::Text: {
            if (!v.is_string()) fail(where + ": expected text");
            const std::string& utf8 = v.get_ref<const std::string&>();
            const std::string raw = utf8ToWin1252(utf8);
            if (win1252ToUtf8(raw) != utf8) fail(where + ": the text holds characters the game cannot store");
            if (raw.size() > f.width)
                fail(where + ": the text is " + std::to_string(raw.size()) +
                     " characters long; the field holds " + std::to_string(f.width));
            std::copy(raw.begin(), raw.end(), out.begin());
            return out;
        }
        case ByteField::Kind::Bytes:
            break;
    }
    return bytesOfHex(where, f, v);
}

// ---- Reading --------------------------------------------------------------

// Refuses nesting deeper than kMaxDepth without parsing.
void checkDepth(std::string_view text)
{
    int depth = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxDepth) fail("The update is not one this program wrote: it nests too deeply");
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
}

const json& member(const json& obj, const char* key, const std::string& where)
{
    const auto it = obj.find(key);
    if (it == obj.end()) fail(where + " lacks \"" + key + "\"");
    return *it;
}

void onlyKeys(const json& obj, std::initializer_list<const char*> keys, const std::string& where)
{
    if (!obj.is_object()) fail(where + " must be an object");
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        const std::string& key = it.key();
        if (std::none_of(keys.begin(), keys.end(), [&key](const char* k) { return key == k; }))
            fail(where + ": unknown key \"" + key + "\"");
    }
}

std::int64_t integer(const json& v, const std::string& where)
{
    if (!v.is_number_integer() || (v.is_number_unsigned() && v.get<std::uint64_t>() > INT32_MAX))
        fail(where + " must be a whole number");
    return v.get<std::int64_t>();
}

const ByteField& fieldOf(const TableLayout& info, const std::string& name, std::size_t& index)
{
    const ByteField* f = fieldByName(info, name);
    if (!f) fail(std::string("Unknown field '") + name + "' of " + info.name);
    index = static_cast<std::size_t>(f - info.fields.data());
    return *f;
}

void readTable(const TableLayout& info, const json& t, TableUpdate& tu)
{
    const std::string where = std::string("The update's ") + info.name;
    onlyKeys(t, {"changed", "appended"}, where);
    if (const auto it = t.find("changed"); it != t.end()) {
        if (!it->is_array()) fail(where + ": \"changed\" must be a list");
        for (const json& r : *it) {
            onlyKeys(r, {"id", "name", "fields"}, where + " changed record");
            RecordUpdate rc;
            rc.id = integer(member(r, "id", where + " changed record"), where + " id");
            const std::string label = std::string(info.name) + "[" + std::to_string(rc.id) + "]";
            if (const auto n = r.find("name"); n != r.end() && n->is_string())
                rc.name = utf8ToWin1252(n->get_ref<const std::string&>());
            const json& fields = member(r, "fields", label);
            if (!fields.is_object()) fail(label + ": \"fields\" must be an object");
            for (const auto& [name, change] : fields.items()) {
                FieldChange fc;
                const ByteField& f = fieldOf(info, name, fc.field);
                const std::string at = label + " " + name;
                onlyKeys(change, {"old", "new"}, at);
                fc.oldBytes = bytesOf(at + " old", f, member(change, "old", at));
                fc.newBytes = bytesOf(at + " new", f, member(change, "new", at));
                rc.fields.push_back(std::move(fc));
            }
            std::sort(rc.fields.begin(), rc.fields.end(),
                      [](const FieldChange& a, const FieldChange& b) { return a.field < b.field; });
            tu.changed.push_back(std::move(rc));
        }
    }
    if (const auto it = t.find("appended"); it != t.end()) {
        if (!it->is_array()) fail(where + ": \"appended\" must be a list");
        for (const json& r : *it) {
            onlyKeys(r, {"id", "name", "fields"}, where + " appended record");
            const std::int64_t id = integer(member(r, "id", where + " appended record"), where + " id");
            const std::string label = std::string(info.name) + "[" + std::to_string(id) + "]";
            if (id != tu.count + static_cast<std::int64_t>(tu.appended.size()))
                fail(label + ": appended records must take the identifiers from the old count on, in order");
            AppendedRecord rec;
            if (const auto n = r.find("name"); n != r.end() && n->is_string())
                rec.name = utf8ToWin1252(n->get_ref<const std::string&>());
            rec.bytes.assign(info.recordSize, 0);
            const json& fields = member(r, "fields", label);
            if (!fields.is_object()) fail(label + ": \"fields\" must be an object");
            std::vector<bool> given(info.fields.size(), false);
            for (const auto& [name, value] : fields.items()) {
                std::size_t k = 0;
                const ByteField& f = fieldOf(info, name, k);
                const FieldBytes b = bytesOf(label + " " + name, f, value);
                std::copy(b.begin(), b.end(), rec.bytes.begin() + f.offset);
                given[k] = true;
            }
            for (std::size_t k = 0; k < given.size(); ++k)
                if (!given[k])
                    fail(label + ": an appended record needs every field; " + info.fields[k].name +
                         " is missing");
            tu.appended.push_back(std::move(rec));
        }
    }
}

// "base": the hash of every table of the old database; the counts are the
// update's own.
void readBase(const json& base, Update& u)
{
    if (!base.is_object()) fail("The update's \"base\" must be an object");
    u.base.known = true;
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const char* name = tableLayout(static_cast<TableId>(k)).name;
        const auto it = base.find(name);
        if (it == base.end()) fail(std::string("The update's base lacks the hash of ") + name);
        if (!it->is_string() || !parseHashText(it->get_ref<const std::string&>(), u.base.hashes[k]))
            fail(std::string("The update's base hash of ") + name + " must be 16 lowercase hex digits");
        u.base.counts[k] = u.tables[k].count;
    }
    if (base.size() != kTableCount) fail("The update's base names an unknown table");
}

Update fromJson(const json& doc)
{
    if (!doc.is_object() || doc.value("format", json()) != kFormat)
        fail("The file is not a Quarn db update (no \"format\": \"quarndb-update\")");
    const json& version = member(doc, "version", "The update");
    if (!version.is_number_integer() || version.get<std::int64_t>() < 1 ||
        version.get<std::int64_t>() > Update::kVersion)
        fail("The update is version " + version.dump() + "; this program reads versions 1 to " +
             std::to_string(Update::kVersion));
    // Version 1 names no base; from version 2 on the base is required.
    const bool named = version.get<std::int64_t>() >= 2;
    if (named)
        onlyKeys(doc, {"format", "version", "counts", "base", "tables"}, "The update");
    else
        onlyKeys(doc, {"format", "version", "counts", "tables"}, "The update");

    Update u;
    const json& counts = member(doc, "counts", "The update");
    if (!counts.is_object()) fail("The update's \"counts\" must be an object");
    for (const auto& [name, value] : counts.items()) {
        const TableLayout* info = tableByName(name);
        if (!info) fail("Unknown table '" + name + "' in the update");
        u[info->id].count = integer(value, "The update's count of " + name);
    }
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const char* name = tableLayout(static_cast<TableId>(k)).name;
        if (!counts.contains(name)) fail(std::string("The update lacks the count of ") + name);
    }
    if (named) readBase(member(doc, "base", "The update"), u);
    if (const auto it = doc.find("tables"); it != doc.end()) {
        if (!it->is_object()) fail("The update's \"tables\" must be an object");
        for (const auto& [name, t] : it->items()) {
            const TableLayout* info = tableByName(name);
            if (!info) fail("Unknown table '" + name + "' in the update");
            if (!info->written) fail("An update cannot change the " + name);
            readTable(*info, t, u[info->id]);
        }
    }
    return u;
}

}  // namespace

std::string encodeUpdate(const Update& u)
{
    std::string out = "{\n  \"format\": \"";
    out += kFormat;
    // An update that names no base (read from version 1) is written as it was.
    out += "\",\n  \"version\": " + std::string(u.base.known ? "2" : "1") + ",\n  \"counts\": {";
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        out += (k ? ", \"" : "\"") + std::string(tableLayout(t).name) + "\": " + std::to_string(u[t].count);
    }
    if (u.base.known) {
        out += "},\n  \"base\": {";
        for (std::size_t k = 0; k < kTableCount; ++k)
            out += (k ? ", \"" : "\"") + std::string(tableLayout(static_cast<TableId>(k)).name) + "\": \"" +
                   hashText(u.base.hashes[k]) + "\"";
    }
    out += "},\n  \"tables\": {";
    bool firstTable = true;
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const TableLayout& info = tableLayout(t);
        const TableUpdate& tu = u[t];
        if (tu.empty()) continue;
        out += firstTable ? "\n    \"" : ",\n    \"";
        firstTable = false;
        out += std::string(info.name) + "\": {";
        std::vector<std::uint8_t> rec(info.recordSize);
        if (!tu.changed.empty()) {
            out += "\n      \"changed\": [";
            for (std::size_t r = 0; r < tu.changed.size(); ++r) {
                const RecordUpdate& rc = tu.changed[r];
                out += (r ? ",\n        {\"id\": " : "\n        {\"id\": ") + std::to_string(rc.id) +
                       ", \"name\": " + json(win1252ToUtf8(rc.name)).dump() + ", \"fields\": {";
                for (std::size_t i = 0; i < rc.fields.size(); ++i) {
                    const FieldChange& fc = rc.fields[i];
                    const ByteField& f = info.fields[fc.field];
                    std::copy(fc.oldBytes.begin(), fc.oldBytes.end(), rec.begin() + f.offset);
                    const std::string oldText = valueOf(f, rec.data() + f.offset).dump();
                    std::copy(fc.newBytes.begin(), fc.newBytes.end(), rec.begin() + f.offset);
                    out += (i ? ",\n          " : "\n          ") + json(f.name).dump() +
                           ": {\"old\": " + oldText +
                           ", \"new\": " + valueOf(f, rec.data() + f.offset).dump() + "}";
                }
                out += "}}";
            }
            out += "\n      ]";
        }
        if (!tu.appended.empty()) {
            out += tu.changed.empty() ? "\n      \"appended\": [" : ",\n      \"appended\": [";
            for (std::size_t r = 0; r < tu.appended.size(); ++r) {
                const AppendedRecord& a = tu.appended[r];
                out += (r ? ",\n        {\"id\": " : "\n        {\"id\": ") +
                       std::to_string(tu.count + static_cast<std::int64_t>(r)) +
                       ", \"name\": " + json(win1252ToUtf8(a.name)).dump() + ", \"fields\": {";
                for (std::size_t i = 0; i < info.fields.size(); ++i) {
                    const ByteField& f = info.fields[i];
                    out += (i ? ",\n          " : "\n          ") + json(f.name).dump() + ": " +
                           valueOf(f, a.bytes.data() + f.offset).dump();
                }
                out += "}}";
            }
            out += "\n      ]";
        }
        out += "\n    }";
    }
    out += firstTable ? "}\n}\n" : "\n  }\n}\n";
    return out;
}

std::string valueText(const ByteField& f, const std::uint8_t* p)
{
    return valueOf(f, p).dump();
}

Update decodeUpdate(std::string_view text)
{
    if (text.size() > kMaxUpdateBytes)
        fail("The update is too large (" + std::to_string(text.size() >> 20) + " MB; at most " +
             std::to_string(kMaxUpdateBytes >> 20) + " MB)");
    checkDepth(text);
    json doc;
    try {
        doc = json::parse(text.begin(), text.end());
    } catch (const json::parse_error& e) {
        fail("The update is not valid JSON (error at byte " + std::to_string(e.byte) + ")");
    } catch (const json::exception&) {
        // A number too long for any type the parser has, for one.
        fail("The update is not valid JSON (a number too large to read)");
    }
    Update u;
    try {
        u = fromJson(doc);
    } catch (const json::exception& e) {
        fail(std::string("The update is malformed: ") + e.what());
    }
    validateUpdate(u);
    return u;
}

Update readUpdateFile(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path p(path);
    const auto size = std::filesystem::file_size(p, ec);
    if (ec) fail("Cannot open file " + path);
    if (size > kMaxUpdateBytes)
        fail("The update is too large (" + std::to_string(size >> 20) + " MB; at most " +
             std::to_string(kMaxUpdateBytes >> 20) + " MB)");
    std::ifstream in(p, std::ios::binary);
    if (!in) fail("Cannot open file " + path);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(size))) fail("Stream read error");
    return decodeUpdate(text);
}

}  // namespace db

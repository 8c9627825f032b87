// The text forms of a bulk change: the CHANGE language of `quarndb-cli set`,
// and the words the undo step and the listings use for each operation.

#include <cctype>
#include <optional>

#include "db/editing/BulkChange.h"
#include "db/query/Query.h"
#include "db/rules/TextRules.h"
#include "db/rules/Win1252.h"

namespace db {

namespace {

using Kind = BulkOperation::Kind;

std::string_view trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool startsWithFolded(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
    return true;
}

bool readWhole(std::string_view text, std::int64_t& value)
{
    return readWholeNumber(text, value, 15);
}

// "110", "92.5", "-7.25%": the percentage times kPercentScale.
bool readPercent(std::string_view text, std::int64_t& scaled)
{
    if (!text.empty() && text.back() == '%') text = trim(text.substr(0, text.size() - 1));
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view decimals =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 7 || decimals.size() > 4 ||
        (dot != std::string_view::npos && decimals.empty()))
        return false;
    scaled = 0;
    std::int64_t unit = BulkOperation::kPercentScale;
    for (char c : whole) {
        if (c < '0' || c > '9') return false;
        scaled = scaled * 10 + (c - '0');
    }
    scaled *= unit;
    for (char c : decimals) {
        if (c < '0' || c > '9') return false;
        unit /= 10;
        scaled += (c - '0') * unit;
    }
    if (negative) scaled = -scaled;
    return true;
}

std::string percentText(std::int64_t scaled)
{
    const bool negative = scaled < 0;
    const std::int64_t a = negative ? -scaled : scaled;
    std::string s = (negative ? "-" : "") + std::to_string(a / BulkOperation::kPercentScale);
    std::string fraction =
        std::to_string(a % BulkOperation::kPercentScale + BulkOperation::kPercentScale).substr(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) s += "." + fraction;
    return s + "%";
}

std::string label(const BulkOperation& op)
{
    return op.element >= 0 ? elementName(*op.field, op.element) : std::string(op.field->name);
}

// One sentence about `change`.
[[noreturn]] void refuse(std::string_view change, const std::string& why)
{
    throw Error("In " + utf8ToWin1252(change) + ": " + why);
}

Column columnNamed(TableId t, std::string_view change, std::string_view name)
{
    try {
        return resolveColumn(t, name);
    } catch (const QueryError& e) {
        refuse(change, e.message() + ".");
    }
}

// The column `name` stands for, if any.
std::optional<Column> columnIfAny(TableId t, std::string_view name)
{
    try {
        return resolveColumn(t, name);
    } catch (const QueryError&) {
        return std::nullopt;
    }
}

// The element's bytes for `text` as formatValue shows values.
std::vector<std::uint8_t> parsedBytes(const Database& d, TableId t, const BulkOperation& op,
                                      std::string_view change, std::string_view text)
{
    const FieldInfo& f = *op.field;
    std::vector<std::uint8_t> record(tableInfo(t).recordSize);
    try {
        parseValue(f, 0, text, record.data(), &d);
    } catch (const Error& e) {
        refuse(change, std::string(e.what()) + ".");
    }
    return {record.begin() + f.offset, record.begin() + f.offset + f.width};
}

}  // namespace

BulkOperation parseBulkOperation(const Database& d, TableId t, std::string_view change)
{
    const std::size_t eq = change.find('=');
    if (eq == std::string_view::npos || change.substr(0, eq).find('"') != std::string_view::npos)
        throw Error(
            "\"" + utf8ToWin1252(change) +
            "\" is not a change; write Field=VALUE, Field+=N, Field-=N, Field*=P%, Field=clamp(LO,HI) or "
            "Field=OtherField.");
    BulkOperation op;
    char sign = eq > 0 ? change[eq - 1] : '\0';
    if (sign != '+' && sign != '-' && sign != '*') sign = '\0';
    const std::string_view fieldText = trim(change.substr(0, sign ? eq - 1 : eq));
    const std::string_view value = trim(change.substr(eq + 1));
    if (fieldText.empty()) refuse(change, "the field to change is missing before the '='.");
    if (value.empty()) refuse(change, "the value is missing after the '='.");

    const Column c = columnNamed(t, change, fieldText);
    if (c.source == Column::Source::Id) refuse(change, "Id is the record's position; it cannot change.");
    if (c.source == Column::Source::Name)
        refuse(change,
               "Name is made of other fields (a name's text, a person's FirstNameId and SecondNameId); "
               "change those instead.");
    if (c.source == Column::Source::Age)
        refuse(change, "Age is counted from DateOfBirth; change that instead.");
    if (c.viaOwner)
        refuse(change,
               c.name + " belongs to the staff member who owns the record; change it in the staff table.");
    if (std::string why = bulkRefusal(t, *c.field); !why.empty()) refuse(change, why);
    op.field = c.field;
    op.element = c.element;
    const FieldInfo& f = *op.field;
    const std::string name = label(op);

    if (sign == '+' || sign == '-') {
        op.kind = Kind::Add;
        if (!readWhole(value, op.number)) refuse(change, "the number to add must be a whole number.");
        if (sign == '-') op.number = -op.number;
    } else if (sign == '*') {
        op.kind = Kind::Multiply;
        if (!readPercent(value, op.number))
            refuse(change, "the percentage must be a number with at most 4 decimals, as 110% or 92.5%.");
    } else if (startsWithFolded(value, "clamp(") && value.back() == ')') {
        op.kind = Kind::Clamp;
        const std::string_view inner = value.substr(6, value.size() - 7);
        const std::size_t comma = inner.find(',');
        if (comma == std::string_view::npos || !readWhole(trim(inner.substr(0, comma)), op.low) ||
            !readWhole(trim(inner.substr(comma + 1)), op.high))
            refuse(change, "clamp takes two whole numbers, as clamp(0,20).");
    } else if (value.front() == '"') {
        // As in the filter language, a quote inside the text is written twice.
        std::string inner;
        std::size_t i = 1;
        for (; i < value.size(); ++i) {
            if (value[i] != '"') {
                inner += value[i];
            } else if (i + 1 < value.size() && value[i + 1] == '"') {
                inner += '"';
                ++i;
            } else {
                break;
            }
        }
        if (i >= value.size()) refuse(change, "the text has no closing double quote.");
        if (i + 1 != value.size())
            refuse(change, "the text ends before the end of the value; write a quote inside it twice.");
        const std::string raw = utf8ToWin1252(inner);
        op.kind = Kind::Set;
        if (f.kind == FieldKind::Number) refuse(change, name + " is a number; write it without quotes.");
        if (f.kind == FieldKind::Text)
            op.text = raw;
        else
            op.bytes = parsedBytes(d, t, op, change, raw);
    } else if (std::int64_t n = 0; readWhole(value, n)) {
        op.kind = Kind::Set;
        switch (f.kind) {
            case FieldKind::Number:
                op.number = n;
                break;
            case FieldKind::Reference:
                if (n < INT32_MIN || n > INT32_MAX)
                    refuse(change, "no record has the identifier " + std::string(value) + ".");
                op.bytes = parsedBytes(d, t, op, change, "#" + std::to_string(n));
                break;
            case FieldKind::Code:
                op.bytes = parsedBytes(d, t, op, change, value);
                break;
            case FieldKind::Flag:
                if (n != 0 && n != 255) refuse(change, name + " is a flag: 0, 255, Yes or No.");
                op.bytes = {static_cast<std::uint8_t>(n)};
                break;
            default:
                refuse(change, name + " is not a number; give its value in double quotes.");
        }
    } else if (const std::optional<Column> from = columnIfAny(t, value)) {
        if (!from->field || from->viaOwner)
            refuse(change, from->name + " is not a field of the record itself; copy from one that is.");
        if (from->element < 0 && from->field->count > 1)
            refuse(change, from->name + " is a list; copy from one element of it, as " +
                               elementName(*from->field, 0) + ".");
        op.kind = Kind::Copy;
        op.source = from->field;
        op.sourceElement = from->element < 0 ? 0 : from->element;
    } else {
        op.kind = Kind::Set;
        if (f.kind == FieldKind::Number || f.kind == FieldKind::Text)
            refuse(change, std::string(value) + " is neither a number, a double-quoted text nor a field of " +
                               queryTableName(t) + ".");
        op.bytes = parsedBytes(d, t, op, change, utf8ToWin1252(value));
    }

    BulkPlan one{t, {op}, OverflowPolicy::Refuse};
    try {
        checkBulkPlan(one);
    } catch (const Error& e) {
        refuse(change, e.what());
    }
    return op;
}

std::string describeOperation(const Database& d, const BulkOperation& op)
{
    if (!op.field) return {};
    const std::string name = label(op);
    switch (op.kind) {
        case Kind::Add:
            return name +
                   (op.number < 0 ? " - " + std::to_string(-op.number) : " + " + std::to_string(op.number));
        case Kind::Multiply:
            return name + " \xD7 " + percentText(op.number);
        case Kind::Clamp:
            return name + " clamp " + std::to_string(op.low) + ".." + std::to_string(op.high);
        case Kind::Copy:
            return name + " = " + (op.source ? elementName(*op.source, op.sourceElement) : std::string());
        case Kind::Set:
            break;
    }
    const FieldInfo& f = *op.field;
    if (f.kind == FieldKind::Number) return name + " = " + std::to_string(op.number);
    if (f.kind == FieldKind::Text) return name + " = \"" + op.text + "\"";
    if (op.bytes.size() != f.width) return name;
    std::vector<std::uint8_t> record(f.end());
    std::copy(op.bytes.begin(), op.bytes.end(), record.begin() + f.offset);
    const std::string value = formatValue(f, 0, record.data(), &d);
    return name + " = " + (f.kind == FieldKind::Reference ? "\"" + value + "\"" : value);
}

std::string bulkCaption(const Database& d, const BulkPlan& plan, std::size_t changedRecords)
{
    std::string text = "Change All: ";
    for (std::size_t k = 0; k < plan.operations.size(); ++k)
        text += (k ? ", " : "") + describeOperation(d, plan.operations[k]);
    std::string noun(tableName(plan.table));
    for (char& ch : noun) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (changedRecords == 1 && plan.table != TableId::Staff && noun.back() == 's') noun.pop_back();
    return text + " (" + groupedNumber(changedRecords) + " " + noun + ")";
}

}  // namespace db

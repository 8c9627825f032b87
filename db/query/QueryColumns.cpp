// The tables and columns of the filter language: names, aliases, the
// derived columns and the default columns of each table.

#include <algorithm>
#include <cctype>

#include "db/query/Query.h"
#include "db/rules/GameDate.h"

namespace db {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool hasOwner(TableId t)
{
    return t == TableId::Players || t == TableId::NonPlayers;
}

// A field of `t` by name: the catalog's own, then a reference named without
// its "Id", then the aliases.
const FieldInfo* queryField(TableId t, std::string_view name)
{
    const auto fields = fieldsOf(t);
    for (const FieldInfo& f : fields)
        if (f.named() && sameName(f.name, name)) return &f;
    for (const FieldInfo& f : fields)
        if (f.kind == FieldKind::Reference && f.name.size() == name.size() + 2 && f.name.ends_with("Id") &&
            sameName(f.name.substr(0, name.size()), name))
            return &f;
    if (t == TableId::Staff && sameName(name, "Club"))
        for (const FieldInfo& f : fields)
            if (f.name == "ClubContractedId") return &f;
    return nullptr;
}

std::string describe(TableId t)
{
    return queryTableName(t);
}

}  // namespace

QueryError::QueryError(std::size_t position, const std::string& message)
    : Error("at position " + std::to_string(position + 1) + ": " + message),
      position_(position),
      message_(message)
{
}

std::optional<QueryDate> parseQueryDate(std::string_view text)
{
    // Fields of digits separated by `sep`; each within its width.
    auto numbers = [&](char sep, int(&out)[3]) {
        std::size_t i = 0;
        for (int k = 0; k < 3; ++k) {
            const std::size_t start = i;
            long v = 0;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 5)
                v = v * 10 + (text[i++] - '0');
            if (i == start) return false;
            out[k] = static_cast<int>(v);
            if (k < 2) {
                if (i >= text.size() || text[i] != sep) return false;
                ++i;
            }
        }
        return i == text.size();
    };
    int f[3] = {0, 0, 0};
    int day = 0, month = 0, year = 0;
    if (numbers('-', f)) {
        year = f[0], month = f[1], day = f[2];
    } else if (numbers('/', f)) {
        day = f[0], month = f[1], year = f[2];
    } else {
        return std::nullopt;
    }
    if (day < 1 || day > 31 || month < 1 || month > 12 || year > 32767) return std::nullopt;
    // Through the day-of-year rule of the staff page, so that a date typed
    // here finds what the page stores for it (29/2 included).
    return QueryDate{static_cast<std::int16_t>(year), GetDate(day, static_cast<std::uint16_t>(month))};
}

const std::vector<std::string>& queryTableNames()
{
    static const std::vector<std::string> names = {"clubs",   "staff",       "players",      "non-players",
                                                   "nations", "stadiums",    "cities",       "competitions",
                                                   "colours", "first-names", "second-names", "common-names"};
    return names;
}

std::optional<TableId> queryTableByName(std::string_view name)
{
    for (const std::string& n : queryTableNames())
        if (n == name)
            if (const TableLayout* t = tableByName(name)) return t->id;
    return std::nullopt;
}

std::string queryTableName(TableId t)
{
    return tableLayout(t).name;
}

Column resolveColumn(TableId t, std::string_view text, std::size_t position)
{
    // An element of a list: Name[k], k from 1.
    std::string_view name = text;
    int element = -1;
    if (const std::size_t open = text.find('['); open != std::string_view::npos) {
        name = text.substr(0, open);
        const std::string_view rest = text.substr(open + 1);
        std::size_t i = 0;
        long k = 0;
        while (i < rest.size() && i < 4 && std::isdigit(static_cast<unsigned char>(rest[i])))
            k = k * 10 + (rest[i++] - '0');
        if (i == 0 || i + 1 != rest.size() || rest[i] != ']')
            throw QueryError(position + open, "expected an element number in brackets, as PlayerIds[1]");
        element = static_cast<int>(k) - 1;
    }

    Column c;
    auto withField = [&](const FieldInfo* f, bool viaOwner) {
        c.source = Column::Source::Field;
        c.field = f;
        c.viaOwner = viaOwner;
        c.name = std::string(f->name);
        if (element >= 0) {
            if (f->count < 2)
                throw QueryError(position, std::string(f->name) + " is not a list; it takes no [element]");
            if (element >= f->count)
                throw QueryError(position,
                                 std::string(f->name) + " has elements 1 to " + std::to_string(f->count));
            c.element = element;
            c.name = elementName(*f, element);
        }
        return c;
    };
    auto plain = [&](Column::Source s, const char* n, bool viaOwner) {
        if (element >= 0)
            throw QueryError(position, std::string(n) + " is not a list; it takes no [element]");
        c.source = s;
        c.name = n;
        c.viaOwner = viaOwner;
        return c;
    };

    if (sameName(name, "Id")) return plain(Column::Source::Id, "Id", false);
    for (const FieldInfo& f : fieldsOf(t))
        if (sameName(f.name, name)) return withField(&f, false);
    const bool person = t == TableId::Staff || hasOwner(t);
    if (sameName(name, "Name")) return plain(Column::Source::Name, "Name", false);
    if (person && sameName(name, "Age")) return plain(Column::Source::Age, "Age", hasOwner(t));
    if (const FieldInfo* f = queryField(t, name)) return withField(f, false);
    if (hasOwner(t))
        if (const FieldInfo* f = queryField(TableId::Staff, name)) return withField(f, true);
    throw QueryError(position,
                     "expected a field of " + describe(t) + "; '" + std::string(text) + "' is none");
}

std::vector<Column> defaultColumns(TableId t)
{
    std::vector<const char*> names;
    switch (t) {
        case TableId::Staff:
            names = {"Name", "Age", "Nation", "Club", "JobForClub", "Wage"};
            break;
        case TableId::Players:
        case TableId::NonPlayers:
            names = {"Name", "Age", "Nation", "Club", "CurrentAbility", "PotentialAbility"};
            break;
        case TableId::Clubs:
            names = {"LongName", "Nation", "Division", "Cash", "Reputation"};
            break;
        case TableId::Stadiums:
            names = {"StadiumName", "City", "Capacity"};
            break;
        case TableId::FirstNames:
        case TableId::SecondNames:
        case TableId::CommonNames:
            names = {"Name", "UsageCount"};
            break;
        default:
            names = {"Name"};
            break;
    }
    std::vector<Column> out;
    for (const char* n : names) out.push_back(resolveColumn(t, n));
    return out;
}

std::vector<std::string> columnNames(TableId t)
{
    std::vector<std::string> out{"Id", "Name"};
    if (t == TableId::Staff || hasOwner(t)) out.emplace_back("Age");
    auto add = [&out](TableId from) {
        for (const FieldInfo& f : fieldsOf(from))
            if (f.named() && !f.reserved && std::find(out.begin(), out.end(), f.name) == out.end())
                out.emplace_back(f.name);
    };
    add(t);
    if (hasOwner(t)) add(TableId::Staff);
    return out;
}

void forEachListItem(std::string_view text, const std::function<void(std::size_t, std::size_t)>& item)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t a = start, b = end;
        while (a < b && text[a] == ' ') ++a;
        while (b > a && text[b - 1] == ' ') --b;
        item(a, b);
        start = end + 1;
    }
}

std::vector<Column> parseColumns(TableId t, std::string_view text)
{
    std::vector<Column> out;
    forEachListItem(text, [&](std::size_t a, std::size_t b) {
        if (a == b) throw QueryError(a, "expected a column name");
        out.push_back(resolveColumn(t, text.substr(a, b - a), a));
    });
    return out;
}

bool columnIsNumber(const Column& c)
{
    if (c.source == Column::Source::Id || c.source == Column::Source::Age) return true;
    return c.source == Column::Source::Field && c.field && c.field->kind == FieldKind::Number &&
           c.field->count == 1;
}

}  // namespace db

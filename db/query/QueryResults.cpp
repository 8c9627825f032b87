// Sorting query results and reading their columns as the pages show them.

#include <algorithm>
#include <limits>
#include <numeric>

#include "db/query/FoldedText.h"
#include "db/query/Query.h"
#include "db/query/RecordAccess.h"

namespace db {

std::vector<SortKey> parseSort(TableId t, std::string_view text)
{
    std::vector<SortKey> keys;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t a = start, b = end;
        while (a < b && text[a] == ' ') ++a;
        while (b > a && text[b - 1] == ' ') --b;
        SortKey k;
        if (a < b && (text[a] == '-' || text[a] == '+')) k.descending = text[a++] == '-';
        if (a == b) throw QueryError(a, "expected a column name to sort by");
        k.column = resolveColumn(t, text.substr(a, b - a), a);
        keys.push_back(std::move(k));
        start = end + 1;
    }
    return keys;
}

namespace {

// One sort key's value for every record to sort: a number, or text.
struct KeyValues {
    bool text = false;
    bool descending = false;
    std::vector<std::int64_t> numbers;
    std::vector<std::string_view> texts;
};

}  // namespace

void sortRecords(const Database& d, TableId t, std::vector<std::int32_t>& ids,
                 const std::vector<SortKey>& keys, QueryDate today)
{
    if (keys.empty() || ids.size() < 2) return;
    const RecordAccess access(d, t, today);
    const std::size_t n = ids.size();
    std::vector<KeyValues> values(keys.size());
    // Read every key once; the comparisons then touch only these arrays.
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const Column& c = keys[k].column;
        KeyValues& v = values[k];
        v.descending = keys[k].descending;
        v.text = c.source == Column::Source::Name ||
                 (c.source == Column::Source::Field && c.field->kind == FieldKind::Text);
        if (v.text)
            v.texts.resize(n);
        else
            v.numbers.resize(n);
        for (std::size_t r = 0; r < n; ++r) {
            const auto i = static_cast<std::size_t>(ids[r]);
            if (i >= access.size()) continue;  // not a record: sorts as 0 / empty
            switch (c.source) {
                case Column::Source::Id:
                    v.numbers[r] = static_cast<std::int64_t>(i);
                    break;
                case Column::Source::Name:
                    v.texts[r] = access.name(i);
                    break;
                case Column::Source::Age:
                    v.numbers[r] = access.age(c, i).value_or(std::numeric_limits<std::int64_t>::min());
                    break;
                case Column::Source::Field: {
                    const std::uint8_t* p = access.source(c, i);
                    if (!p) {
                        if (!v.text) v.numbers[r] = std::numeric_limits<std::int64_t>::min();
                    } else if (v.text) {
                        v.texts[r] = RecordAccess::text(*c.field, p);
                    } else {
                        v.numbers[r] = RecordAccess::number(*c.field, c.element >= 0 ? c.element : 0, p);
                    }
                    break;
                }
            }
        }
    }
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (const KeyValues& v : values) {
            int cmp = 0;
            if (v.text)
                cmp = compareFolded(v.texts[a], v.texts[b]);
            else
                cmp = v.numbers[a] < v.numbers[b] ? -1 : (v.numbers[a] > v.numbers[b] ? 1 : 0);
            if (cmp != 0) return v.descending ? cmp > 0 : cmp < 0;
        }
        return false;
    });
    std::vector<std::int32_t> sorted(n);
    for (std::size_t r = 0; r < n; ++r) sorted[r] = ids[order[r]];
    ids.swap(sorted);
}

ColumnReader::ColumnReader(const Database& d, TableId t, QueryDate today)
    : access_(std::make_unique<RecordAccess>(d, t, today))
{
}

ColumnReader::~ColumnReader() = default;

std::optional<std::int64_t> ColumnReader::number(const Column& c, std::int32_t id) const
{
    if (id < 0 || static_cast<std::size_t>(id) >= access_->size()) return std::nullopt;
    const auto i = static_cast<std::size_t>(id);
    switch (c.source) {
        case Column::Source::Id:
            return id;
        case Column::Source::Age:
            return access_->age(c, i);
        case Column::Source::Name:
            return std::nullopt;
        case Column::Source::Field:
            break;
    }
    const std::uint8_t* p = access_->source(c, i);
    if (!p || c.field->kind != FieldKind::Number) return std::nullopt;
    return RecordAccess::number(*c.field, c.element >= 0 ? c.element : 0, p);
}

std::string ColumnReader::text(const Column& c, std::int32_t id) const
{
    if (id < 0 || static_cast<std::size_t>(id) >= access_->size()) return {};
    const auto i = static_cast<std::size_t>(id);
    switch (c.source) {
        case Column::Source::Id:
            return std::to_string(id);
        case Column::Source::Name:
            return std::string(access_->name(i));
        case Column::Source::Age: {
            const auto age = access_->age(c, i);
            return age ? std::to_string(*age) : std::string();
        }
        case Column::Source::Field:
            break;
    }
    const std::uint8_t* p = access_->source(c, i);
    if (!p) return {};
    if (c.element >= 0 || c.field->count < 2)
        return formatValue(access_->database(), *c.field, c.element < 0 ? 0 : c.element, p);
    std::string out;
    for (int e = 0; e < c.field->count; ++e)
        out += (e ? ", " : "") + formatValue(access_->database(), *c.field, e, p);
    return out;
}

}  // namespace db

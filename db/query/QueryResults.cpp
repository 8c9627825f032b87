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
    forEachListItem(text, [&](std::size_t a, std::size_t b) {
        SortKey k;
        if (a < b && (text[a] == '-' || text[a] == '+')) k.descending = text[a++] == '-';
        if (a == b) throw QueryError(a, "expected a column name to sort by");
        k.column = resolveColumn(t, text.substr(a, b - a), a);
        keys.push_back(std::move(k));
    });
    return keys;
}

namespace {

// One sort key's value for every record to sort: a number, or text folded
// once into one buffer so that comparing two records is a plain byte compare.
struct KeyValues {
    bool text = false;
    bool descending = false;
    std::vector<std::int64_t> numbers;
    std::string folded;
    std::vector<std::uint32_t> start;  // text r is folded[start[r], start[r + 1])

    std::string_view textAt(std::size_t r) const
    {
        return std::string_view(folded).substr(start[r], start[r + 1] - start[r]);
    }
    int compare(std::uint32_t a, std::uint32_t b) const
    {
        int c = 0;
        if (text) {
            const int m = textAt(a).compare(textAt(b));
            c = m < 0 ? -1 : (m > 0 ? 1 : 0);
        } else {
            c = numbers[a] < numbers[b] ? -1 : (numbers[a] > numbers[b] ? 1 : 0);
        }
        return descending ? -c : c;
    }
};

KeyValues readKey(const RecordAccess& access, const SortKey& key, const std::vector<std::int32_t>& ids)
{
    const Column& c = key.column;
    const std::size_t n = ids.size();
    KeyValues v;
    v.descending = key.descending;
    v.text = c.source == Column::Source::Name ||
             (c.source == Column::Source::Field && c.field->kind == FieldKind::Text);
    constexpr std::int64_t kUnread = std::numeric_limits<std::int64_t>::min();  // sorts first
    if (v.text) {
        v.start.reserve(n + 1);
    } else {
        v.numbers.assign(n, kUnread);
    }
    for (std::size_t r = 0; r < n; ++r) {
        const auto i = static_cast<std::size_t>(ids[r]);
        const bool real = ids[r] >= 0 && i < access.size();
        if (v.text) {
            v.start.push_back(static_cast<std::uint32_t>(v.folded.size()));
            if (!real) continue;
            const std::uint8_t* p = c.source == Column::Source::Field ? access.source(c, i) : nullptr;
            const std::string_view raw = c.source == Column::Source::Name
                                             ? access.name(i)
                                             : (p ? RecordAccess::text(*c.field, p) : std::string_view());
            for (char ch : raw) v.folded += static_cast<char>(foldByte(static_cast<std::uint8_t>(ch)));
            continue;
        }
        if (!real) continue;
        switch (c.source) {
            case Column::Source::Id:
                v.numbers[r] = static_cast<std::int64_t>(i);
                break;
            case Column::Source::Age:
                v.numbers[r] = access.age(c, i).value_or(kUnread);
                break;
            case Column::Source::Field:
                if (const std::uint8_t* p = access.source(c, i))
                    v.numbers[r] = RecordAccess::number(*c.field, c.element >= 0 ? c.element : 0, p);
                break;
            case Column::Source::Name:
                break;
        }
    }
    if (v.text) v.start.push_back(static_cast<std::uint32_t>(v.folded.size()));
    return v;
}

}  // namespace

void sortRecords(const Database& d, TableId t, std::vector<std::int32_t>& ids,
                 const std::vector<SortKey>& keys, QueryDate today)
{
    if (keys.empty() || ids.size() < 2) return;
    const RecordAccess access(d, t, today);
    const std::size_t n = ids.size();
    // Read every key once; the comparisons then touch only these arrays.
    std::vector<KeyValues> values;
    for (const SortKey& k : keys) values.push_back(readKey(access, k, ids));
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    if (values.size() == 1 && !values[0].text) {
        // One number: sort (value, position) pairs, the common case made cheap.
        const KeyValues& v = values[0];
        std::vector<std::pair<std::int64_t, std::uint32_t>> pairs(n);
        for (std::uint32_t r = 0; r < n; ++r)
            pairs[r] = {v.descending ? -(v.numbers[r] + 1) : v.numbers[r], r};
        std::sort(pairs.begin(), pairs.end());
        for (std::size_t r = 0; r < n; ++r) order[r] = pairs[r].second;
    } else if (values.size() == 1) {
        // One text: sort by the first eight bytes held beside each position,
        // reading the whole texts only where those are equal.
        const KeyValues& v = values[0];
        std::vector<std::pair<std::uint64_t, std::uint32_t>> pairs(n);
        for (std::uint32_t r = 0; r < n; ++r) {
            const std::string_view t = v.textAt(r);
            std::uint64_t prefix = 0;
            for (std::size_t k = 0; k < 8; ++k)
                prefix = prefix << 8 | (k < t.size() ? static_cast<std::uint8_t>(t[k]) : 0u);
            pairs[r] = {v.descending ? ~prefix : prefix, r};
        }
        std::sort(pairs.begin(), pairs.end(), [&](const auto& a, const auto& b) {
            if (a.first != b.first) return a.first < b.first;
            if (const int c = v.compare(a.second, b.second)) return c < 0;
            return a.second < b.second;
        });
        for (std::size_t r = 0; r < n; ++r) order[r] = pairs[r].second;
    } else {
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            for (const KeyValues& v : values)
                if (const int c = v.compare(a, b)) return c < 0;
            return a < b;  // equal on every key: as they came
        });
    }
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

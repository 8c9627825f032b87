#include "db/editing/ChangeList.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <map>
#include <tuple>

#include "db/rules/TextRules.h"
#include "db/rules/Win1252.h"

namespace db {

namespace {

// Which bytes of a table's records no named field covers.
const std::vector<bool>& uncoveredBytes(TableId t)
{
    static const auto all = [] {
        std::array<std::vector<bool>, kTableCount> out;
        for (std::size_t k = 0; k < kTableCount; ++k) {
            const auto table = static_cast<TableId>(k);
            std::vector<bool>& bytes = out[k];
            bytes.assign(tableInfo(table).recordSize, true);
            for (const FieldInfo& f : fieldsOf(table))
                if (f.named())
                    for (std::size_t off = f.offset; off < f.end() && off < bytes.size(); ++off)
                        bytes[off] = false;
        }
        return out;
    }();
    return all[static_cast<std::size_t>(t)];
}

// Calls f(field, element) for every field element whose bytes differ between
// the records a and b of table t, then f(-1, offset) for differing bytes no
// field covers.
template <typename F>
void forEachDifference(TableId t, std::size_t size, const std::uint8_t* a, const std::uint8_t* b, F&& f)
{
    const std::span<const FieldInfo> fields = fieldsOf(t);
    for (std::size_t j = 0; j < fields.size(); ++j) {
        const FieldInfo& fi = fields[j];
        if (!fi.named()) continue;  // compared byte by byte below
        for (int e = 0; e < fi.count; ++e) {
            const std::size_t off = fi.offset + static_cast<std::size_t>(fi.width) * e;
            if (off + fi.width <= size && std::memcmp(a + off, b + off, fi.width) != 0)
                f(static_cast<int>(j), e);
        }
    }
    const std::vector<bool>& uncovered = uncoveredBytes(t);
    for (std::size_t off = 0; off < size && off < uncovered.size(); ++off)
        if (uncovered[off] && a[off] != b[off]) f(-1, static_cast<int>(off));
}

using Key = std::tuple<int, std::size_t, bool, int, int>;  // table, record, appended, field, element

Key keyOf(const ChangeEntry& e)
{
    return {static_cast<int>(e.table), e.record, e.appended, e.field, e.element};
}

template <typename R>
const std::uint8_t* bytesAt(const Table<R>& table, std::size_t i)
{
    return table[i].data();
}

// Orders the entries by the first of `steps` that changed each; entries no
// step explains come last, in the order given.
std::vector<ChangeEntry> orderBySteps(std::vector<ChangeEntry> out, std::span<const ChangeStep* const> steps)
{
    // The order the steps made them in; a field changed, undone by hand and
    // changed again keeps its first place.
    std::map<Key, std::size_t> rank;
    auto note = [&](const ChangeEntry& e) { rank.emplace(keyOf(e), rank.size()); };
    for (const ChangeStep* step : steps) {
        if (!step) continue;
        for (const RecordChange& c : step->changes) {
            if (!isSavedTable(c.table) || c.before.bytes.size() != c.after.bytes.size()) continue;
            forEachDifference(c.table, c.before.bytes.size(), c.before.bytes.data(), c.after.bytes.data(),
                              [&](int field, int element) {
                                  note({c.table, c.position, false, field, element});
                              });
        }
        for (const TableGrowth& g : step->growth)
            for (std::size_t i = 0; i < g.added.size(); ++i) note({g.table, g.oldSize + i, true});
    }
    const std::size_t unranked = std::numeric_limits<std::size_t>::max();
    std::vector<std::pair<std::size_t, std::size_t>> order;  // rank, position in table order
    order.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto r = rank.find(keyOf(out[i]));
        order.emplace_back(r == rank.end() ? unranked : r->second, i);
    }
    std::sort(order.begin(), order.end());
    std::vector<ChangeEntry> sorted;
    sorted.reserve(out.size());
    for (const auto& [r, i] : order) sorted.push_back(out[i]);
    return sorted;
}


}  // namespace

std::vector<ChangeEntry> listChanges(const DatabaseImage& loaded, const Database& now,
                                     std::span<const ChangeStep* const> steps)
{
    std::vector<ChangeEntry> out;
    if (!loaded.captured) return out;
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        if (!isSavedTable(t)) continue;
        const TableImage& img = loaded.table(t);
        withTable(now, t, [&](const auto& table) {
            using R = typename std::decay_t<decltype(table)>::value_type;
            const std::size_t common = std::min(img.count, table.size());
            // Tables of plain records sit in one block: compare runs of
            // records at once and look closer only where a run differs.
            constexpr std::size_t run = sizeof(R) == R::Size ? 1024 : 1;
            for (std::size_t first = 0; first < common; first += run) {
                const std::size_t last = std::min(common, first + run);
                if constexpr (run > 1)
                    if (std::memcmp(bytesAt(table, first), img.record(first), (last - first) * R::Size) == 0)
                        continue;
                for (std::size_t i = first; i < last; ++i) {
                    const std::uint8_t* cur = bytesAt(table, i);
                    if (std::memcmp(cur, img.record(i), R::Size) == 0) continue;
                    forEachDifference(t, R::Size, img.record(i), cur, [&](int field, int element) {
                        out.push_back({t, i, false, field, element});
                    });
                }
            }
            for (std::size_t i = img.count; i < table.size(); ++i) out.push_back({t, i, true});
        });
    }

    return orderBySteps(std::move(out), steps);
}

namespace {

// The text of an entry, the loaded bytes of its record given by `before`
// (nullptr when they are not known).
ChangeText describeWith(const ChangeEntry& e, const std::uint8_t* before, const Database& now,
                        const RecordNamer& namer)
{
    ChangeText text;
    text.table = tableName(e.table);
    text.record = std::to_string(e.record);
    text.name = namer.name(e.table, e.record);
    if (e.appended) {
        text.field = "(new record)";
        return text;
    }
    if (e.unexplained) {
        text.field = "(changed without an undo step)";
        return text;
    }
    if (!before || e.record >= tableSize(now, e.table)) return text;
    withTable(now, e.table, [&](const auto& table) {
        const std::uint8_t* after = table[e.record].data();
        if (e.field < 0) {
            FieldInfo byte = bytesField("", BytesField{static_cast<std::uint16_t>(e.element), 1});
            text.field = "Byte " + std::to_string(e.element);
            text.oldValue = formatValue(now, byte, 0, before);
            text.newValue = formatValue(now, byte, 0, after);
            return;
        }
        const FieldInfo& f = fieldsOf(e.table)[static_cast<std::size_t>(e.field)];
        text.field = elementName(f, e.element);
        text.oldValue = formatValue(now, f, e.element, before);
        text.newValue = formatValue(now, f, e.element, after);
    });
    return text;
}

}  // namespace

ChangeText describeChange(const ChangeEntry& e, const DatabaseImage& loaded, const Database& now,
                          const RecordNamer& namer)
{
    const TableImage& img = loaded.table(e.table);
    return describeWith(e, e.record < img.count ? img.record(e.record) : nullptr, now, namer);
}

ChangeText describeChange(const ChangeEntry& e, const LoadedBaseline& loaded, const Database& now,
                          const RecordNamer& namer)
{
    const std::uint8_t* before = e.record < loaded.count(e.table) ? loaded.record(e.table, e.record) : nullptr;
    if (!before && !e.appended && !e.unexplained && e.record < tableSize(now, e.table))
        before = withTable(now, e.table, [&](const auto& table) { return table[e.record].data(); });
    return describeWith(e, before, now, namer);
}

std::vector<ChangeEntry> listChanges(const LoadedBaseline& loaded, const Database& now,
                                     std::span<const ChangeStep* const> steps)
{
    std::vector<ChangeEntry> out;
    for (const auto& candidate : loaded.candidates()) {
        // Plain copies: a lambda cannot capture a structured binding (C++20 as clang 14 has it).
        const TableId t = candidate.first;
        const std::size_t i = candidate.second;
        withTable(now, t, [&](const auto& table) {
            using R = typename std::decay_t<decltype(table)>::value_type;
            if (i >= table.size()) return;
            const std::uint8_t* before = loaded.record(t, i);
            const std::uint8_t* cur = table[i].data();
            if (std::memcmp(cur, before, R::Size) == 0) return;
            forEachDifference(t, R::Size, before, cur,
                              [&](int field, int element) { out.push_back({t, i, false, field, element}); });
        });
    }
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        if (!isSavedTable(t)) continue;
        for (std::size_t i = loaded.count(t); i < tableSize(now, t); ++i) out.push_back({t, i, true});
    }
    // Blocks changed without a step whose loaded bytes are not known: every
    // record of them is listed, since any may differ.
    std::vector<ChangeEntry> unknown;
    for (const UnexplainedBlock& u : loaded.unexplained())
        for (std::size_t i = u.first; i < u.first + u.count; ++i)
            if (!loaded.record(u.table, i)) unknown.push_back({u.table, i, false, -1, 0, true});
    out = orderBySteps(std::move(out), steps);
    out.insert(out.end(), unknown.begin(), unknown.end());
    return out;
}

namespace {

std::string csvUtf8(const std::string& raw)
{
    return csvField(win1252ToUtf8(raw));
}

}  // namespace

std::string changesCsv(const std::vector<ChangeText>& lines)
{
    std::string out = "Table,Record,Name,Field,Old value,New value\r\n";
    for (const ChangeText& l : lines) {
        out += csvUtf8(l.table) + ',' + csvUtf8(l.record) + ',' + csvUtf8(l.name) + ',' + csvUtf8(l.field) +
               ',' + csvUtf8(l.oldValue) + ',' + csvUtf8(l.newValue) + "\r\n";
    }
    return out;
}

}  // namespace db

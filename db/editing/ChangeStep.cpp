#include "db/editing/ChangeStep.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace db {

namespace {

template <typename R>
constexpr bool kHasName = std::is_same_v<R, StaffRecord>;

template <typename R>
std::string_view nameOf(const R& r)
{
    if constexpr (kHasName<R>) return r.displayName;
    return {};
}

template <typename R>
RecordImage imageOf(const R& r)
{
    RecordImage img;
    img.bytes.assign(r.bytes.begin(), r.bytes.end());
    if constexpr (kHasName<R>) img.displayName = r.displayName;
    return img;
}

template <typename R>
bool matches(const R& r, const RecordImage& img)
{
    if (img.bytes.size() != R::Size || !std::equal(img.bytes.begin(), img.bytes.end(), r.bytes.begin()))
        return false;
    if constexpr (kHasName<R>) return r.displayName == img.displayName;
    return true;
}

template <typename R>
R recordFrom(const RecordImage& img)
{
    R r;
    std::copy_n(img.bytes.begin(), std::min(img.bytes.size(), R::Size), r.bytes.begin());
    if constexpr (kHasName<R>) r.displayName = img.displayName;
    return r;
}

bool recordMatches(const Database& d, TableId t, std::size_t position, const RecordImage& img)
{
    return withTable(
        d, t, [&](const auto& table) { return position < table.size() && matches(table[position], img); });
}

void setRecord(Database& d, TableId t, std::size_t position, const RecordImage& img)
{
    withTable(d, t, [&](auto& table) {
        using R = typename std::decay_t<decltype(table)>::value_type;
        table[position] = recordFrom<R>(img);
    });
}

// Whether every record of `added` sits at oldSize.. in its table, and nothing after.
bool grownAs(const Database& d, const TableGrowth& g)
{
    if (tableSize(d, g.table) != g.oldSize + g.added.size()) return false;
    for (std::size_t i = 0; i < g.added.size(); ++i)
        if (!recordMatches(d, g.table, g.oldSize + i, g.added[i])) return false;
    return true;
}

const char* const kStaleStep = "The records this step changed have been changed since; it cannot be undone";

}  // namespace

RecordImage recordImage(const Database& d, TableId t, std::size_t position)
{
    return withTable(d, t, [&](const auto& table) { return imageOf(table.at(position)); });
}

TableImage tableImage(const Database& d, TableId t, bool withDisplayNames)
{
    return withTable(d, t, [withDisplayNames](const auto& table) {
        using R = typename std::decay_t<decltype(table)>::value_type;
        TableImage img;
        img.recordSize = R::Size;
        img.count = table.size();
        img.bytes.resize(R::Size * table.size());
        for (std::size_t i = 0; i < table.size(); ++i)
            std::memcpy(img.bytes.data() + i * R::Size, table[i].data(), R::Size);
        if constexpr (kHasName<R>) {
            if (!withDisplayNames) return img;
            img.displayNames.reserve(table.size());
            for (const R& r : table) img.displayNames.push_back(r.displayName);
        }
        return img;
    });
}

DatabaseImage savedTablesImage(const Database& d)
{
    DatabaseImage image;
    for (std::size_t k = 0; k < kTableCount; ++k)
        if (isSavedTable(static_cast<TableId>(k)))
            image.tables[k] = tableImage(d, static_cast<TableId>(k), false);
    image.captured = true;
    return image;
}

// ---- ChangeStep ----------------------------------------------------------

bool ChangeStep::canUndo(const Database& d) const
{
    for (const TableGrowth& g : growth)
        if (!grownAs(d, g)) return false;
    for (const RecordChange& c : changes)
        if (!recordMatches(d, c.table, c.position, c.after)) return false;
    return true;
}

bool ChangeStep::canRedo(const Database& d) const
{
    for (const TableGrowth& g : growth)
        if (tableSize(d, g.table) != g.oldSize) return false;
    for (const RecordChange& c : changes)
        if (!recordMatches(d, c.table, c.position, c.before)) return false;
    return true;
}

void ChangeStep::undo(Database& d) const
{
    if (!canUndo(d)) throw Error(kStaleStep);
    for (auto it = changes.rbegin(); it != changes.rend(); ++it)
        setRecord(d, it->table, it->position, it->before);
    for (const TableGrowth& g : growth) withTable(d, g.table, [&](auto& table) { table.resize(g.oldSize); });
}

void ChangeStep::redo(Database& d) const
{
    if (!canRedo(d)) throw Error(kStaleStep);
    for (const RecordChange& c : changes) setRecord(d, c.table, c.position, c.after);
    for (const TableGrowth& g : growth)
        withTable(d, g.table, [&](auto& table) {
            using R = typename std::decay_t<decltype(table)>::value_type;
            for (const RecordImage& img : g.added) table.push_back(recordFrom<R>(img));
        });
}

// ---- ChangeRecorder ----------------------------------------------------------

ChangeRecorder::ChangeRecorder(const Database& d) : db_(d)
{
    for (std::size_t k = 0; k < kTableCount; ++k) sizes_[k] = tableSize(d, static_cast<TableId>(k));
    for (std::size_t i = 0; i < d.index.size(); ++i) touch(TableId::Index, static_cast<std::int64_t>(i));
}

namespace {
constexpr std::size_t kBlockSize = 1 << 20;
}

std::uint8_t* ChangeRecorder::room(std::size_t size)
{
    if (blocks_.empty() || blockUsed_ + size > kBlockSize) {
        blocks_.push_back(std::make_unique<std::uint8_t[]>(std::max(kBlockSize, size)));
        blockUsed_ = 0;
    }
    std::uint8_t* p = blocks_.back().get() + blockUsed_;
    blockUsed_ += size;
    return p;
}

void ChangeRecorder::touch(TableId t, std::int64_t position)
{
    const std::size_t k = static_cast<std::size_t>(t);
    if (!whole_.empty() || position < 0 || static_cast<std::uint64_t>(position) >= sizes_[k]) return;
    const auto at = static_cast<std::size_t>(position);
    std::vector<bool>& seen = seen_[k];
    if (seen.empty()) seen.resize(sizes_[k]);
    if (seen[at]) return;
    seen[at] = true;
    withTable(db_, t, [&](const auto& table) {
        const auto& r = table[at];
        const std::string_view name = nameOf(r);
        std::uint8_t* p = room(r.bytes.size() + name.size());
        std::memcpy(p, r.data(), r.bytes.size());
        if (!name.empty()) std::memcpy(p + r.bytes.size(), name.data(), name.size());
        touched_.push_back({t, at, p, name.size()});
    });
}

RecordImage ChangeRecorder::imageBefore(const Touched& t) const
{
    RecordImage img;
    const std::size_t size = tableInfo(t.table).recordSize;
    img.bytes.assign(t.bytes, t.bytes + size);
    img.displayName.assign(reinterpret_cast<const char*>(t.bytes + size), t.nameSize);
    return img;
}

void ChangeRecorder::touchAll()
{
    if (!whole_.empty()) return;
    touched_.clear();
    blocks_.clear();
    for (std::vector<bool>& seen : seen_) seen.clear();
    for (std::size_t k = 0; k < kTableCount; ++k) whole_.push_back(tableImage(db_, static_cast<TableId>(k)));
}

ChangeStep ChangeRecorder::finish(const Database& d) const
{
    ChangeStep step;
    auto compare = [&](TableId t, std::size_t position, RecordImage before) {
        if (position >= tableSize(d, t)) return;  // records are never removed
        RecordImage after = recordImage(d, t, position);
        if (after != before) step.changes.push_back({t, position, std::move(before), std::move(after)});
    };
    if (whole_.empty()) {
        // In table and position order, whatever order they were touched in;
        // an image is made only for a record that changed.
        std::vector<std::size_t> order(touched_.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        auto key = [this](std::size_t i) { return std::make_pair(touched_[i].table, touched_[i].position); };
        if (!std::is_sorted(order.begin(), order.end(),
                            [&](std::size_t a, std::size_t b) { return key(a) < key(b); }))
            std::sort(order.begin(), order.end(),
                      [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
        for (std::size_t i : order) {
            const Touched& t = touched_[i];
            if (t.position >= tableSize(d, t.table)) continue;  // records are never removed
            const bool same = withTable(d, t.table, [&](const auto& table) {
                const auto& r = table[t.position];
                return std::memcmp(r.data(), t.bytes, r.bytes.size()) == 0 &&
                       nameOf(r) == std::string_view(reinterpret_cast<const char*>(t.bytes + r.bytes.size()),
                                                     t.nameSize);
            });
            if (!same)
                step.changes.push_back(
                    {t.table, t.position, imageBefore(t), recordImage(d, t.table, t.position)});
        }
    } else {
        for (std::size_t k = 0; k < kTableCount; ++k) {
            const auto t = static_cast<TableId>(k);
            const TableImage& img = whole_[k];
            const std::size_t n = std::min(img.count, tableSize(d, t));
            withTable(d, t, [&](const auto& table) {
                for (std::size_t i = 0; i < n; ++i) {
                    const bool sameBytes = std::memcmp(table[i].data(), img.record(i), img.recordSize) == 0;
                    const bool sameName = img.displayNames.empty() || nameOf(table[i]) == img.displayNames[i];
                    if (sameBytes && sameName) continue;
                    RecordImage before;
                    before.bytes.assign(img.record(i), img.record(i) + img.recordSize);
                    if (!img.displayNames.empty()) before.displayName = img.displayNames[i];
                    compare(t, i, std::move(before));
                }
            });
        }
    }
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const std::size_t now = tableSize(d, t);
        if (now <= sizes_[k]) continue;
        TableGrowth g{t, sizes_[k], {}};
        for (std::size_t i = sizes_[k]; i < now; ++i) g.added.push_back(recordImage(d, t, i));
        step.growth.push_back(std::move(g));
    }
    return step;
}

}  // namespace db

#include "db/editing/LoadedBaseline.h"

#include <algorithm>
#include <set>
// The streaming state is used on the stack.
#define XXH_STATIC_LINKING_ONLY
#include <xxhash.h>

#include "db/format/FieldCatalog.h"

namespace db {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;

template <typename R>
std::uint64_t hashBlock(const Table<R>& table, std::size_t first, std::size_t last)
{
    if constexpr (sizeof(R) == R::Size) {
        return XXH3_64bits(table[first].data(), (last - first) * R::Size);
    } else {
        // Records carrying more than their bytes (a staff member's display
        // name): only the bytes are hashed.
        XXH3_state_t state;
        XXH3_64bits_reset(&state);
        for (std::size_t i = first; i < last; ++i) XXH3_64bits_update(&state, table[i].data(), R::Size);
        return XXH3_64bits_digest(&state);
    }
}

template <typename R>
TableFingerprint fingerprintOf(const Table<R>& table)
{
    TableFingerprint f;
    f.count = table.size();
    f.recordsPerBlock = std::max<std::size_t>(1, kBlockBytes / R::Size);
    for (std::size_t first = 0; first < table.size(); first += f.recordsPerBlock)
        f.blocks.push_back(hashBlock(table, first, std::min(table.size(), first + f.recordsPerBlock)));
    return f;
}

}  // namespace

LoadedFingerprints fingerprintTables(const Database& d)
{
    LoadedFingerprints out;
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        if (isSavedTable(t)) out.tables[k] = withTable(d, t, [](const auto& table) { return fingerprintOf(table); });
    }
    out.taken = true;
    return out;
}

LoadedBaseline::LoadedBaseline(const LoadedFingerprints& loaded, const Database& now,
                               std::span<const ChangeStep* const> steps, const LoadedReader& reader)
    : fingerprints_(loaded)
{
    // The first image of each record wins: it is the record as loaded.
    for (const ChangeStep* step : steps) {
        if (!step) continue;
        for (const RecordChange& c : step->changes)
            if (isSavedTable(c.table) && c.position < count(c.table))
                first_.emplace(std::make_pair(c.table, c.position), c.before.bytes.data());
    }
    std::set<std::pair<TableId, std::size_t>> touchedBlocks;
    for (const auto& [key, bytes] : first_)
        touchedBlocks.emplace(key.first, key.second / loaded.tables[static_cast<std::size_t>(key.first)].recordsPerBlock);

    // Every other block must match its fingerprint.
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const TableFingerprint& f = loaded.tables[k];
        if (!isSavedTable(t) || !loaded.taken) continue;
        withTable(now, t, [&](const auto& table) {
            const std::size_t common = std::min(f.count, table.size());
            for (std::size_t b = 0; b < f.blocks.size(); ++b) {
                const std::size_t first = b * f.recordsPerBlock;
                const std::size_t last = std::min(f.count, first + f.recordsPerBlock);
                if (touchedBlocks.count({t, b})) continue;
                if (last <= common && hashBlock(table, first, last) == f.blocks[b]) continue;
                const std::size_t end = std::min(last, common);
                if (end <= first) continue;  // records gone: the table shrank (a step's undo does that)
                unexplained_.push_back({t, first, end - first});
            }
        });
    }

    // Records of unexplained blocks take their loaded bytes from the files.
    for (const UnexplainedBlock& u : unexplained_) {
        std::vector<std::uint8_t> bytes;
        if (!reader || !reader(u.table, u.first, u.count, bytes) ||
            bytes.size() != u.count * tableLayout(u.table).recordSize)
            continue;
        readBack_.push_back(std::move(bytes));
        const std::size_t size = tableLayout(u.table).recordSize;
        for (std::size_t i = 0; i < u.count; ++i)
            first_.emplace(std::make_pair(u.table, u.first + i), readBack_.back().data() + i * size);
    }
    candidates_.reserve(first_.size());
    for (const auto& [key, bytes] : first_) candidates_.push_back(key);
}

const std::uint8_t* LoadedBaseline::record(TableId t, std::size_t i) const
{
    const auto it = first_.find({t, i});
    return it == first_.end() ? nullptr : it->second;
}

}  // namespace db

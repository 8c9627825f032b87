#pragma once

// What the list of changes compares the tables with, without a copy of the
// database. The loaded bytes of a record a step touched are the bytes before
// the first step in effect that touched it; every other record of the loaded
// tables must still be as it was loaded. That is checked against
// fingerprints of the loaded tables (xxHash of blocks of records, taken
// right after the load): a block that differs though no step touched any of
// its records was changed behind the history's back. Such blocks are
// reported, and compared with the loaded bytes read back from the files when
// the caller can give them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "db/editing/ChangeStep.h"

namespace db {

struct TableFingerprint {
    std::size_t count = 0;            // records when taken
    std::size_t recordsPerBlock = 1;  // the last block may hold fewer
    std::vector<std::uint64_t> blocks;
};

struct LoadedFingerprints {
    std::array<TableFingerprint, kTableCount> tables;
    bool taken = false;
};

// Fingerprints of the saved tables of `d`: one hash per block of about 64 KB
// of records. About one pass over the data at memory speed.
LoadedFingerprints fingerprintTables(const Database& d);

// Records [first, first + count) of a table that differ from their loaded
// fingerprint though no step in effect touched any of them.
struct UnexplainedBlock {
    TableId table;
    std::size_t first = 0;
    std::size_t count = 0;
    bool operator==(const UnexplainedBlock&) const = default;
};

class LoadedBaseline {
public:
    // The loaded bytes of records [first, first + count) of a table, read back
    // from the files; false when they cannot be had.
    using LoadedReader =
        std::function<bool(TableId t, std::size_t first, std::size_t count, std::vector<std::uint8_t>& out)>;

    // `steps` are the steps in effect, oldest first; they and `now` must
    // outlive the baseline.
    LoadedBaseline(const LoadedFingerprints& loaded, const Database& now,
                   std::span<const ChangeStep* const> steps, const LoadedReader& reader = {});

    // Records of `t` when loaded.
    std::size_t count(TableId t) const { return fingerprints_.tables[static_cast<std::size_t>(t)].count; }
    // The loaded bytes of record i of `t` (i < count(t)); nullptr when the
    // record is as it was loaded or its loaded bytes could not be had.
    const std::uint8_t* record(TableId t, std::size_t i) const;
    // Loaded records that may differ from now, in table and record order.
    const std::vector<std::pair<TableId, std::size_t>>& candidates() const { return candidates_; }
    // Blocks changed without a step (a fault of the editor): reported in the
    // list and the log.
    const std::vector<UnexplainedBlock>& unexplained() const { return unexplained_; }

private:
    const LoadedFingerprints& fingerprints_;
    std::map<std::pair<TableId, std::size_t>, const std::uint8_t*> first_;
    std::vector<std::pair<TableId, std::size_t>> candidates_;
    std::vector<UnexplainedBlock> unexplained_;
    std::vector<std::vector<std::uint8_t>> readBack_;  // loaded bytes of unexplained blocks
};

}  // namespace db

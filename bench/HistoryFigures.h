#pragma once

// The edit history's costs on a loaded database, for quarndb-bench's table
// and quarndb-history-bench: the fingerprints File > Open takes of the
// loaded tables (on a second thread), the first Confirm-sized step after
// the load, and the memory the history holds after many steps.

#include <cstddef>
#include <vector>

#include "db/editing/ChangeStep.h"
#include "db/editing/LoadedBaseline.h"

namespace bench {

struct HistoryFigures {
    double fingerprintMs = 0;
    double firstChangeMs = 0;   // median over `runs` first steps, each undone again
    std::size_t dataBytes = 0;  // the saved tables
    std::size_t historyBytes = 0;
    double memoryRatio() const
    {
        return dataBytes ? static_cast<double>(dataBytes + historyBytes) / static_cast<double>(dataBytes) : 0;
    }
};

// One Confirm Changes of a player: his general and playing records.
db::ChangeStep confirmPlayer(db::Database& d, std::size_t k);

// Measures `d` (as loaded, no change yet) and leaves it with `changes`
// steps made; their steps and the fingerprints go to `steps` and
// `fingerprints`.
HistoryFigures measureHistory(db::Database& d, int changes, int runs, std::vector<db::ChangeStep>& steps,
                              db::LoadedFingerprints& fingerprints);

}  // namespace bench

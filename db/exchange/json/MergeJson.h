#pragma once

// The written report of a merge of updates (db/exchange/Merge.h), as JSON:
//
//   {
//     "format": "quarndb-merge-report",
//     "base": "BASEDIR", "prefer": "none",
//     "updates": [{"name": "a.json", "changedFields": 12, "appendedRecords": 2}, ...],
//     "merged": {"changedFields": 20, "changedRecords": 9, "appendedRecords": 5},
//     "renumbered": [{"update": "b.json", "table": "clubs", "from": 812, "to": 814, "count": 1}],
//     "conflicts": [{"table": "clubs", "id": 5, "field": "Cash", "base": 100,
//                    "values": [{"update": "a.json", "record": "Example Rovers", "value": 250}, ...],
//                    "kept": "a.json"}]                       null when left out
//   }
//
// Values are written as update files write them; names are UTF-8.

#include <string>
#include <vector>

#include "db/exchange/Merge.h"

namespace db {

std::string encodeMergeReport(const std::string& baseName, MergePolicy policy,
                              const std::vector<MergeInput>& inputs, const MergeResult& result);

}  // namespace db

#pragma once

// Merging several updates made from the same database (their base) into one.
//
// Every update is first checked against the base: its fingerprint (or, for
// a version 1 update, its counts) must be the base's, and every old value it
// holds must be the base's value. Then, field by field:
//   - a field one update changes, or several change to the same value, takes
//     that value;
//   - a name's UsageCount adds up every update's difference, as applying the
//     updates one after another would;
//   - a field several updates change to different values is a conflict: the
//     policy keeps the first update's value, the last one's, or none (the
//     field is left out). Every conflict is listed, whatever the policy.
// The records the updates append are all kept, one update's after the
// other's: their identifiers are renumbered and every reference inside each
// update to one of its own appended records follows.
//
// The merged update names the same base and applies like any other.

#include <string>
#include <vector>

#include "db/exchange/Update.h"

namespace db {

enum class MergePolicy { First, Last, None };

struct MergeInput {
    std::string name;  // how reports name the update (its file)
    Update update;
};

// One update's side of a conflict.
struct MergeSide {
    std::size_t input = 0;   // position in the merge's inputs
    std::string recordName;  // the update's name for the record (Windows-1252)
    FieldBytes value;        // with references renumbered as in the merged update
};

struct MergeConflict {
    TableId table = TableId::Count;
    std::int64_t record = 0;
    std::size_t field = 0;         // position in the table's field list
    FieldBytes base;               // the base's value
    std::vector<MergeSide> sides;  // every update that changes the field, in order
    int kept = -1;                 // the side whose value the merge kept; -1: left out

    // "clubs[5] (Name) Cash: base 100; a.json 250; b.json 300 -> kept a.json"
    std::string line(const std::vector<MergeInput>& inputs) const;
};

// Records of one update moved to other identifiers.
struct Renumbering {
    std::size_t input = 0;
    TableId table = TableId::Count;
    std::int64_t from = 0, to = 0, count = 0;
};

struct MergeResult {
    Update merged;
    std::vector<MergeConflict> conflicts;
    std::vector<Renumbering> renumbered;
};

// Throws Error with one sentence naming the update at fault when an update
// is damaged, was made from another database, or does not fit the base, and
// when there is nothing to merge.
MergeResult mergeUpdates(const Database& base, const std::vector<MergeInput>& inputs, MergePolicy policy);

const char* policyName(MergePolicy p);  // "first", "last", "none"

}  // namespace db

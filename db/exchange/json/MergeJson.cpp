#include "MergeJson.h"

#include <nlohmann/json.hpp>

#include "UpdateJson.h"
#include "db/rules/Win1252.h"

namespace db {

namespace {

using nlohmann::ordered_json;

ordered_json countsOf(const UpdateCounts& c, bool records)
{
    ordered_json j;
    j["changedFields"] = c.changedFields;
    if (records) j["changedRecords"] = c.changedRecords;
    j["appendedRecords"] = c.appendedRecords;
    return j;
}

}  // namespace

std::string encodeMergeReport(const std::string& baseName, MergePolicy policy,
                              const std::vector<MergeInput>& inputs, const MergeResult& result)
{
    ordered_json doc;
    doc["format"] = "quarndb-merge-report";
    doc["base"] = baseName;
    doc["prefer"] = policyName(policy);
    ordered_json updates = ordered_json::array();
    for (const MergeInput& in : inputs) {
        ordered_json u = {{"name", in.name}};
        u.update(countsOf(countUpdate(in.update), false));
        updates.push_back(std::move(u));
    }
    doc["updates"] = std::move(updates);
    doc["merged"] = countsOf(countUpdate(result.merged), true);
    ordered_json renumbered = ordered_json::array();
    for (const Renumbering& r : result.renumbered)
        renumbered.push_back({{"update", inputs[r.input].name},
                              {"table", tableLayout(r.table).name},
                              {"from", r.from},
                              {"to", r.to},
                              {"count", r.count}});
    doc["renumbered"] = std::move(renumbered);
    ordered_json conflicts = ordered_json::array();
    for (const MergeConflict& c : result.conflicts) {
        const ByteField& f = tableLayout(c.table).fields[c.field];
        ordered_json values = ordered_json::array();
        for (const MergeSide& s : c.sides)
            values.push_back({{"update", inputs[s.input].name},
                              {"record", win1252ToUtf8(s.recordName)},
                              {"value", ordered_json::parse(valueText(f, s.value.data()))}});
        ordered_json entry = {{"table", tableLayout(c.table).name},
                              {"id", c.record},
                              {"field", f.name},
                              {"base", ordered_json::parse(valueText(f, c.base.data()))},
                              {"values", std::move(values)}};
        entry["kept"] = c.kept < 0
                            ? ordered_json(nullptr)
                            : ordered_json(inputs[c.sides[static_cast<std::size_t>(c.kept)].input].name);
        conflicts.push_back(std::move(entry));
    }
    doc["conflicts"] = std::move(conflicts);
    return doc.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace db

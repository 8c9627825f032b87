#pragma once

// The staff slot groups of a club record and the jobs each group holds, and
// small naming helpers shared by the checks and the export.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "db/format/Records.h"

namespace db {

struct SlotGroup {
    const char* name;   // field name: "ChairmanId", "PlayerIds", ...
    IdListField field;  // single slots are lists of one
    std::vector<std::uint8_t> jobs;

    bool holds(std::uint8_t job) const
    {
        for (std::uint8_t j : jobs)
            if (j == job) return true;
        return false;
    }
};

// Chairman, directors, manager, assistant manager, players, coaches, scouts
// and physios, in record order.
const std::vector<SlotGroup>& slotGroups();

// "PlayerIds[3]" for element 3 of a list; the plain name for a single field.
std::string listFieldName(const char* name, int k, int count);

// "11 (Player)"; codes past the table show the number alone.
std::string jobText(std::uint8_t job);

}  // namespace db

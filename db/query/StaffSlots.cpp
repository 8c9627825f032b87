#include "db/query/StaffSlots.h"

#include "db/format/Codes.h"

namespace db {

const std::vector<SlotGroup>& slotGroups()
{
    using C = ClubRecord;
    static const std::vector<SlotGroup> groups = {
        {"ChairmanId", IdListField{C::ChairmanId.offset, 1}, {1}},
        {"DirectorIds", C::DirectorIds, {2, 3, 4}},
        {"ManagerId", IdListField{C::ManagerId.offset, 1}, {5, 12}},
        {"AssistantManagerId", IdListField{C::AssistantManagerId.offset, 1}, {6, 7, 13, 14}},
        {"PlayerIds", C::PlayerIds, {11, 12, 13, 14, 15}},
        {"CoachIds", C::CoachIds, {8, 15}},
        {"ScoutIds", C::ScoutIds, {9}},
        {"PhysioIds", C::PhysioIds, {10}},
    };
    return groups;
}

std::string listFieldName(const char* name, int k, int count)
{
    if (count <= 1) return name;
    return std::string(name) + "[" + std::to_string(k) + "]";
}

std::string jobText(std::uint8_t job)
{
    std::string s = std::to_string(job);
    if (job < kJobNames.size()) s += " (" + std::string(kJobNames[job]) + ")";
    return s;
}

}  // namespace db

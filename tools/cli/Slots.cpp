#include "Slots.h"

#include "db/format/Codes.h"

namespace cli {

const std::vector<SlotGroup>& slotGroups()
{
    using C = db::ClubRecord;
    static const std::vector<SlotGroup> groups = {
        {"ChairmanId", db::IdListField{C::ChairmanId.offset, 1}, {1}},
        {"DirectorIds", C::DirectorIds, {2, 3, 4}},
        {"ManagerId", db::IdListField{C::ManagerId.offset, 1}, {5, 12}},
        {"AssistantManagerId", db::IdListField{C::AssistantManagerId.offset, 1}, {6, 7, 13, 14}},
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
    if (job < db::kJobNames.size()) s += " (" + std::string(db::kJobNames[job]) + ")";
    return s;
}

}  // namespace cli

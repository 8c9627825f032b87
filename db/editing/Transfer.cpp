#include "db/editing/Transfer.h"

#include <optional>

namespace db {

namespace {

// Which slots a job holds at its club.
struct JobSlots {
    bool chairman = false;
    bool manager = false;
    bool assistant = false;
    std::optional<IdListField> staffList;  // directors, coaches, scouts or physios
    bool player = false;
};

JobSlots slotsOf(int job)
{
    JobSlots s;
    switch (job) {
        case 1:
            s.chairman = true;
            break;
        case 2:
        case 3:
        case 4:
            s.staffList = ClubRecord::DirectorIds;
            break;
        case 5:
            s.manager = true;
            break;
        case 6:
        case 7:
            s.assistant = true;
            break;
        case 8:
            s.staffList = ClubRecord::CoachIds;
            break;
        case 9:
            s.staffList = ClubRecord::ScoutIds;
            break;
        case 10:
            s.staffList = ClubRecord::PhysioIds;
            break;
        case 11:
            s.player = true;
            break;
        case 12:
            s.manager = true;
            s.player = true;
            break;
        case 13:
        case 14:
            s.assistant = true;
            s.player = true;
            break;
        case 15:
            s.staffList = ClubRecord::CoachIds;
            s.player = true;
            break;
        default:
            break;  // 0, 16 and unknown codes hold no slot
    }
    return s;
}

// First entry of `list` holding `value`, or -1.
int findEntry(const ClubRecord& club, IdListField list, std::int32_t value)
{
    for (int k = 0; k < list.count; ++k)
        if (club.id(list, k) == value) return k;
    return -1;
}

void clearFirst(ClubRecord& club, IdListField list, std::int32_t staffId)
{
    const int k = findEntry(club, list, staffId);
    if (k >= 0) club.setId(list, k, kFreeSlot);
}

bool isClub(const Database& db, std::int32_t id)
{
    return isValidRef(id, db.clubs.size());
}

}  // namespace

void releaseFromClub(ClubRecord& club, std::int32_t staffId, int job)
{
    const JobSlots s = slotsOf(job);
    if (s.chairman) club.set(ClubRecord::ChairmanId, kFreeSlot);
    if (s.manager) club.set(ClubRecord::ManagerId, kFreeSlot);
    if (s.assistant) club.set(ClubRecord::AssistantManagerId, kFreeSlot);
    if (s.staffList) clearFirst(club, *s.staffList, staffId);
    if (s.player) clearFirst(club, ClubRecord::PlayerIds, staffId);
}

bool placeAtClub(ClubRecord& club, std::int32_t staffId, int job)
{
    const JobSlots s = slotsOf(job);
    const bool anySlot = s.chairman || s.manager || s.assistant || s.staffList || s.player;
    if (!anySlot) return false;

    // Find every slot first; write only when all of them are there.
    if (s.chairman && club.get(ClubRecord::ChairmanId) != kFreeSlot) return false;
    if (s.manager && club.get(ClubRecord::ManagerId) != kFreeSlot) return false;
    if (s.assistant && club.get(ClubRecord::AssistantManagerId) != kFreeSlot) return false;
    int listEntry = -1;
    if (s.staffList) {
        listEntry = findEntry(club, *s.staffList, kFreeSlot);
        if (listEntry < 0) return false;
    }
    int playerEntry = -1;
    if (s.player) {
        playerEntry = findEntry(club, ClubRecord::PlayerIds, kFreeSlot);
        if (playerEntry < 0) return false;
    }

    if (s.chairman) club.set(ClubRecord::ChairmanId, staffId);
    if (s.manager) club.set(ClubRecord::ManagerId, staffId);
    if (s.assistant) club.set(ClubRecord::AssistantManagerId, staffId);
    if (s.staffList) club.setId(*s.staffList, listEntry, staffId);
    if (s.player) club.setId(ClubRecord::PlayerIds, playerEntry, staffId);
    return true;
}

std::vector<TransferNotice> transferStaff(Database& db, const TransferOrder& order)
{
    using Kind = TransferNotice::Kind;
    if (!isValidRef(order.staffId, db.staff.size())) return {};
    StaffRecord& person = db.staff[static_cast<std::size_t>(order.staffId)];
    const int oldJob = person.get(StaffRecord::JobForClub);
    const bool fromClub = isClub(db, order.fromClubId);

    auto leaveOldClub = [&] {
        person.set(StaffRecord::ClubContractedId, order.toClubId);
        person.set(StaffRecord::JobForClub, order.newJob);
        releaseFromClub(db.clubs[static_cast<std::size_t>(order.fromClubId)], order.staffId, oldJob);
    };

    if (order.toClubId == kNoClub) {
        if (!fromClub) {
            person.set(StaffRecord::JobForClub, order.newJob);
            return {};
        }
        leaveOldClub();
        std::vector<TransferNotice> notices{{Kind::Information, kFreeTransferText}};
        // Finishing as any move away from a club: the same values and the
        // same release once more (which finds nothing left to clear unless
        // the club listed him twice).
        leaveOldClub();
        notices.push_back({Kind::Information, kTransferDoneText});
        return notices;
    }

    if (!isClub(db, order.toClubId) ||
        !placeAtClub(db.clubs[static_cast<std::size_t>(order.toClubId)], order.staffId, order.newJob))
        return {{Kind::Error, kTransferFailedText}};

    if (!fromClub) {
        person.set(StaffRecord::ClubContractedId, order.toClubId);
        person.set(StaffRecord::JobForClub, order.newJob);
        return {};
    }
    leaveOldClub();
    return {{Kind::Information, kTransferDoneText}};
}

}  // namespace db

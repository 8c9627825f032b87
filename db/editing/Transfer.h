#pragma once

// Moving a staff member between clubs: which club slots each job holds, how a
// person leaves and joins a club, and the whole transfer the Transfer Staff
// dialog performs. Plain functions over the in-memory tables, no windows: the
// dialog only shows the notices a transfer returns, in their order.

#include <cstdint>
#include <string>
#include <vector>

#include "db/format/Database.h"

namespace db {

// The only slot value that counts as free; anything else (-2 included) is taken.
inline constexpr std::int32_t kFreeSlot = -1;
// ClubContractedId / club state of a person without a club.
inline constexpr std::int32_t kNoClub = -2;

// Clears the slots that job `job` holds at `club` for `staffId`. Single slots
// (chairman, manager, assistant manager) are cleared without looking at who is
// in them; list slots only at their first entry holding `staffId`, at most one
// entry per list. Jobs 0, 16 and codes above 16 hold nothing.
void releaseFromClub(ClubRecord& club, std::int32_t staffId, int job);

// Gives `staffId` the slots job `job` needs at `club`: the single slot when it
// is free, the first free entry of a list. All or nothing: when any slot is
// missing nothing is written and false is returned. Jobs 0, 16 and codes above
// 16 have no slot and always fail.
bool placeAtClub(ClubRecord& club, std::int32_t staffId, int job);

// One message box to show after a transfer.
struct TransferNotice {
    enum class Kind { Information, Error };
    Kind kind;
    std::string text;  // Windows-1252

    bool operator==(const TransferNotice&) const = default;
};

inline constexpr const char* kFreeTransferText = "Staff is now on free transfer!";
inline constexpr const char* kTransferDoneText = "Transfer was successful";
inline constexpr const char* kTransferFailedText = "Transfer was NOT successful";

struct TransferOrder {
    std::int32_t staffId = 0;     // the person moved
    std::int32_t fromClubId = 0;  // his club when the dialog opened; not a club = no club
    std::int32_t toClubId = 0;    // destination, kNoClub for a free transfer
    std::uint8_t newJob = 0;      // his job from now on
};

// Performs the transfer and returns the notices to show, in order.
// - An unknown staffId changes nothing and returns nothing.
// - No club to no club: only the job changes, silently.
// - Club to no club (free transfer): the club is left, then "Staff is now on
//   free transfer!" and "Transfer was successful".
// - To a club: the place there is taken first; without one, the error
//   "Transfer was NOT successful" and nothing has changed. From no club the
//   move is silent; otherwise the old club is left by the old job and
//   "Transfer was successful" follows.
// - A destination that is neither a club nor kNoClub fails like a placement.
std::vector<TransferNotice> transferStaff(Database& db, const TransferOrder& order);

}  // namespace db

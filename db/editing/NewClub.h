#pragma once

// The record of a club added from the Edit menu.

#include "db/format/Database.h"

namespace db {

// A neutral club for the user to fill in on the club page: named
// "<new club>", every lookup reference on its table's count (so each pick
// list shows its extra "<unknown>"/"<none>" entry until the user chooses),
// rival clubs -2, favourite/disliked staff and every staff slot -1, numbers
// and flags 0. The reserved tail is copied from the last club, whose bytes
// the game may rely on; zeros when there is no club yet. ClubId is the
// position the club will take (appendClub sets it again).
ClubRecord composeNewClub(const Database& d);

// Empties every staff slot of a club (chairman to physios): -1, the one value
// a transfer counts as free.
void emptyStaffSlots(ClubRecord& c);

}  // namespace db

#pragma once

// New staff members: the records of Edit > Add New > Staff and of the player
// creation wizard, and their addition to the tables.

#include <cstdint>
#include <functional>
#include <string>

#include "db/format/Database.h"

namespace db {

// The display names new people carry until their names are set.
inline constexpr const char* kNewStaffName = "<new staff>";
inline constexpr const char* kNewWizardPlayerName = "<new wiz-playrt>";

// Whether a classification (0-6, -1 = nothing chosen) may take a job (0-16,
// -1 = nothing chosen): Non Player jobs 0-10, Player job 11 only, Non Player
// and Player jobs 0-15; any other classification no job at all.
bool isAllowedStaffPair(int classification, int job);

// The general record of a new person: no names, born on day 31 of 1900, no
// club and no nation team (-2) although both jobs are `job`, nations one past
// the nation table (shown as unknown), Senior Squad, no preferences (clubs
// -2, staff -1). StaffId, PlayerId and NonPlayerId are left for
// Database::appendStaff to set; the display name is `displayName`.
StaffRecord composeNewStaff(const Database& db, std::uint8_t classification, std::uint8_t job,
                            std::string displayName);

// A new non-playing record: everything 0 except the eight reserved values, -1.
NonPlayerRecord composeNewNonPlayer();

// A new playing record: every byte 0 (the identifier is set on appending).
PlayerRecord composeNewPlayer();

// A source of the wizard's random additions: each call returns 0 to 5.
using RandomAddition = std::function<int()>;

// A uniform source of 0 to 5 seeded once from the time of day.
RandomAddition timeSeededAddition();

// The wizard's player from template `t`: position ratings copied, the 40
// attributes base + one addition each, drawn in ascending record byte order
// and stored modulo 256; both feet and the reserved last byte 0.
PlayerRecord composeWizardPlayer(const WizardTemplate& t, const RandomAddition& addition);

// Appends a new person of `classification` and `job` with the attribute
// records the classification names, and counts one more user of each name
// it carries (first, second and common name 0). Returns the new StaffId;
// throws Error (changing nothing) when the index lacks the staff entries.
std::int32_t addNewStaff(Database& db, std::uint8_t classification, std::uint8_t job);

// Appends a player (classification Player, job Player) made from template
// `t`, counting its names like addNewStaff. Returns the new StaffId; throws
// Error like addNewStaff.
std::int32_t addWizardPlayer(Database& db, const WizardTemplate& t, const RandomAddition& addition);

}  // namespace db

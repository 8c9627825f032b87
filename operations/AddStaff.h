#pragma once

// Adding people to the staff tables from the windows: appends the records,
// shows the newcomer on the staff page and confirms with a message.

#include <cstdint>

#include "db/editing/NewStaff.h"

struct AppContext;

// Adds a person of `classification` and `job` (an allowed pair) and shows him
// as "<new staff>". Returns the new StaffId, or -1 when the index could not
// take him (the error box says why; nothing was changed).
std::int32_t AddStaff(AppContext& ctx, std::uint8_t classification, std::uint8_t job);

// Adds a player made from wizard template `templateIndex` with `addition`
// as the random source and shows him as "<new wiz-playrt>". Returns the new
// StaffId, or -1 (nothing changed) for an unknown template or a short index.
std::int32_t AddWizardPlayer(AppContext& ctx, int templateIndex, const db::RandomAddition& addition);

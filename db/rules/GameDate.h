#pragma once

// The stored date of staff records (day of year counted from 0, and a year)
// and its conversion to the day and month the staff page shows. One fixed
// month table is used, February always 28 days; the year takes no part.

#include <cstdint>

namespace db {

// Turns `day` (DayOfYear + 1, as a signed 16-bit value) and `month` (1) into
// the day and month to show. Months past 12 continue through the month table
// again, so the loop ends for every stored value.
void MakeDate(std::int16_t& day, std::uint16_t& month);

// The DayOfYear to store for a shown day and month (low 16 bits). A month of
// 1 or less adds nothing; months past 12 continue through the table again.
std::uint16_t GetDate(std::int32_t day, std::uint16_t month);

// Length of month m (1-based); months past 12 repeat the table.
int monthLength(unsigned month);

}  // namespace db

#pragma once

// The bodies of the fuzz targets, shared by the libFuzzer programs and by the
// ordinary test that replays every input that once made one of them fail.
// A broken promise aborts, which libFuzzer reports as a crash.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "db/format/Database.h"

// Checks a promise the code under test makes; a broken one aborts.
#define FUZZ_REQUIRE(cond)                                                                   \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "broken promise: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

namespace fuzz {

// The database updateHarness applies updates to (and its seeds are made from).
db::Database updateTarget();

// Loads a packed game folder (see Container.h) from an in-memory file layer,
// builds display names, runs the integrity checks, the searches and every
// export, saves, and when the load was complete checks that loading the
// saved folder gives back the same records.
void loadHarness(const std::uint8_t* data, std::size_t size);

// Text and date rules on arbitrary bytes: the number rule, the code-page
// conversions, the search folding and the date conversions.
void textHarness(const std::uint8_t* data, std::size_t size);

// Arbitrary bytes as a database update for a small database: a bad update is
// refused with db::Error; a good one encodes back to the same text; applying
// it changes nothing unless it applies, and what it applies saves and loads
// back unchanged, counts and staff offsets included. Says which way it went.
enum class UpdateOutcome { Refused, NotApplied, Applied };
UpdateOutcome updateHarness(const std::uint8_t* data, std::size_t size);

// A query of the filter language (first byte: which table; the rest: the
// text): a bad one is refused with QueryError alone; a good one finds
// records in order, within the table, and its negation finds the others;
// the same text read as columns or sort keys shows and sorts without harm;
// the database never changes.
void queryHarness(const std::uint8_t* data, std::size_t size);

// A spreadsheet file (first byte: which table, by its place among
// sheetTableNames; the rest: the file) imported into the database of
// updateTarget: rows come in order; faults are counted and at most a hundred
// kept; planning never changes the database; a plan without faults applies,
// leaves the table exporting a file that reads back unchanged, and its undo
// gives the database back byte for byte.
void importHarness(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz

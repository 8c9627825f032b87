#pragma once

// Making the display names of many staff records at once, as loading does.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "Database.h"

namespace db {

// The display name rule on two name texts: `first`, one space, `second`,
// cut to StaffRecord::DisplayNameLimit bytes. Writes into `out` and returns
// the length.
std::size_t joinDisplayName(std::string_view first, std::string_view second,
                            char (&out)[StaffRecord::DisplayNameLimit]);

// Gives staff records their display names by the rule of
// Database::buildDisplayName, with the length of every first and second name
// measured once up front rather than once per person.
class DisplayNameMaker {
public:
    // The name tables of `db` must not change while the maker is used.
    explicit DisplayNameMaker(const Database& db);

    void set(StaffRecord& s) const;
    // Records [first, end) of `staff`; their name records are fetched a few
    // people ahead, so the memory loads of several people overlap.
    void set(Table<StaffRecord>& staff, std::size_t first, std::size_t end) const;

    // A name's text where it fits in 15 bytes: a copy of every name packed
    // this way is a quarter of the size of the name tables, so far more of
    // it stays in the caches while people pick their names from anywhere
    // in the tables.
    struct ShortName {
        static constexpr std::uint8_t kLong = 0xFF;  // longer: read from the record
        char text[15];
        std::uint8_t length;
    };

private:
    void prefetch(const StaffRecord& s) const;
    std::string_view text(const Table<NameRecord>& table, const std::vector<ShortName>& shorts,
                          std::size_t id) const;

    std::vector<ShortName> firsts_;
    std::vector<ShortName> seconds_;
    const Database& db_;
};

}  // namespace db

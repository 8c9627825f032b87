#pragma once

// Making the display names of many staff records at once, as loading does.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/Database.h"

namespace db {

// The display name rule on two name texts: `first`, one space, `second`,
// cut to StaffRecord::DisplayNameLimit bytes. Writes into `out` and returns
// the length.
std::size_t joinDisplayName(std::string_view first, std::string_view second,
                            char (&out)[StaffRecord::DisplayNameLimit]);

// Gives staff records their display names by the rule of
// Database::buildDisplayName, with every first and second name measured once
// up front rather than once per person, and the texts given from shared
// blocks (DisplayNamePool) rather than one heap block per person.
class DisplayNameMaker {
public:
    // The name tables of `db` must not change while the maker is used.
    explicit DisplayNameMaker(const Database& db);

    void set(StaffRecord& s);
    // Records [first, end) of `staff`. People pick their names from anywhere
    // in the name tables, so each name is fetched some people ahead (where
    // it is, then its text), letting the memory loads of many people
    // overlap instead of waiting for each in turn.
    void set(StaffRecord* staff, std::size_t first, std::size_t end);

    // Every name of one table, each as a length byte and its text, packed
    // one after the other: about a third of the size of the name records,
    // so far more of it stays in the caches.
    struct PackedNames {
        std::vector<std::size_t> at;  // where each name starts in `bytes`
        std::string bytes;
    };

private:
    std::string_view text(const PackedNames& names, std::int32_t id) const;
    // The addresses of a person's two names to fetch ahead, as
    // `addressOf(names, id)` gives them (null for a name that is none).
    struct Ahead {
        const void* first;
        const void* second;
    };
    template <typename AddressOf>
    Ahead ahead(const StaffRecord& s, AddressOf addressOf) const;

    PackedNames firsts_;
    PackedNames seconds_;
    DisplayNamePool pool_;
};

}  // namespace db

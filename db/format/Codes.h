#pragma once

// The coded fields of staff and club records and their captions.

#include <array>
#include <cstdint>
#include <string_view>

namespace db {

// Job codes 0-16 (JobForNation, JobForClub).
inline constexpr std::array<std::string_view, 17> kJobNames = {
    "<none>",         "Chairman",          "Managing Director",       "General Manager",
    "Director of Football", "Manager",   "Assistant Manager",       "Reserve Team Manager",
    "Coach",          "Scout",             "Physio",                  "Player",
    "Player Manager", "Player Assistant Manager", "Player Reserve Team Manager", "Player Coach",
    "Player Retired"};

// Playing squad codes 0-8; 3, 5, 6 and 7 have no caption.
inline constexpr std::array<std::string_view, 9> kSquadNames = {
    "<none>", "Senior Squad", "Reserve Squad", "", "Nation Main Squad", "", "", "", "Nation 'B' Squad"};

// Classification codes 0-6.
inline constexpr std::array<std::string_view, 7> kClassificationNames = {
    "<none>", "Non Player", "Player", "Non Player and Player", "Youth Player", "New Human Manager",
    "Spare Non Player"};

// Formation codes 0-9.
inline constexpr std::array<std::string_view, 10> kFormationNames = {
    "<none>", "5-3-2 Sweeper", "5-3-2", "4-4-2", "4-3-3", "4-2-4", "3-5-2", "4-1-2-1-2", "4-5-1", "3-4-3"};

// Club ProStatus 0-3 and Matchday 0-7 as the club page lists them.
inline constexpr std::array<std::string_view, 4> kProStatusNames = {"<unknown>", "Professional", "Semi-Pro",
                                                                    "Amateur"};
inline constexpr std::array<std::string_view, 8> kMatchdayNames = {
    "<unknown>", "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

namespace Classification {
constexpr std::uint8_t None = 0;
constexpr std::uint8_t NonPlayer = 1;
constexpr std::uint8_t Player = 2;
constexpr std::uint8_t NonPlayerAndPlayer = 3;
constexpr bool hasNonPlayer(std::uint8_t c) { return c == NonPlayer || c == NonPlayerAndPlayer; }
constexpr bool hasPlayer(std::uint8_t c) { return c == Player || c == NonPlayerAndPlayer; }
}  // namespace Classification

namespace Job {
constexpr std::uint8_t None = 0;
constexpr std::uint8_t Chairman = 1;
constexpr std::uint8_t Player = 11;
constexpr std::uint8_t PlayerRetired = 16;
}  // namespace Job

// Texts for references that name no record.
inline constexpr std::string_view kUnknown = "<unknown>";
inline constexpr std::string_view kNone = "<none>";

}  // namespace db

#pragma once

// The game database held in memory: the 22 index entries, the thirteen tables
// of the game's data files and the wizard templates.
//
// A record's identifier is its position in its table. Records are only ever
// appended; every append also moves the index entries it concerns in the same
// call, so a table's length and its entry's RecordCount cannot drift apart.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "db/format/Records.h"
#include "db/format/Tables.h"
#include "db/rules/FoldedStaffNames.h"

namespace db {

// A failure of a database operation; what() is the text for the error box.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The loading steps: one per table, in the order kLoadOrder gives, then the
// wizard templates.
enum class LoadStep : int {
    Cities = tableInfo(TableId::Cities).loadOrder,
    Clubs = tableInfo(TableId::Clubs).loadOrder,
    ClubComps = tableInfo(TableId::ClubComps).loadOrder,
    Colours = tableInfo(TableId::Colours).loadOrder,
    FirstNames = tableInfo(TableId::FirstNames).loadOrder,
    SecondNames = tableInfo(TableId::SecondNames).loadOrder,
    CommonNames = tableInfo(TableId::CommonNames).loadOrder,
    Nations = tableInfo(TableId::Nations).loadOrder,
    Stadiums = tableInfo(TableId::Stadiums).loadOrder,
    Staff = tableInfo(TableId::Staff).loadOrder,
    StaffExtra = tableInfo(TableId::StaffExtra).loadOrder,
    NonPlayers = tableInfo(TableId::NonPlayers).loadOrder,
    Players = tableInfo(TableId::Players).loadOrder,
    WizardTemplates = static_cast<int>(kLoadOrder.size()),
    Count
};

// The loading step of table t (which must not be the index).
constexpr LoadStep loadStepOf(TableId t)
{
    return static_cast<LoadStep>(tableInfo(t).loadOrder);
}

// The three name tables, in the order of the name kinds of the names dialog.
enum class NameKind : int { First = 0, Second = 1, Common = 2 };

// The reference rule: a reference names a record when 0 <= value < count.
constexpr bool isValidRef(std::int64_t value, std::size_t count)
{
    return value >= 0 && static_cast<std::uint64_t>(value) < count;
}

template <typename R>
using Table = std::vector<R>;

class Database {
public:
    // Entries read from index.dat; fewer than 22 when reading it failed.
    std::vector<IndexEntry> index;

    Table<CityRecord> cities;
    Table<ClubRecord> clubs;
    Table<ClubCompRecord> clubComps;
    Table<ColourRecord> colours;
    Table<NameRecord> firstNames;
    Table<NameRecord> secondNames;
    Table<NameRecord> commonNames;
    Table<NationRecord> nations;
    Table<StadiumRecord> stadiums;
    Table<StaffRecord> staff;
    Table<StaffExtraRecord> staffExtra;
    Table<NonPlayerRecord> nonPlayers;
    Table<PlayerRecord> players;
    Table<WizardTemplate> wizardTemplates;

    // The staff display names as the name search scans them, kept by the
    // search itself (see FoldedStaffNames.h).
    FoldedStaffNames foldedStaffNames;

    // Index entry k; throws Error "List index out of bounds (k)" when the
    // entry was not read.
    IndexEntry& entry(int k);
    const IndexEntry& entry(int k) const;
    bool hasFullIndex() const { return index.size() == Entry::Count; }

    // Empties every table (not the index) and forgets which loading steps
    // completed: a new load starts from here.
    void clearTables();

    // Which loading steps ran to their end (pick lists get their extra item
    // only for completed tables).
    bool stepComplete(LoadStep s) const { return (completeSteps_ >> static_cast<int>(s)) & 1u; }
    void markStepComplete(LoadStep s) { completeSteps_ |= 1u << static_cast<int>(s); }
    bool loadComplete() const { return stepComplete(LoadStep::WizardTemplates); }

    Table<NameRecord>& names(NameKind kind);
    const Table<NameRecord>& names(NameKind kind) const;
    static int nameEntry(NameKind kind) { return Entry::FirstNames + static_cast<int>(kind); }

    // The display name of a staff record from its two name identifiers:
    // first name, one space, second name, cut to 100 bytes; empty when either
    // identifier names no record.
    std::string buildDisplayName(const StaffRecord& s) const;

    // ---- Appends, each moving its index entries in the same step ----------

    // Appends a club; sets its ClubId. Entry 0's count follows the table.
    std::int32_t appendClub(ClubRecord club);

    // Appends a name built from `raw` (Windows-1252, cut to 51 bytes) with
    // NameId = position, reserved bytes 0 and UsageCount 0. Raises entry
    // 15, 16 or 17.
    std::int32_t appendName(NameKind kind, std::string_view raw);

    // Appends a staff member with the attribute records his classification
    // names. The identifiers are set here: StaffId, and PlayerId/NonPlayerId
    // (both in the general record and in the attribute records) to the new
    // positions when the record is given, -1 otherwise. Moves entries 7-10 as
    // the layout of staff.dat requires. Returns the new StaffId.
    std::int32_t appendStaff(StaffRecord general, std::optional<NonPlayerRecord> nonPlayer,
                             std::optional<PlayerRecord> player);

    // A database whose index has all 22 entries zeroed (for tools and tests).
    static Database withEmptyIndex();

private:
    std::uint32_t completeSteps_ = 0;
};

// The member of Database that holds each table, in TableId order.
inline constexpr auto kTableMembers = std::make_tuple(
    &Database::index, &Database::cities, &Database::clubs, &Database::clubComps, &Database::colours,
    &Database::firstNames, &Database::secondNames, &Database::commonNames, &Database::nations,
    &Database::stadiums, &Database::staff, &Database::staffExtra, &Database::nonPlayers, &Database::players);

namespace detail {

template <std::size_t K>
using TableRecord = typename std::remove_reference_t<decltype(std::declval<Database&>().*
                                                              std::get<K>(kTableMembers))>::value_type;

template <std::size_t... K>
constexpr bool membersMatchRows(std::index_sequence<K...>)
{
    return ((TableRecord<K>::Size == kTables[K].recordSize) && ...);
}

}  // namespace detail

static_assert(std::tuple_size_v<decltype(kTableMembers)> == kTableCount &&
                  detail::membersMatchRows(std::make_index_sequence<kTableCount>{}),
              "one member of Database per row of kTables, with that row's record size");

// Calls f with the table `t` of `d` (a Table<R>& of the matching record type).
template <std::size_t K = 0, typename D, typename F>
decltype(auto) withTable(D& d, TableId t, F&& f)
{
    if constexpr (K + 1 == kTableCount) {
        return f(d.*std::get<K>(kTableMembers));
    } else {
        if (static_cast<std::size_t>(t) == K) return f(d.*std::get<K>(kTableMembers));
        return withTable<K + 1>(d, t, std::forward<F>(f));
    }
}

// Records in table t.
std::size_t tableSize(const Database& d, TableId t);

}  // namespace db

#include "Database.h"

#include <algorithm>
#include <cstring>

namespace db {

namespace {

void raiseCount(IndexEntry& e, std::size_t tableSize)
{
    // The count follows the table, which is what "+1" means whenever the two
    // agree; a count read as garbage is mended instead of carried along.
    e.set(IndexEntry::RecordCount, static_cast<std::int32_t>(tableSize));
}

void addOffset(IndexEntry& e, std::int32_t delta)
{
    e.set(IndexEntry::TableOffset,
          static_cast<std::int32_t>(static_cast<std::uint32_t>(e.get(IndexEntry::TableOffset)) +
                                    static_cast<std::uint32_t>(delta)));
}

}  // namespace

IndexEntry& Database::entry(int k)
{
    if (k < 0 || static_cast<std::size_t>(k) >= index.size())
        throw Error("List index out of bounds (" + std::to_string(k) + ")");
    return index[static_cast<std::size_t>(k)];
}

const IndexEntry& Database::entry(int k) const
{
    return const_cast<Database*>(this)->entry(k);
}

void Database::clearTables()
{
    cities.clear();
    clubs.clear();
    clubComps.clear();
    colours.clear();
    firstNames.clear();
    secondNames.clear();
    commonNames.clear();
    nations.clear();
    stadiums.clear();
    staff.clear();
    staffExtra.clear();
    nonPlayers.clear();
    players.clear();
    wizardTemplates.clear();
    completeSteps_ = 0;
}

Table<NameRecord>& Database::names(NameKind kind)
{
    switch (kind) {
    case NameKind::First: return firstNames;
    case NameKind::Second: return secondNames;
    case NameKind::Common: break;
    }
    return commonNames;
}

const Table<NameRecord>& Database::names(NameKind kind) const
{
    return const_cast<Database*>(this)->names(kind);
}

namespace {

// Writes the display name of `s` into `out` and returns its length: first
// name, one space, second name (each up to its first NUL), cut to the limit;
// 0 when either identifier names no record.
std::size_t composeDisplayName(const StaffRecord& s, const Table<NameRecord>& firstNames,
                               const Table<NameRecord>& secondNames,
                               char (&out)[StaffRecord::DisplayNameLimit])
{
    const std::int32_t first = s.get(StaffRecord::FirstNameId);
    const std::int32_t second = s.get(StaffRecord::SecondNameId);
    if (!isValidRef(first, firstNames.size()) || !isValidRef(second, secondNames.size())) return 0;
    constexpr std::size_t limit = StaffRecord::DisplayNameLimit;
    const auto nameOf = [](const NameRecord& r) {
        const char* p = reinterpret_cast<const char*>(r.data() + NameRecord::Name.offset);
        const void* nul = std::memchr(p, 0, NameRecord::Name.width);
        return std::string_view(p, nul ? static_cast<const char*>(nul) - p : NameRecord::Name.width);
    };
    const std::string_view a = nameOf(firstNames[static_cast<std::size_t>(first)]);
    const std::string_view b = nameOf(secondNames[static_cast<std::size_t>(second)]);
    std::size_t n = std::min(a.size(), limit);
    std::memcpy(out, a.data(), n);
    if (n < limit) out[n++] = ' ';
    const std::size_t rest = std::min(b.size(), limit - n);
    std::memcpy(out + n, b.data(), rest);
    return n + rest;
}

}  // namespace

std::string Database::buildDisplayName(const StaffRecord& s) const
{
    char buf[StaffRecord::DisplayNameLimit];
    return std::string(buf, composeDisplayName(s, firstNames, secondNames, buf));
}

void Database::setDisplayName(StaffRecord& s) const
{
    char buf[StaffRecord::DisplayNameLimit];
    s.displayName.assign(std::string_view(buf, composeDisplayName(s, firstNames, secondNames, buf)));
}

std::int32_t Database::appendClub(ClubRecord club)
{
    IndexEntry& e = entry(Entry::Clubs);
    const auto id = static_cast<std::int32_t>(clubs.size());
    club.set(ClubRecord::ClubId, id);
    clubs.push_back(club);
    raiseCount(e, clubs.size());
    return id;
}

std::int32_t Database::appendName(NameKind kind, std::string_view raw)
{
    IndexEntry& e = entry(nameEntry(kind));
    Table<NameRecord>& table = names(kind);
    NameRecord rec;
    const auto id = static_cast<std::int32_t>(table.size());
    rec.setText(NameRecord::Name, raw);
    rec.set(NameRecord::NameId, id);
    table.push_back(rec);
    raiseCount(e, table.size());
    return id;
}

std::int32_t Database::appendStaff(StaffRecord general, std::optional<NonPlayerRecord> nonPlayer,
                                   std::optional<PlayerRecord> player)
{
    // Look every entry up first so that a short index changes nothing.
    IndexEntry& staffEntry = entry(Entry::Staff);
    IndexEntry& extraEntry = entry(Entry::StaffExtra);
    IndexEntry& nonPlayerEntry = entry(Entry::NonPlayers);
    IndexEntry& playerEntry = entry(Entry::Players);

    const auto staffId = static_cast<std::int32_t>(staff.size());
    general.set(StaffRecord::StaffId, staffId);
    general.set(StaffRecord::NonPlayerId, -1);
    general.set(StaffRecord::PlayerId, -1);

    addOffset(extraEntry, 157);
    addOffset(nonPlayerEntry, 157);
    addOffset(playerEntry, 157);

    if (nonPlayer) {
        const auto id = static_cast<std::int32_t>(nonPlayers.size());
        nonPlayer->set(NonPlayerRecord::NonPlayerId, id);
        general.set(StaffRecord::NonPlayerId, id);
        nonPlayers.push_back(*nonPlayer);
        raiseCount(nonPlayerEntry, nonPlayers.size());
        addOffset(playerEntry, 68);
    }
    if (player) {
        const auto id = static_cast<std::int32_t>(players.size());
        player->set(PlayerRecord::PlayerId, id);
        general.set(StaffRecord::PlayerId, id);
        players.push_back(*player);
        raiseCount(playerEntry, players.size());
    }
    staff.push_back(std::move(general));
    raiseCount(staffEntry, staff.size());
    return staffId;
}

Database Database::withEmptyIndex()
{
    Database d;
    d.index.resize(Entry::Count);
    return d;
}

}  // namespace db

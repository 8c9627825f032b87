#include "db/format/Database.h"

#include "db/rules/DisplayNames.h"

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
    for (const TableInfo& t : kTables)
        if (t.id != TableId::Index) withTable(*this, t.id, [](auto& table) { table.clear(); });
    wizardTemplates.clear();
    completeSteps_ = 0;
}

std::size_t tableSize(const Database& d, TableId t)
{
    return withTable(d, t, [](const auto& table) { return table.size(); });
}

Table<NameRecord>& Database::names(NameKind kind)
{
    switch (kind) {
        case NameKind::First:
            return firstNames;
        case NameKind::Second:
            return secondNames;
        case NameKind::Common:
            break;
    }
    return commonNames;
}

const Table<NameRecord>& Database::names(NameKind kind) const
{
    return const_cast<Database*>(this)->names(kind);
}

std::string Database::buildDisplayName(const StaffRecord& s) const
{
    const std::int32_t first = s.get(StaffRecord::FirstNameId);
    const std::int32_t second = s.get(StaffRecord::SecondNameId);
    if (!isValidRef(first, firstNames.size()) || !isValidRef(second, secondNames.size())) return {};
    char buf[StaffRecord::DisplayNameLimit];
    const std::string a = firstNames[static_cast<std::size_t>(first)].text(NameRecord::Name);
    const std::string b = secondNames[static_cast<std::size_t>(second)].text(NameRecord::Name);
    return std::string(buf, joinDisplayName(a, b, buf));
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

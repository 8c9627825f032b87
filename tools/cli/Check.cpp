#include "Check.h"

#include <unordered_map>

#include "Slots.h"
#include "db/format/Codes.h"

namespace cli {

namespace {

using db::Database;
using db::isValidRef;

constexpr std::int64_t kIndexHeader = 8;
constexpr std::int64_t kIndexEntrySize = 67;

std::int64_t countOf(const Database& db, int entry)
{
    if (entry < 0 || static_cast<std::size_t>(entry) >= db.index.size()) return 0;
    const std::int32_t n = db.index[static_cast<std::size_t>(entry)].get(db::IndexEntry::RecordCount);
    return n > 0 ? n : 0;
}

std::int64_t offsetOf(const Database& db, int entry)
{
    if (entry < 0 || static_cast<std::size_t>(entry) >= db.index.size()) return 0;
    return db.index[static_cast<std::size_t>(entry)].get(db::IndexEntry::TableOffset);
}

// Where the table of an entry starts in its file: only the last three staff
// tables are placed by their TableOffset.
std::int64_t startOf(const Database& db, int entry)
{
    return entry >= db::Entry::StaffExtra && entry <= db::Entry::Players ? offsetOf(db, entry) : 0;
}

class Checker {
public:
    explicit Checker(const Database& db) : db_(db) {}

    std::vector<Problem> run()
    {
        identifiers();
        clubReferences();
        stadiumReferences();
        staffReferences();
        clubSlots();
        contractedPersons();
        attributeLinks();
        usageCounts();
        return std::move(problems_);
    }

private:
    const Database& db_;
    std::vector<Problem> problems_;

    void add(std::string table, std::size_t record, std::string field, std::string message)
    {
        problems_.push_back(
            {std::move(table), static_cast<std::int64_t>(record), std::move(field), std::move(message)});
    }

    std::string staffLabel(std::int64_t id) const
    {
        std::string s = "staff " + std::to_string(id);
        if (isValidRef(id, db_.staff.size()) && !db_.staff[static_cast<std::size_t>(id)].displayName.empty())
            s += " (" + db_.staff[static_cast<std::size_t>(id)].displayName.str() + ")";
        return s;
    }
    std::string clubLabel(std::int64_t id) const
    {
        std::string s = "club " + std::to_string(id);
        if (isValidRef(id, db_.clubs.size()))
            s += " (" + db_.clubs[static_cast<std::size_t>(id)].text(db::ClubRecord::LongName) + ")";
        return s;
    }

    // ---- Identifiers equal to positions ----------------------------------

    template <typename R>
    void identifiersOf(const db::Table<R>& table, const char* name, db::I32Field field, const char* fieldName)
    {
        for (std::size_t i = 0; i < table.size(); ++i) {
            const std::int32_t id = table[i].get(field);
            if (id != static_cast<std::int64_t>(i))
                add(name, i, fieldName,
                    "identifier " + std::to_string(id) + " differs from its position " + std::to_string(i));
        }
    }

    void identifiers()
    {
        identifiersOf(db_.clubs, "clubs", db::ClubRecord::ClubId, "ClubId");
        identifiersOf(db_.staff, "staff", db::StaffRecord::StaffId, "StaffId");
        identifiersOf(db_.nonPlayers, "non-players", db::NonPlayerRecord::NonPlayerId, "NonPlayerId");
        identifiersOf(db_.players, "players", db::PlayerRecord::PlayerId, "PlayerId");
        identifiersOf(db_.firstNames, "first-names", db::NameRecord::NameId, "NameId");
        identifiersOf(db_.secondNames, "second-names", db::NameRecord::NameId, "NameId");
        identifiersOf(db_.commonNames, "common-names", db::NameRecord::NameId, "NameId");
    }

    // ---- References -------------------------------------------------------

    // -1, -2 and the referenced table's count are the stored forms of none.
    void reference(const char* table, std::size_t record, const std::string& field, std::int32_t value,
                   std::size_t count, const char* target)
    {
        if (isValidRef(value, count) || value == -1 || value == -2 ||
            static_cast<std::int64_t>(value) == static_cast<std::int64_t>(count))
            return;
        add(table, record, field,
            "reference " + std::to_string(value) + " is outside " + target + " (" + std::to_string(count) +
                " records)");
        problems_.back().readsAsNone = true;
    }

    template <typename R>
    void referenceList(const char* table, std::size_t record, const R& rec, db::IdListField list,
                       const char* name, std::size_t count, const char* target)
    {
        for (int k = 0; k < list.count; ++k)
            reference(table, record, listFieldName(name, k, list.count), rec.id(list, k), count, target);
    }

    void clubReferences()
    {
        using C = db::ClubRecord;
        for (std::size_t i = 0; i < db_.clubs.size(); ++i) {
            const C& c = db_.clubs[i];
            const std::size_t nations = db_.nations.size(), comps = db_.clubComps.size(),
                              stadiums = db_.stadiums.size(), colours = db_.colours.size();
            reference("clubs", i, "NationId", c.get(C::NationId), nations, "nations");
            reference("clubs", i, "DivisionId", c.get(C::DivisionId), comps, "competitions");
            reference("clubs", i, "LastDivisionId", c.get(C::LastDivisionId), comps, "competitions");
            reference("clubs", i, "ReserveDivisionId", c.get(C::ReserveDivisionId), comps, "competitions");
            reference("clubs", i, "StadiumId", c.get(C::StadiumId), stadiums, "stadiums");
            reference("clubs", i, "ReserveStadiumId", c.get(C::ReserveStadiumId), stadiums, "stadiums");
            reference("clubs", i, "HomeForeColourId", c.get(C::HomeForeColourId), colours, "colours");
            reference("clubs", i, "HomeBackColourId", c.get(C::HomeBackColourId), colours, "colours");
            reference("clubs", i, "AwayForeColourId", c.get(C::AwayForeColourId), colours, "colours");
            reference("clubs", i, "AwayBackColourId", c.get(C::AwayBackColourId), colours, "colours");
            reference("clubs", i, "ThirdForeColourId", c.get(C::ThirdForeColourId), colours, "colours");
            reference("clubs", i, "ThirdBackColourId", c.get(C::ThirdBackColourId), colours, "colours");
            referenceList("clubs", i, c, C::FavouriteStaff, "FavouriteStaff", db_.staff.size(), "staff");
            referenceList("clubs", i, c, C::DislikedStaff, "DislikedStaff", db_.staff.size(), "staff");
            referenceList("clubs", i, c, C::RivalClubs, "RivalClubs", db_.clubs.size(), "clubs");
            for (const SlotGroup& g : slotGroups())
                referenceList("clubs", i, c, g.field, g.name, db_.staff.size(), "staff");
        }
    }

    void stadiumReferences()
    {
        using S = db::StadiumRecord;
        for (std::size_t i = 0; i < db_.stadiums.size(); ++i) {
            const S& s = db_.stadiums[i];
            reference("stadiums", i, "CityId", s.get(S::CityId), db_.cities.size(), "cities");
            reference("stadiums", i, "NearbyStadiumId", s.get(S::NearbyStadiumId), db_.stadiums.size(),
                      "stadiums");
        }
    }

    void staffReferences()
    {
        using S = db::StaffRecord;
        for (std::size_t i = 0; i < db_.staff.size(); ++i) {
            const S& s = db_.staff[i];
            const std::size_t nations = db_.nations.size();
            reference("staff", i, "FirstNameId", s.get(S::FirstNameId), db_.firstNames.size(), "first-names");
            reference("staff", i, "SecondNameId", s.get(S::SecondNameId), db_.secondNames.size(),
                      "second-names");
            reference("staff", i, "CommonNameId", s.get(S::CommonNameId), db_.commonNames.size(),
                      "common-names");
            reference("staff", i, "NationId", s.get(S::NationId), nations, "nations");
            reference("staff", i, "SecondNationId", s.get(S::SecondNationId), nations, "nations");
            reference("staff", i, "NationContractedId", s.get(S::NationContractedId), nations, "nations");
            reference("staff", i, "ClubContractedId", s.get(S::ClubContractedId), db_.clubs.size(), "clubs");
            referenceList("staff", i, s, S::FavouriteClubs, "FavouriteClubs", db_.clubs.size(), "clubs");
            referenceList("staff", i, s, S::DislikedClubs, "DislikedClubs", db_.clubs.size(), "clubs");
            referenceList("staff", i, s, S::FavouriteStaff, "FavouriteStaff", db_.staff.size(), "staff");
            referenceList("staff", i, s, S::DislikedStaff, "DislikedStaff", db_.staff.size(), "staff");
        }
    }

    // ---- Staff slots and contracts ----------------------------------------

    void clubSlots()
    {
        for (std::size_t i = 0; i < db_.clubs.size(); ++i) {
            const db::ClubRecord& c = db_.clubs[i];
            for (const SlotGroup& g : slotGroups()) {
                for (int k = 0; k < g.field.count; ++k) {
                    const std::int32_t id = c.id(g.field, k);
                    if (!isValidRef(id, db_.staff.size())) continue;
                    const db::StaffRecord& s = db_.staff[static_cast<std::size_t>(id)];
                    const std::string field = listFieldName(g.name, k, g.field.count);
                    const std::int32_t club = s.get(db::StaffRecord::ClubContractedId);
                    if (club != static_cast<std::int64_t>(i))
                        add("clubs", i, field,
                            staffLabel(id) + " is contracted to " +
                                (isValidRef(club, db_.clubs.size()) ? clubLabel(club)
                                                                    : std::string("no club")));
                    const std::uint8_t job = s.get(db::StaffRecord::JobForClub);
                    if (!g.holds(job))
                        add("clubs", i, field,
                            staffLabel(id) + " has job " + jobText(job) + ", which " + g.name +
                                " does not hold");
                }
            }
        }
    }

    void contractedPersons()
    {
        // Every person any club lists, by club, to answer "is he listed by
        // his own club" in one pass.
        std::vector<std::vector<std::int32_t>> listed(db_.clubs.size());
        for (std::size_t i = 0; i < db_.clubs.size(); ++i)
            for (const SlotGroup& g : slotGroups())
                for (int k = 0; k < g.field.count; ++k) listed[i].push_back(db_.clubs[i].id(g.field, k));

        for (std::size_t i = 0; i < db_.staff.size(); ++i) {
            const std::int32_t club = db_.staff[i].get(db::StaffRecord::ClubContractedId);
            if (!isValidRef(club, db_.clubs.size())) continue;
            bool found = false;
            for (std::int32_t id : listed[static_cast<std::size_t>(club)])
                if (id == static_cast<std::int64_t>(i)) found = true;
            if (!found)
                add("staff", i, "ClubContractedId",
                    "contracted to " + clubLabel(club) + ", which lists the person in no staff slot");
        }
    }

    // ---- Attribute records --------------------------------------------------

    void link(std::size_t staffPos, const char* field, std::int32_t value, std::size_t count,
              const char* target, std::unordered_map<std::int32_t, std::size_t>& owners)
    {
        if (value < 0) {
            add("staff", staffPos, field,
                std::string("missing link to ") + target + " (" + std::to_string(value) +
                    ") though the classification needs one");
            return;
        }
        if (!isValidRef(value, count)) {
            add("staff", staffPos, field,
                "link " + std::to_string(value) + " is outside " + target + " (" + std::to_string(count) +
                    " records)");
            return;
        }
        auto [it, inserted] = owners.emplace(value, staffPos);
        if (!inserted)
            add("staff", staffPos, field,
                std::string(target) + " record " + std::to_string(value) + " is also used by " +
                    staffLabel(static_cast<std::int64_t>(it->second)));
    }

    void attributeLinks()
    {
        std::unordered_map<std::int32_t, std::size_t> playerOwners, nonPlayerOwners;
        for (std::size_t i = 0; i < db_.staff.size(); ++i) {
            const db::StaffRecord& s = db_.staff[i];
            const std::uint8_t c = s.get(db::StaffRecord::Classification);
            if (db::Classification::hasNonPlayer(c))
                link(i, "NonPlayerId", s.get(db::StaffRecord::NonPlayerId), db_.nonPlayers.size(),
                     "non-players", nonPlayerOwners);
            if (db::Classification::hasPlayer(c))
                link(i, "PlayerId", s.get(db::StaffRecord::PlayerId), db_.players.size(), "players",
                     playerOwners);
        }
    }

    // ---- Name usage counts ----------------------------------------------------

    void usageOf(const db::Table<db::NameRecord>& names, const char* table, db::I32Field staffField)
    {
        std::vector<std::uint64_t> used(names.size(), 0);
        for (const db::StaffRecord& s : db_.staff) {
            const std::int32_t id = s.get(staffField);
            if (isValidRef(id, names.size())) ++used[static_cast<std::size_t>(id)];
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            const unsigned stored = names[i].get(db::NameRecord::UsageCount);
            // The count is one byte that wraps, so compare modulo 256.
            if (stored != (used[i] & 0xFFu))
                add(table, i, "UsageCount",
                    "says " + std::to_string(stored) + " but " + std::to_string(used[i]) +
                        " staff use the name");
        }
    }

    void usageCounts()
    {
        usageOf(db_.firstNames, "first-names", db::StaffRecord::FirstNameId);
        usageOf(db_.secondNames, "second-names", db::StaffRecord::SecondNameId);
        usageOf(db_.commonNames, "common-names", db::StaffRecord::CommonNameId);
    }
};

}  // namespace

std::string Problem::line() const
{
    std::string s = table;
    if (record >= 0) s += "[" + std::to_string(record) + "]";
    s += " " + field + ": " + message;
    return s;
}

const std::vector<DataFile>& dataFiles()
{
    using namespace db::Entry;
    static const std::vector<DataFile> files = {
        {"club.dat", {Clubs}},
        {"colour.dat", {Colours}},
        {"nation.dat", {Nations}},
        {"stadium.dat", {Stadiums}},
        {"staff.dat", {Staff, StaffExtra, NonPlayers, Players}},
        {"city.dat", {Cities}},
        {"club_comp.dat", {ClubComps}},
        {"first_names.dat", {FirstNames}},
        {"second_names.dat", {SecondNames}},
        {"common_names.dat", {CommonNames}},
    };
    return files;
}

std::size_t recordSize(int entry)
{
    switch (entry) {
        case db::Entry::Clubs:
            return db::ClubRecord::Size;
        case db::Entry::Colours:
            return db::ColourRecord::Size;
        case db::Entry::Nations:
            return db::NationRecord::Size;
        case db::Entry::Stadiums:
            return db::StadiumRecord::Size;
        case db::Entry::Staff:
            return db::StaffRecord::Size;
        case db::Entry::StaffExtra:
            return db::StaffExtraRecord::Size;
        case db::Entry::NonPlayers:
            return db::NonPlayerRecord::Size;
        case db::Entry::Players:
            return db::PlayerRecord::Size;
        case db::Entry::Cities:
            return db::CityRecord::Size;
        case db::Entry::ClubComps:
            return db::ClubCompRecord::Size;
        case db::Entry::FirstNames:
        case db::Entry::SecondNames:
        case db::Entry::CommonNames:
            return db::NameRecord::Size;
        default:
            return 0;
    }
}

std::int64_t expectedStaffOffset(const Database& db, int entry)
{
    std::int64_t offset = 0;
    for (int k = db::Entry::Staff; k < entry; ++k)
        offset += countOf(db, k) * static_cast<std::int64_t>(recordSize(k));
    return offset;
}

std::vector<Problem> checkLayout(const Database& db, const FileSizes& sizes)
{
    std::vector<Problem> problems;
    for (int k = db::Entry::StaffExtra; k <= db::Entry::Players; ++k) {
        if (static_cast<std::size_t>(k) >= db.index.size()) break;
        const std::int64_t want = expectedStaffOffset(db, k);
        if (offsetOf(db, k) != want)
            problems.push_back({"index", k, "TableOffset",
                                std::to_string(offsetOf(db, k)) + " but the tables before it end at " +
                                    std::to_string(want)});
    }

    auto sizeOf = [&](const std::string& name) -> std::optional<std::uint64_t> {
        auto it = sizes.find(name);
        return it == sizes.end() ? std::nullopt : it->second;
    };

    const auto indexSize = sizeOf("index.dat");
    const std::int64_t indexNeeds = kIndexHeader + kIndexEntrySize * db::Entry::Count;
    if (indexSize && static_cast<std::int64_t>(*indexSize) < indexNeeds)
        problems.push_back(
            {"index.dat", -1, "length",
             std::to_string(*indexSize) + " bytes, the 22 entries need " + std::to_string(indexNeeds)});

    for (const DataFile& f : dataFiles()) {
        std::int64_t needs = 0;
        for (int k : f.entries) {
            const std::int64_t count = countOf(db, k);
            if (count == 0) continue;
            const std::int64_t end = startOf(db, k) + count * static_cast<std::int64_t>(recordSize(k));
            if (end > needs) needs = end;
        }
        const auto size = sizeOf(f.name);
        if (!size) {
            if (needs > 0)
                problems.push_back(
                    {f.name, -1, "length", "missing; the counts need " + std::to_string(needs) + " bytes"});
            continue;
        }
        if (static_cast<std::int64_t>(*size) < needs)
            problems.push_back({f.name, -1, "length",
                                std::to_string(*size) + " bytes, shorter than the " + std::to_string(needs) +
                                    " bytes the counts need"});
    }
    return problems;
}

std::vector<Problem> checkRecords(const Database& db)
{
    return Checker(db).run();
}

}  // namespace cli

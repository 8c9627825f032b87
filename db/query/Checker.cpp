#include "db/query/Checker.h"

#include <cstring>
#include <unordered_map>

#include "db/format/Codes.h"
#include "db/query/CheckSupport.h"
#include "db/query/StaffSlots.h"

namespace db {

namespace {

class Checker {
public:
    explicit Checker(const Database& db) : db_(db) {}

    std::vector<Problem> run()
    {
        identifiers();
        references();
        clubSlots();
        contractedPersons();
        attributeLinks();
        usageCounts();
        checkValues(db_, problems_);
        // The references that merely read as none come last, apart.
        for (Problem& p : notes_) problems_.push_back(std::move(p));
        nameRecords(db_, problems_);
        return std::move(problems_);
    }

private:
    const Database& db_;
    std::vector<Problem> problems_;
    std::vector<Problem> notes_;

    void add(Grade grade, TableId t, std::size_t record, const char* field, int element, int count,
             std::string message)
    {
        problems_.push_back(makeProblem(grade, t, static_cast<std::int64_t>(record), field, element, count,
                                        std::move(message)));
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
            s += " (" + db_.clubs[static_cast<std::size_t>(id)].text(ClubRecord::LongName) + ")";
        return s;
    }

    // ---- Identifiers equal to positions ----------------------------------

    template <typename R>
    void identifiersOf(const Table<R>& table, TableId t, I32Field field, const char* fieldName)
    {
        for (std::size_t i = 0; i < table.size(); ++i) {
            const std::int32_t id = table[i].get(field);
            if (id != static_cast<std::int64_t>(i))
                add(Grade::Damage, t, i, fieldName, -1, 1,
                    "identifier " + std::to_string(id) + " differs from its position " + std::to_string(i));
        }
    }

    void identifiers()
    {
        identifiersOf(db_.clubs, TableId::Clubs, ClubRecord::ClubId, "ClubId");
        identifiersOf(db_.staff, TableId::Staff, StaffRecord::StaffId, "StaffId");
        identifiersOf(db_.nonPlayers, TableId::NonPlayers, NonPlayerRecord::NonPlayerId, "NonPlayerId");
        identifiersOf(db_.players, TableId::Players, PlayerRecord::PlayerId, "PlayerId");
        identifiersOf(db_.firstNames, TableId::FirstNames, NameRecord::NameId, "NameId");
        identifiersOf(db_.secondNames, TableId::SecondNames, NameRecord::NameId, "NameId");
        identifiersOf(db_.commonNames, TableId::CommonNames, NameRecord::NameId, "NameId");
    }

    // ---- References, every one the catalog knows ---------------------------

    // -1, -2 and the referenced table's count are the stored forms of none.
    void references()
    {
        for (std::size_t ti = 0; ti < kTableCount; ++ti) {
            const auto t = static_cast<TableId>(ti);
            std::vector<const FieldInfo*> refs;
            for (const FieldInfo& f : fieldsOf(t))
                if (f.kind == FieldKind::Reference) refs.push_back(&f);
            if (refs.empty()) continue;
            withTable(db_, t, [&](const auto& table) {
                for (std::size_t i = 0; i < table.size(); ++i)
                    for (const FieldInfo* f : refs) {
                        const std::size_t count = tableSize(db_, f->target);
                        for (int k = 0; k < f->count; ++k) {
                            const std::int32_t value = readI32(table[i].data() + f->offset + 4 * k);
                            if (isValidRef(value, count) || value == -1 || value == -2 ||
                                static_cast<std::int64_t>(value) == static_cast<std::int64_t>(count))
                                continue;
                            Problem p = makeProblem(Grade::Unusual, t, static_cast<std::int64_t>(i), f, k,
                                                    "reference " + std::to_string(value) + " is outside " +
                                                        tableLayout(f->target).name + " (" +
                                                        std::to_string(count) + " records)");
                            p.readsAsNone = true;
                            notes_.push_back(std::move(p));
                        }
                    }
            });
        }
    }

    // ---- Staff slots and contracts ----------------------------------------

    void clubSlots()
    {
        for (std::size_t i = 0; i < db_.clubs.size(); ++i) {
            const ClubRecord& c = db_.clubs[i];
            for (const SlotGroup& g : slotGroups()) {
                for (int k = 0; k < g.field.count; ++k) {
                    const std::int32_t id = c.id(g.field, k);
                    if (!isValidRef(id, db_.staff.size())) continue;
                    const StaffRecord& s = db_.staff[static_cast<std::size_t>(id)];
                    const std::int32_t club = s.get(StaffRecord::ClubContractedId);
                    if (club != static_cast<std::int64_t>(i))
                        add(Grade::Inconsistent, TableId::Clubs, i, g.name, k, g.field.count,
                            staffLabel(id) + " is contracted to " +
                                (isValidRef(club, db_.clubs.size()) ? clubLabel(club)
                                                                    : std::string("no club")));
                    const std::uint8_t job = s.get(StaffRecord::JobForClub);
                    if (!g.holds(job))
                        add(Grade::Inconsistent, TableId::Clubs, i, g.name, k, g.field.count,
                            staffLabel(id) + " has job " + jobText(job) + ", which " + g.name +
                                " does not hold");
                    for (int e = 0; e < k; ++e)
                        if (c.id(g.field, e) == id) {
                            add(Grade::Inconsistent, TableId::Clubs, i, g.name, k, g.field.count,
                                staffLabel(id) + " is listed twice, also in " +
                                    listFieldName(g.name, e, g.field.count));
                            break;
                        }
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
                for (int k = 0; k < g.field.count; ++k) {
                    const std::int32_t id = db_.clubs[i].id(g.field, k);
                    if (id >= 0) listed[i].push_back(id);
                }

        for (std::size_t i = 0; i < db_.staff.size(); ++i) {
            const std::int32_t club = db_.staff[i].get(StaffRecord::ClubContractedId);
            if (!isValidRef(club, db_.clubs.size())) continue;
            bool found = false;
            for (std::int32_t id : listed[static_cast<std::size_t>(club)])
                if (id == static_cast<std::int64_t>(i)) found = true;
            if (!found)
                add(Grade::Inconsistent, TableId::Staff, i, "ClubContractedId", -1, 1,
                    "contracted to " + clubLabel(club) + ", which lists the person in no staff slot");
        }
    }

    // ---- Attribute records --------------------------------------------------

    void link(std::size_t staffPos, const char* field, std::int32_t value, std::size_t count,
              const char* target, std::vector<std::int32_t>& owners)
    {
        if (value < 0) {
            add(Grade::Damage, TableId::Staff, staffPos, field, -1, 1,
                std::string("missing link to ") + target + " (" + std::to_string(value) +
                    ") though the classification needs one");
            return;
        }
        if (!isValidRef(value, count)) {
            add(Grade::Damage, TableId::Staff, staffPos, field, -1, 1,
                "link " + std::to_string(value) + " is outside " + target + " (" + std::to_string(count) +
                    " records)");
            return;
        }
        std::int32_t& owner = owners[static_cast<std::size_t>(value)];
        if (owner < 0)
            owner = static_cast<std::int32_t>(staffPos);
        else
            add(Grade::Damage, TableId::Staff, staffPos, field, -1, 1,
                std::string(target) + " record " + std::to_string(value) + " is also used by " +
                    staffLabel(owner));
    }

    void attributeLinks()
    {
        std::vector<std::int32_t> playerOwners(db_.players.size(), -1),
            nonPlayerOwners(db_.nonPlayers.size(), -1);
        for (std::size_t i = 0; i < db_.staff.size(); ++i) {
            const StaffRecord& s = db_.staff[i];
            const std::uint8_t c = s.get(StaffRecord::Classification);
            if (Classification::hasNonPlayer(c))
                link(i, "NonPlayerId", s.get(StaffRecord::NonPlayerId), db_.nonPlayers.size(), "non-players",
                     nonPlayerOwners);
            if (Classification::hasPlayer(c))
                link(i, "PlayerId", s.get(StaffRecord::PlayerId), db_.players.size(), "players",
                     playerOwners);
        }
    }

    // ---- Name usage counts ----------------------------------------------------

    void usageOf(TableId t, I32Field staffField)
    {
        const Table<NameRecord>& names = t == TableId::FirstNames    ? db_.firstNames
                                         : t == TableId::SecondNames ? db_.secondNames
                                                                     : db_.commonNames;
        std::vector<std::uint64_t> used(names.size(), 0);
        for (const StaffRecord& s : db_.staff) {
            const std::int32_t id = s.get(staffField);
            if (isValidRef(id, names.size())) ++used[static_cast<std::size_t>(id)];
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            const unsigned stored = names[i].get(NameRecord::UsageCount);
            // The count is one byte that wraps, so compare modulo 256.
            if (stored != (used[i] & 0xFFu))
                add(Grade::Inconsistent, t, i, "UsageCount", -1, 1,
                    "says " + std::to_string(stored) + " but " + std::to_string(used[i]) +
                        " staff use the name");
        }
    }

    void usageCounts()
    {
        usageOf(TableId::FirstNames, StaffRecord::FirstNameId);
        usageOf(TableId::SecondNames, StaffRecord::SecondNameId);
        usageOf(TableId::CommonNames, StaffRecord::CommonNameId);
    }
};

}  // namespace

std::string_view gradeWord(Grade g)
{
    switch (g) {
        case Grade::Damage:
            return "damage";
        case Grade::Inconsistent:
            return "inconsistent";
        case Grade::Unusual:
            break;
    }
    return "unusual";
}

std::string Problem::line() const
{
    std::string s = table;
    if (record >= 0) s += "[" + std::to_string(record) + "]";
    s += " " + field + ": " + message;
    return s;
}

std::vector<Problem> checkRecords(const Database& db)
{
    return Checker(db).run();
}

}  // namespace db

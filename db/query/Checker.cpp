#include "db/query/Checker.h"

#include "db/format/Codes.h"
#include "db/query/CheckSupport.h"
#include "db/query/StaffSlots.h"

namespace db {

namespace {

// The checks run table by table, each table read once (the staff table is
// the largest by far), but the problems come out check by check: each check
// fills a list of its own and the lists are joined in check order.
class Checker {
public:
    explicit Checker(const Database& db) : db_(db)
    {
        for (std::size_t ti = 0; ti < kTableCount; ++ti)
            for (const FieldInfo& f : fieldsOf(static_cast<TableId>(ti)))
                if (f.kind == FieldKind::Reference) refs_[ti].push_back({&f, tableSize(db_, f.target)});
    }

    std::vector<Problem> run()
    {
        // Table by table in catalog order (clubs before staff, whose
        // contracts need the clubs' slots); the clubs and the staff have
        // checks of their own besides the references every table gets.
        for (std::size_t ti = 0; ti < kTableCount; ++ti) {
            const auto t = static_cast<TableId>(ti);
            if (t == TableId::Clubs)
                clubs();
            else if (t == TableId::Staff)
                staff();
            else if (!refs_[ti].empty())
                withTable(db_, t, [&](const auto& table) { referencesOf(t, table); });
        }
        identifiersOf(db_.nonPlayers, TableId::NonPlayers, NonPlayerRecord::NonPlayerId, "NonPlayerId");
        identifiersOf(db_.players, TableId::Players, PlayerRecord::PlayerId, "PlayerId");
        identifiersOf(db_.firstNames, TableId::FirstNames, NameRecord::NameId, "NameId");
        identifiersOf(db_.secondNames, TableId::SecondNames, NameRecord::NameId, "NameId");
        identifiersOf(db_.commonNames, TableId::CommonNames, NameRecord::NameId, "NameId");
        usageCounts();

        values_.attributes(db_);

        // The references that merely read as none come last, apart.
        std::vector<Problem> problems;
        for (std::vector<Problem>& found : found_)
            for (Problem& p : found) problems.push_back(std::move(p));
        nameRecords(db_, problems);
        return problems;
    }

private:
    // The checks, in the order their problems are listed.
    enum Check { Identifiers, Slots, Contracts, Links, Usage, Values, Notes, CheckCount };

    struct Ref {
        const FieldInfo* field;
        std::size_t count;  // records of its target table
    };

    const Database& db_;
    std::vector<Ref> refs_[kTableCount];
    std::vector<Problem> found_[CheckCount];
    std::vector<bool> listedByOwnClub_;
    std::vector<std::int32_t> playerOwners_, nonPlayerOwners_;
    std::vector<std::uint32_t> used_[3];  // staff using each first, second and common name
    ValueRules values_{found_[Values]};

    void add(Check check, Grade grade, TableId t, std::size_t record, const char* field, int element,
             int count, std::string message)
    {
        found_[check].push_back(makeProblem(grade, t, static_cast<std::int64_t>(record), field, element,
                                            count, std::move(message)));
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
    void identifier(const R& r, std::size_t i, TableId t, I32Field field, const char* fieldName)
    {
        const std::int32_t id = r.get(field);
        if (id != static_cast<std::int64_t>(i))
            add(Identifiers, Grade::Damage, t, i, fieldName, -1, 1,
                "identifier " + std::to_string(id) + " differs from its position " + std::to_string(i));
    }

    template <typename R>
    void identifiersOf(const Table<R>& table, TableId t, I32Field field, const char* fieldName)
    {
        for (std::size_t i = 0; i < table.size(); ++i) identifier(table[i], i, t, field, fieldName);
    }

    // ---- References, every one the catalog knows ---------------------------

    // -1, -2 and the referenced table's count are the stored forms of none.
    template <typename R>
    void references(const R& r, std::size_t i, TableId t)
    {
        for (const Ref& ref : refs_[static_cast<std::size_t>(t)]) {
            const FieldInfo* f = ref.field;
            for (int k = 0; k < f->count; ++k) {
                const std::int32_t value = readI32(r.data() + f->offset + 4 * k);
                if (isValidRef(value, ref.count) || value == -1 || value == -2 ||
                    static_cast<std::int64_t>(value) == static_cast<std::int64_t>(ref.count))
                    continue;
                Problem p = makeProblem(Grade::Unusual, t, static_cast<std::int64_t>(i), f, k,
                                        "reference " + std::to_string(value) + " is outside " +
                                            tableLayout(f->target).name + " (" + std::to_string(ref.count) +
                                            " records)");
                p.readsAsNone = true;
                found_[Notes].push_back(std::move(p));
            }
        }
    }

    template <typename R>
    void referencesOf(TableId t, const Table<R>& table)
    {
        for (std::size_t i = 0; i < table.size(); ++i) references(table[i], i, t);
    }

    // ---- Clubs: their staff slots -------------------------------------------

    void clubs()
    {
        listedByOwnClub_.assign(db_.staff.size(), false);
        for (std::size_t i = 0; i < db_.clubs.size(); ++i) {
            const ClubRecord& c = db_.clubs[i];
            identifier(c, i, TableId::Clubs, ClubRecord::ClubId, "ClubId");
            references(c, i, TableId::Clubs);
            values_.club(c, i);
            for (const SlotGroup& g : slotGroups())
                for (int k = 0; k < g.field.count; ++k) slot(c, i, g, k);
        }
    }

    void slot(const ClubRecord& c, std::size_t i, const SlotGroup& g, int k)
    {
        const std::int32_t id = c.id(g.field, k);
        if (!isValidRef(id, db_.staff.size())) return;
        const StaffRecord& s = db_.staff[static_cast<std::size_t>(id)];
        const std::int32_t club = s.get(StaffRecord::ClubContractedId);
        if (club == static_cast<std::int64_t>(i))
            listedByOwnClub_[static_cast<std::size_t>(id)] = true;
        else
            add(Slots, Grade::Inconsistent, TableId::Clubs, i, g.name, k, g.field.count,
                staffLabel(id) + " is contracted to " +
                    (isValidRef(club, db_.clubs.size()) ? clubLabel(club) : std::string("no club")));
        const std::uint8_t job = s.get(StaffRecord::JobForClub);
        if (!g.holds(job))
            add(Slots, Grade::Inconsistent, TableId::Clubs, i, g.name, k, g.field.count,
                staffLabel(id) + " has job " + jobText(job) + ", which " + g.name + " does not hold");
        for (int e = 0; e < k; ++e)
            if (c.id(g.field, e) == id) {
                add(Slots, Grade::Inconsistent, TableId::Clubs, i, g.name, k, g.field.count,
                    staffLabel(id) + " is listed twice, also in " + listFieldName(g.name, e, g.field.count));
                break;
            }
    }

    // ---- Staff: contracts, attribute links, names used -----------------------

    void staff()
    {
        playerOwners_.assign(db_.players.size(), -1);
        nonPlayerOwners_.assign(db_.nonPlayers.size(), -1);
        used_[0].assign(db_.firstNames.size(), 0);
        used_[1].assign(db_.secondNames.size(), 0);
        used_[2].assign(db_.commonNames.size(), 0);
        for (std::size_t i = 0; i < db_.staff.size(); ++i) {
            const StaffRecord& s = db_.staff[i];
            identifier(s, i, TableId::Staff, StaffRecord::StaffId, "StaffId");
            references(s, i, TableId::Staff);
            values_.staff(s, i);

            const std::int32_t club = s.get(StaffRecord::ClubContractedId);
            if (isValidRef(club, db_.clubs.size()) && !listedByOwnClub_[i])
                add(Contracts, Grade::Inconsistent, TableId::Staff, i, "ClubContractedId", -1, 1,
                    "contracted to " + clubLabel(club) + ", which lists the person in no staff slot");

            const std::uint8_t c = s.get(StaffRecord::Classification);
            if (Classification::hasNonPlayer(c))
                link(i, "NonPlayerId", s.get(StaffRecord::NonPlayerId), "non-players", nonPlayerOwners_);
            if (Classification::hasPlayer(c))
                link(i, "PlayerId", s.get(StaffRecord::PlayerId), "players", playerOwners_);

            const std::int32_t names[3] = {s.get(StaffRecord::FirstNameId), s.get(StaffRecord::SecondNameId),
                                           s.get(StaffRecord::CommonNameId)};
            for (int n = 0; n < 3; ++n)
                if (isValidRef(names[n], used_[n].size())) ++used_[n][static_cast<std::size_t>(names[n])];
        }
    }

    void link(std::size_t staffPos, const char* field, std::int32_t value, const char* target,
              std::vector<std::int32_t>& owners)
    {
        if (value < 0) {
            add(Links, Grade::Damage, TableId::Staff, staffPos, field, -1, 1,
                std::string("missing link to ") + target + " (" + std::to_string(value) +
                    ") though the classification needs one");
            return;
        }
        if (!isValidRef(value, owners.size())) {
            add(Links, Grade::Damage, TableId::Staff, staffPos, field, -1, 1,
                "link " + std::to_string(value) + " is outside " + target + " (" +
                    std::to_string(owners.size()) + " records)");
            return;
        }
        std::int32_t& owner = owners[static_cast<std::size_t>(value)];
        if (owner < 0)
            owner = static_cast<std::int32_t>(staffPos);
        else
            add(Links, Grade::Damage, TableId::Staff, staffPos, field, -1, 1,
                std::string(target) + " record " + std::to_string(value) + " is also used by " +
                    staffLabel(owner));
    }

    void usageCounts()
    {
        const TableId tables[3] = {TableId::FirstNames, TableId::SecondNames, TableId::CommonNames};
        const Table<NameRecord>* names[3] = {&db_.firstNames, &db_.secondNames, &db_.commonNames};
        for (int n = 0; n < 3; ++n)
            for (std::size_t i = 0; i < names[n]->size(); ++i) {
                const unsigned stored = (*names[n])[i].get(NameRecord::UsageCount);
                const std::uint32_t used = used_[n][i];
                // The count is one byte that wraps, so compare modulo 256.
                if (stored != (used & 0xFFu))
                    add(Usage, Grade::Inconsistent, tables[n], i, "UsageCount", -1, 1,
                        "says " + std::to_string(stored) + " but " + std::to_string(used) +
                            " staff use the name");
            }
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

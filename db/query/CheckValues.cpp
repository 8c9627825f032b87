// The unusual values: numbers outside the scales and ranges the game's own
// database keeps to. None of them stops the game; each is worth a look.

#include <string>

#include "db/format/Codes.h"
#include "db/query/CheckSupport.h"

namespace db {

namespace {

std::string outside(std::int64_t value, std::int64_t lo, std::int64_t hi, const char* what)
{
    return std::to_string(value) + " is outside " + what + " of " + std::to_string(lo) + " to " +
           std::to_string(hi);
}

}  // namespace

ValueRules::ValueRules(std::vector<Problem>& out) : out_(out)
{
    // The eight mental attributes lie together, Adaptability to Temperament.
    for (const FieldInfo& f : fieldsOf(TableId::Staff))
        if (f.offset >= StaffRecord::Adaptability.offset && f.offset <= StaffRecord::Temperament.offset)
            mental_.push_back(&f);
}

void ValueRules::add(TableId t, std::size_t record, const FieldInfo* f, std::string message)
{
    out_.push_back(
        makeProblem(Grade::Unusual, t, static_cast<std::int64_t>(record), f, 0, std::move(message)));
}

void ValueRules::add(TableId t, std::size_t record, std::string_view field, std::string message)
{
    out_.push_back(
        makeProblem(Grade::Unusual, t, static_cast<std::int64_t>(record), field, -1, 1, std::move(message)));
}

void ValueRules::club(const ClubRecord& c, std::size_t i)
{
    const std::int32_t cash = c.get(ClubRecord::Cash);
    if (cash < kCashMin || cash > kCashMax)
        add(TableId::Clubs, i, "Cash", outside(cash, kCashMin, kCashMax, "every normal balance"));
}

void ValueRules::staff(const StaffRecord& s, std::size_t i)
{
    for (const FieldInfo* f : mental_) {
        const int v = s.data()[f->offset];
        if (v > kAttributeMax) add(TableId::Staff, i, f, outside(v, 0, kAttributeMax, "the game's scale"));
    }
    const std::int32_t wage = s.get(StaffRecord::Wage);
    if (wage < 0 || wage > kWageMax)
        add(TableId::Staff, i, "Wage", outside(wage, 0, kWageMax, "every normal wage"));
    if (!Classification::hasPlayer(s.get(StaffRecord::Classification))) return;
    // A player's age on the day the game starts.
    const int year = s.get(StaffRecord::DateOfBirth.year());
    const int day = s.get(StaffRecord::DateOfBirth.dayOfYear());
    const int age = kStartYear - year - (day > kStartDayOfYear ? 1 : 0);
    if (age < kYoungestPlayer || age > kOldestPlayer)
        add(TableId::Staff, i, "DateOfBirth",
            "born in " + std::to_string(year) + ", the player is " + std::to_string(age) +
                " when the game starts, outside " + std::to_string(kYoungestPlayer) + " to " +
                std::to_string(kOldestPlayer));
}

// The one-byte attributes (0-20) and the two abilities (0-200; a
// potential of -1 or -2 stands for a huge or massive one).
template <typename R>
void ValueRules::attributesOf(TableId t, const Table<R>& table)
{
    std::vector<const FieldInfo*> bytes;
    for (const FieldInfo& f : fieldsOf(t))
        if (f.kind == FieldKind::Number && f.width == 1 && f.name != "SquadNumber" &&
            !f.name.starts_with("Reserved"))
            bytes.push_back(&f);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const R& r = table[i];
        const int ca = r.get(R::CurrentAbility);
        const int pa = r.get(R::PotentialAbility);
        if (ca < 0 || ca > kAbilityMax)
            add(t, i, "CurrentAbility", outside(ca, 0, kAbilityMax, "the game's scale"));
        if ((pa < 0 && pa != -1 && pa != -2) || pa > kAbilityMax)
            add(t, i, "PotentialAbility", outside(pa, 0, kAbilityMax, "the game's scale (or -1, -2)"));
        else if (pa >= 0 && ca > pa)
            add(t, i, "CurrentAbility",
                "current ability " + std::to_string(ca) + " is above the potential ability " +
                    std::to_string(pa));
        for (const FieldInfo* f : bytes) {
            const int v = r.data()[f->offset];
            if (v > kAttributeMax) add(t, i, f, outside(v, 0, kAttributeMax, "the game's scale"));
        }
    }
}

void ValueRules::attributes(const Database& db)
{
    attributesOf(TableId::NonPlayers, db.nonPlayers);
    attributesOf(TableId::Players, db.players);
}

void checkValues(const Database& db, std::vector<Problem>& out)
{
    ValueRules rules(out);
    for (std::size_t i = 0; i < db.clubs.size(); ++i) rules.club(db.clubs[i], i);
    for (std::size_t i = 0; i < db.staff.size(); ++i) rules.staff(db.staff[i], i);
    rules.attributes(db);
}

}  // namespace db

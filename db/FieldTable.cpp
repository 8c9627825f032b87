#include "FieldTable.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace db {

namespace {

// What a number field refers to.
struct Ref {
    int table = -1;
    bool self = false;
};
constexpr Ref to(TableId t)
{
    return Ref{static_cast<int>(t), false};
}
constexpr Ref self(TableId t)
{
    return Ref{static_cast<int>(t), true};
}

class Builder {
public:
    explicit Builder(std::size_t size) : size_(size) {}

    void add(const char* name, U8Field f, Ref r = {}) { number(name, f.offset, 1, false, r); }
    void add(const char* name, I16Field f, Ref r = {}) { number(name, f.offset, 2, true, r); }
    void add(const char* name, U16Field f, Ref r = {}) { number(name, f.offset, 2, false, r); }
    void add(const char* name, I32Field f, Ref r = {}) { number(name, f.offset, 4, true, r); }
    void add(const char* name, TextField f) { push({name, f.offset, f.width, FieldInfo::Kind::Text}); }
    void add(const char* name, BytesField f) { push({name, f.offset, f.width, FieldInfo::Kind::Bytes}); }
    void add(const char* name, IdListField f, Ref r = {})
    {
        for (int k = 0; k < f.count; ++k)
            number(std::string(name) + "[" + std::to_string(k) + "]", f.at(k).offset, 4, true, r);
    }
    void add(const char* name, DateField f)
    {
        number(std::string(name) + ".DayOfYear", f.offset, 2, false, {});
        number(std::string(name) + ".Year", f.offset + 2, 2, true, {});
        push({std::string(name) + ".Reserved", static_cast<std::uint16_t>(f.offset + 4), 4,
              FieldInfo::Kind::Bytes});
    }

    // The fields in offset order with every byte no field covers named
    // "Reserved<offset>". Overlapping fields are a programming error.
    std::vector<FieldInfo> finish()
    {
        std::sort(fields_.begin(), fields_.end(),
                  [](const FieldInfo& a, const FieldInfo& b) { return a.offset < b.offset; });
        std::vector<FieldInfo> out;
        std::size_t at = 0;
        for (FieldInfo& f : fields_) {
            if (f.offset < at || f.offset + f.width > size_) std::abort();
            if (f.offset > at) out.push_back(gap(at, f.offset - at));
            at = f.offset + f.width;
            out.push_back(std::move(f));
        }
        if (at < size_) out.push_back(gap(at, size_ - at));
        return out;
    }

private:
    void number(std::string name, std::size_t offset, std::uint16_t width, bool isSigned, Ref r)
    {
        FieldInfo f{std::move(name), static_cast<std::uint16_t>(offset), width, FieldInfo::Kind::Number};
        f.isSigned = isSigned;
        f.refTable = r.table;
        f.selfId = r.self;
        push(std::move(f));
    }
    void push(FieldInfo f) { fields_.push_back(std::move(f)); }
    static FieldInfo gap(std::size_t offset, std::size_t width)
    {
        return {"Reserved" + std::to_string(offset), static_cast<std::uint16_t>(offset),
                static_cast<std::uint16_t>(width), FieldInfo::Kind::Bytes};
    }

    std::size_t size_;
    std::vector<FieldInfo> fields_;
};

// F(Cash) adds ClubRecord::Cash under the name "Cash".
#define F(field, ...) b.add(#field, R::field __VA_OPT__(, ) __VA_ARGS__)

std::vector<FieldInfo> indexFields()
{
    using R = IndexEntry;
    Builder b(R::Size);
    F(Reserved1);
    F(RecordCount);
    F(TableOffset);
    F(Reserved2);
    return b.finish();
}

std::vector<FieldInfo> clubFields()
{
    using R = ClubRecord;
    using T = TableId;
    Builder b(R::Size);
    F(ClubId, self(T::Clubs));
    F(LongName);
    F(Reserved55);
    F(ShortName);
    F(Reserved82);
    F(NationId, to(T::Nations));
    F(DivisionId, to(T::ClubComps));
    F(LastDivisionId, to(T::ClubComps));
    F(LastPosition);
    F(ReserveDivisionId, to(T::ClubComps));
    F(ProStatus);
    F(Cash);
    F(StadiumId, to(T::Stadiums));
    F(OwnStadium);
    F(ReserveStadiumId, to(T::Stadiums));
    F(Matchday);
    F(AverageAttendance);
    F(MinimumAttendance);
    F(MaximumAttendance);
    F(Training);
    F(Reputation);
    F(Plc);
    F(HomeForeColourId, to(T::Colours));
    F(HomeBackColourId, to(T::Colours));
    F(AwayForeColourId, to(T::Colours));
    F(AwayBackColourId, to(T::Colours));
    F(ThirdForeColourId, to(T::Colours));
    F(ThirdBackColourId, to(T::Colours));
    F(FavouriteStaff, to(T::Staff));
    F(DislikedStaff, to(T::Staff));
    F(RivalClubs, to(T::Clubs));
    F(ChairmanId, to(T::Staff));
    F(DirectorIds, to(T::Staff));
    F(ManagerId, to(T::Staff));
    F(AssistantManagerId, to(T::Staff));
    F(PlayerIds, to(T::Staff));
    F(CoachIds, to(T::Staff));
    F(ScoutIds, to(T::Staff));
    F(PhysioIds, to(T::Staff));
    F(ReservedTail);
    return b.finish();
}

std::vector<FieldInfo> stadiumFields()
{
    using R = StadiumRecord;
    using T = TableId;
    Builder b(R::Size);
    F(StadiumName);
    F(CityId, to(T::Cities));
    F(Capacity);
    F(Seating);
    F(Expansion);
    F(NearbyStadiumId, to(T::Stadiums));
    F(Covered);
    F(UndersoilHeating);
    return b.finish();
}

std::vector<FieldInfo> nameFields(TableId table)
{
    using R = NameRecord;
    Builder b(R::Size);
    F(Name);
    F(NameId, self(table));
    F(Reserved);
    F(UsageCount);
    return b.finish();
}

std::vector<FieldInfo> staffFields()
{
    using R = StaffRecord;
    using T = TableId;
    Builder b(R::Size);
    F(StaffId, self(T::Staff));
    F(FirstNameId, to(T::FirstNames));
    F(SecondNameId, to(T::SecondNames));
    F(CommonNameId, to(T::CommonNames));
    F(DateOfBirth);
    F(Reserved24);
    F(NationId, to(T::Nations));
    F(SecondNationId, to(T::Nations));
    F(InternationalCaps);
    F(InternationalGoals);
    F(NationContractedId, to(T::Nations));
    F(JobForNation);
    F(NationJoinDate);
    F(NationContractEnd);
    F(ClubContractedId, to(T::Clubs));
    F(JobForClub);
    F(ClubJoinDate);
    F(ClubContractEnd);
    F(Wage);
    F(Value);
    F(Adaptability);
    F(Ambition);
    F(Determination);
    F(Loyalty);
    F(Pressure);
    F(Professionalism);
    F(Sportsmanship);
    F(Temperament);
    F(PlayingSquad);
    F(Classification);
    F(ClubValuation);
    F(FavouriteClubs, to(T::Clubs));
    F(DislikedClubs, to(T::Clubs));
    F(FavouriteStaff, to(T::Staff));
    F(DislikedStaff, to(T::Staff));
    F(PlayerId, to(T::Players));
    F(Reserved149);
    F(NonPlayerId, to(T::NonPlayers));
    return b.finish();
}

std::vector<FieldInfo> nonPlayerFields()
{
    using R = NonPlayerRecord;
    Builder b(R::Size);
    F(NonPlayerId, self(TableId::NonPlayers));
    F(CurrentAbility);
    F(PotentialAbility);
    F(HomeReputation);
    F(CurrentReputation);
    F(WorldReputation);
    F(Attacking);
    F(Business);
    F(CoachingPlayers);
    F(CoachingGoalkeepers);
    F(CoachStyle);
    F(Directness);
    F(Discipline);
    F(FreeRoles);
    F(Interference);
    F(JudgingAbility);
    F(JudgingPotential);
    F(ManHandling);
    F(Marking);
    F(Motivating);
    F(Offside);
    F(Patience);
    F(Physiotherapy);
    F(Pressing);
    F(Resources);
    F(Tactics);
    F(WorkingWithYoungsters);
    F(Reserved35);
    F(Formation);
    return b.finish();
}

std::vector<FieldInfo> playerFields()
{
    using R = PlayerRecord;
    Builder b(R::Size);
    F(PlayerId, self(TableId::Players));
    F(SquadNumber);
    F(CurrentAbility);
    F(PotentialAbility);
    F(HomeReputation);
    F(CurrentReputation);
    F(WorldReputation);
    F(Goalkeeper);
    F(Sweeper);
    F(Defender);
    F(Anchorman);
    F(Midfielder);
    F(Supportman);
    F(Attacker);
    F(Wingback);
    F(RightSide);
    F(LeftSide);
    F(Central);
    F(FreeRole);
    F(Acceleration);
    F(Aggression);
    F(Agility);
    F(Anticipation);
    F(Balance);
    F(Bravery);
    F(Consistency);
    F(Corners);
    F(Crossing);
    F(Decisions);
    F(Dirtiness);
    F(Dribbling);
    F(Finishing);
    F(Flair);
    F(FreeKicks);
    F(Handling);
    F(Heading);
    F(ImportantMatches);
    F(InjuryProneness);
    F(Jumping);
    F(Leadership);
    F(LeftFoot);
    F(LongShots);
    F(Marking);
    F(Movement);
    F(NaturalFitness);
    F(OneOnOnes);
    F(Pace);
    F(Passing);
    F(Penalties);
    F(Positioning);
    F(Reflexes);
    F(RightFoot);
    F(Stamina);
    F(Strength);
    F(Tackling);
    F(Teamwork);
    F(Technique);
    F(ThrowIns);
    F(Versatility);
    F(Vision);
    F(WorkRate);
    F(Reserved69);
    return b.finish();
}

#undef F

std::vector<TableInfo> buildTables()
{
    using T = TableId;
    std::vector<TableInfo> t;
    t.push_back({T::Index, "index", IndexEntry::Size, -1, true, indexFields()});
    t.push_back({T::Clubs, "clubs", ClubRecord::Size, Entry::Clubs, true, clubFields()});
    t.push_back({T::Stadiums, "stadiums", StadiumRecord::Size, Entry::Stadiums, true, stadiumFields()});
    t.push_back(
        {T::FirstNames, "first-names", NameRecord::Size, Entry::FirstNames, true, nameFields(T::FirstNames)});
    t.push_back({T::SecondNames, "second-names", NameRecord::Size, Entry::SecondNames, true,
                 nameFields(T::SecondNames)});
    t.push_back({T::CommonNames, "common-names", NameRecord::Size, Entry::CommonNames, true,
                 nameFields(T::CommonNames)});
    t.push_back({T::Staff, "staff", StaffRecord::Size, Entry::Staff, true, staffFields()});
    Builder extra(StaffExtraRecord::Size);
    t.push_back(
        {T::StaffExtra, "staff-extra", StaffExtraRecord::Size, Entry::StaffExtra, true, extra.finish()});
    t.push_back(
        {T::NonPlayers, "non-players", NonPlayerRecord::Size, Entry::NonPlayers, true, nonPlayerFields()});
    t.push_back({T::Players, "players", PlayerRecord::Size, Entry::Players, true, playerFields()});

    auto lookup = [](std::size_t size, const char* name, TextField text) {
        Builder b(size);
        b.add(name, text);
        return b.finish();
    };
    t.push_back({T::Nations, "nations", NationRecord::Size, Entry::Nations, false,
                 lookup(NationRecord::Size, "NationName", NationRecord::NationName)});
    t.push_back({T::ClubComps, "competitions", ClubCompRecord::Size, Entry::ClubComps, false,
                 lookup(ClubCompRecord::Size, "ClubCompName", ClubCompRecord::ClubCompName)});
    t.push_back({T::Colours, "colours", ColourRecord::Size, Entry::Colours, false,
                 lookup(ColourRecord::Size, "ColourName", ColourRecord::ColourName)});
    t.push_back({T::Cities, "cities", CityRecord::Size, Entry::Cities, false,
                 lookup(CityRecord::Size, "CityName", CityRecord::CityName)});
    return t;
}

template <typename D, typename Fn>
auto visitTable(D& d, TableId t, Fn&& fn)
{
    switch (t) {
        case TableId::Index:
            return fn(d.index);
        case TableId::Clubs:
            return fn(d.clubs);
        case TableId::Stadiums:
            return fn(d.stadiums);
        case TableId::FirstNames:
            return fn(d.firstNames);
        case TableId::SecondNames:
            return fn(d.secondNames);
        case TableId::CommonNames:
            return fn(d.commonNames);
        case TableId::Staff:
            return fn(d.staff);
        case TableId::StaffExtra:
            return fn(d.staffExtra);
        case TableId::NonPlayers:
            return fn(d.nonPlayers);
        case TableId::Players:
            return fn(d.players);
        case TableId::Nations:
            return fn(d.nations);
        case TableId::ClubComps:
            return fn(d.clubComps);
        case TableId::Colours:
            return fn(d.colours);
        case TableId::Cities:
        case TableId::Count:
            break;
    }
    return fn(d.cities);
}

}  // namespace

const TableInfo& tableInfo(TableId t)
{
    static const std::vector<TableInfo> tables = buildTables();
    return tables[static_cast<std::size_t>(t)];
}

const TableInfo* tableByName(std::string_view name)
{
    for (int k = 0; k < kTableCount; ++k)
        if (name == tableInfo(static_cast<TableId>(k)).name) return &tableInfo(static_cast<TableId>(k));
    return nullptr;
}

const FieldInfo* fieldByName(const TableInfo& t, std::string_view name)
{
    for (const FieldInfo& f : t.fields)
        if (f.name == name) return &f;
    return nullptr;
}

std::size_t tableSize(const Database& d, TableId t)
{
    return visitTable(d, t, [](const auto& table) { return table.size(); });
}

const std::uint8_t* recordData(const Database& d, TableId t, std::size_t i)
{
    return visitTable(d, t, [i](const auto& table) { return table[i].data(); });
}

std::uint8_t* recordData(Database& d, TableId t, std::size_t i)
{
    return visitTable(d, t, [i](auto& table) { return table[i].data(); });
}

void pushRecord(Database& d, TableId t, const std::uint8_t* bytes)
{
    visitTable(d, t, [bytes](auto& table) {
        table.emplace_back();
        std::copy_n(bytes, table.back().bytes.size(), table.back().bytes.data());
        return 0;
    });
}

std::string recordName(const Database& d, TableId t, std::size_t i)
{
    switch (t) {
        case TableId::Clubs:
            return d.clubs[i].text(ClubRecord::LongName);
        case TableId::Stadiums:
            return d.stadiums[i].text(StadiumRecord::StadiumName);
        case TableId::FirstNames:
        case TableId::SecondNames:
        case TableId::CommonNames:
            return d
                .names(static_cast<NameKind>(static_cast<int>(t) - static_cast<int>(TableId::FirstNames)))[i]
                .text(NameRecord::Name);
        case TableId::Staff:
            return d.staff[i].displayName;
        case TableId::Nations:
            return d.nations[i].text(NationRecord::NationName);
        default:
            return {};
    }
}

}  // namespace db

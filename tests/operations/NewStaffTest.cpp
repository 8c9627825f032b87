#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "db/editing/NewStaff.h"

using db::IndexEntry;
using db::NonPlayerRecord;
using db::PlayerRecord;
using db::StaffRecord;
using db::WizardTemplate;
namespace Entry = db::Entry;

namespace {

// A database of `staff` general, `nonPlayers` and `players` attribute records
// whose index describes staff.dat laid out back to back.
db::Database staffDatabase(int staff, int nonPlayers, int players, int nations = 0)
{
    db::Database d = db::Database::withEmptyIndex();
    d.staff.resize(static_cast<std::size_t>(staff));
    d.staffExtra.resize(3);
    d.nonPlayers.resize(static_cast<std::size_t>(nonPlayers));
    d.players.resize(static_cast<std::size_t>(players));
    d.nations.resize(static_cast<std::size_t>(nations));
    const std::int32_t counts[] = {staff, 3, nonPlayers, players};
    const std::int32_t sizes[] = {157, 8, 68, 70};
    std::int32_t offset = 0;
    for (int k = 0; k < 4; ++k) {
        d.entry(Entry::Staff + k).set(IndexEntry::RecordCount, counts[k]);
        d.entry(Entry::Staff + k).set(IndexEntry::TableOffset, offset);
        offset += counts[k] * sizes[k];
    }
    return d;
}

std::int32_t count(const db::Database& d, int k)
{
    return d.entry(k).get(IndexEntry::RecordCount);
}
std::int32_t offset(const db::Database& d, int k)
{
    return d.entry(k).get(IndexEntry::TableOffset);
}

WizardTemplate templateWithBases(std::uint8_t base)
{
    WizardTemplate t;
    for (auto& b : t.bytes) b = base;
    t.setText(WizardTemplate::TemplateName, "Striker");
    for (int k = 0; k < 12; ++k) t.bytes[static_cast<std::size_t>(62 + k)] = static_cast<std::uint8_t>(k + 1);
    return t;
}

bool isAttributeByte(int n)
{
    return n >= 27 && n <= 68 && n != 48 && n != 59;
}

}  // namespace

TEST(NewStaff, AllowedClassificationJobPairs)
{
    for (int c = -1; c <= 7; ++c) {
        for (int j = -1; j <= 17; ++j) {
            bool expected = false;
            if (c == 1) expected = j >= 0 && j <= 10;
            if (c == 2) expected = j == 11;
            if (c == 3) expected = j >= 0 && j <= 15;
            EXPECT_EQ(db::isAllowedStaffPair(c, j), expected) << "classification " << c << " job " << j;
        }
    }
}

TEST(NewStaff, GeneralRecordValues)
{
    db::Database d = staffDatabase(4, 2, 3, 9);
    const StaffRecord s = db::composeNewStaff(d, 3, 8, "<new staff>");
    EXPECT_EQ(s.get(StaffRecord::StaffId), 4);
    EXPECT_EQ(s.get(StaffRecord::FirstNameId), 0);
    EXPECT_EQ(s.get(StaffRecord::SecondNameId), 0);
    EXPECT_EQ(s.get(StaffRecord::CommonNameId), 0);
    for (db::DateField date :
         {StaffRecord::DateOfBirth, StaffRecord::NationJoinDate, StaffRecord::NationContractEnd,
          StaffRecord::ClubJoinDate, StaffRecord::ClubContractEnd}) {
        EXPECT_EQ(s.get(date.dayOfYear()), 31);
        EXPECT_EQ(s.get(date.year()), 1900);
        for (int k = 4; k < 8; ++k) EXPECT_EQ(s.bytes[date.offset + static_cast<std::size_t>(k)], 0);
    }
    EXPECT_EQ(s.bytes[24], 0);
    EXPECT_EQ(s.bytes[25], 0);
    EXPECT_EQ(s.get(StaffRecord::NationId), 9);
    EXPECT_EQ(s.get(StaffRecord::SecondNationId), 9);
    EXPECT_EQ(s.get(StaffRecord::NationContractedId), -2);
    EXPECT_EQ(s.get(StaffRecord::ClubContractedId), -2);
    EXPECT_EQ(s.get(StaffRecord::JobForNation), 8);
    EXPECT_EQ(s.get(StaffRecord::JobForClub), 8);
    EXPECT_EQ(s.get(StaffRecord::PlayingSquad), 1);
    EXPECT_EQ(s.get(StaffRecord::Classification), 3);
    EXPECT_EQ(s.get(StaffRecord::PlayerId), 3);
    EXPECT_EQ(s.get(StaffRecord::NonPlayerId), 2);
    EXPECT_EQ(s.get(StaffRecord::Reserved149), -1);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(s.id(StaffRecord::FavouriteClubs, k), -2);
        EXPECT_EQ(s.id(StaffRecord::DislikedClubs, k), -2);
        EXPECT_EQ(s.id(StaffRecord::FavouriteStaff, k), -1);
        EXPECT_EQ(s.id(StaffRecord::DislikedStaff, k), -1);
    }
    // Caps, goals, wage, value, the eight personal ratings and the valuation.
    for (int off : {34, 35, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 96})
        EXPECT_EQ(s.bytes[static_cast<std::size_t>(off)], 0) << off;
    EXPECT_EQ(s.displayName, "<new staff>");

    EXPECT_EQ(db::composeNewStaff(d, 1, 0, "").get(StaffRecord::PlayerId), -1);
    EXPECT_EQ(db::composeNewStaff(d, 2, 11, "").get(StaffRecord::NonPlayerId), -1);
}

TEST(NewStaff, AttributeRecords)
{
    const NonPlayerRecord np = db::composeNewNonPlayer();
    for (std::size_t i = 0; i < NonPlayerRecord::Size; ++i)
        EXPECT_EQ(np.bytes[i], i >= 35 && i < 67 ? 0xFF : 0) << i;
    const PlayerRecord p = db::composeNewPlayer();
    for (auto b : p.bytes) EXPECT_EQ(b, 0);
}

TEST(NewStaff, EachClassificationAppendsItsRecords)
{
    struct Case {
        std::uint8_t classification, job;
        int nonPlayersAdded, playersAdded, playerOffsetMove;
    };
    for (Case c :
         {Case{1, 10, 1, 0, 225}, Case{2, 11, 0, 1, 157}, Case{0, 0, 0, 0, 157}, Case{4, 3, 0, 0, 157}}) {
        SCOPED_TRACE(int(c.classification));
        db::Database d = staffDatabase(5, 2, 2);
        const std::int32_t before = offset(d, 10);
        db::addNewStaff(d, c.classification, c.job);
        EXPECT_EQ(d.nonPlayers.size(), 2u + c.nonPlayersAdded);
        EXPECT_EQ(d.players.size(), 2u + c.playersAdded);
        EXPECT_EQ(count(d, 9), 2 + c.nonPlayersAdded);
        EXPECT_EQ(count(d, 10), 2 + c.playersAdded);
        EXPECT_EQ(offset(d, 10), before + c.playerOffsetMove);
        EXPECT_EQ(d.staff.back().get(StaffRecord::PlayerId), c.playersAdded ? 2 : -1);
        EXPECT_EQ(d.staff.back().get(StaffRecord::NonPlayerId), c.nonPlayersAdded ? 2 : -1);
    }
}

// Both ways of creating someone give him name 0 of each list: those names
// count one more user, in a byte that wraps; a list without a name 0, or an
// append that fails, counts nothing.
TEST(NewStaff, NewcomersCountTheirNames)
{
    const WizardTemplate t = templateWithBases(10);
    const std::function<void(db::Database&)> creators[] = {
        [](db::Database& d) { db::addNewStaff(d, 2, 11); },
        [&t](db::Database& d) { db::addWizardPlayer(d, t, [] { return 0; }); }};
    for (const auto& create : creators) {
        db::Database d = staffDatabase(5, 2, 2);
        d.firstNames.resize(2);
        d.secondNames.resize(1);
        d.firstNames[0].set(db::NameRecord::UsageCount, 6);
        d.firstNames[1].set(db::NameRecord::UsageCount, 6);
        d.secondNames[0].set(db::NameRecord::UsageCount, 255);
        create(d);
        EXPECT_EQ(d.firstNames[0].get(db::NameRecord::UsageCount), 7);
        EXPECT_EQ(d.firstNames[1].get(db::NameRecord::UsageCount), 6);
        EXPECT_EQ(d.secondNames[0].get(db::NameRecord::UsageCount), 0);  // wraps
        EXPECT_TRUE(d.commonNames.empty());

        db::Database noIndex;
        noIndex.firstNames.resize(1);
        EXPECT_THROW(create(noIndex), db::Error);
        EXPECT_EQ(noIndex.firstNames[0].get(db::NameRecord::UsageCount), 0);
    }
}

TEST(Wizard, BasesTenGiveTenToFifteenFeetZeroPositionsCopied)
{
    const WizardTemplate t = templateWithBases(10);
    int draws = 0;
    const PlayerRecord p = db::composeWizardPlayer(t, [&] { return draws++ % 6; });
    EXPECT_EQ(draws, 40);
    int seen = 0;
    for (int n = 0; n < 70; ++n) {
        const int v = p.bytes[static_cast<std::size_t>(n)];
        if (n >= 15 && n <= 26) {
            EXPECT_EQ(v, n - 14) << n;  // the template's ratings 1..12
        } else if (isAttributeByte(n)) {
            // Additions are drawn in ascending byte order.
            EXPECT_EQ(v, 10 + seen % 6) << n;
            ++seen;
        } else {
            EXPECT_EQ(v, 0) << n;  // id, squad number, abilities, feet, byte 69
        }
    }
    EXPECT_EQ(seen, 40);
}

TEST(Wizard, TimeSeededSourceIsUniformZeroToFive)
{
    const db::RandomAddition r = db::timeSeededAddition();
    std::set<int> values;
    for (int i = 0; i < 600; ++i) values.insert(r());
    EXPECT_EQ(values, (std::set<int>{0, 1, 2, 3, 4, 5}));
}

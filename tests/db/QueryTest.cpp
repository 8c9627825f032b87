// The filter language on its corners, and against hand-written loops on
// generated databases.

#include <algorithm>
#include <gtest/gtest.h>

#include "db/query/Query.h"
#include "db/rules/GameDate.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::Query;
using db::TableId;
using Ids = std::vector<std::int32_t>;
using S = db::StaffRecord;

void setDate(S& s, db::DateField f, int day, int month, int year)
{
    s.set(f.dayOfYear(), db::GetDate(day, static_cast<std::uint16_t>(month)));
    s.set(f.year(), static_cast<std::int16_t>(year));
}

// Two nations, three clubs (one whose name fills its field), four people
// and a playing record nobody owns.
db::Database world()
{
    db::Database d = db::Database::withEmptyIndex();
    for (const char* n : {"Brazil",
                          "Espa\xF1"
                          "a"}) {
        db::NationRecord r;
        r.setText(db::NationRecord::NationName, n);
        d.nations.push_back(r);
    }
    const std::string full(51, 'W');
    for (const std::string& n : {std::string("Man Utd"), std::string("S\xE3o Paulo"), full}) {
        db::ClubRecord c;
        c.setText(db::ClubRecord::LongName, n);
        c.set(db::ClubRecord::NationId, 0);
        d.appendClub(c);
    }
    d.appendName(db::NameKind::First, "Jos\xE9");
    d.appendName(db::NameKind::First, "Ana");
    d.appendName(db::NameKind::Second, "Silva");
    d.appendName(db::NameKind::Second, "M\xFCller");
    struct Person {
        int first, second, nation, club, wage, day, month, year;
        bool plays;
        std::int16_t ability;
    };
    const Person people[] = {
        {0, 0, 0, 0, 5000, 29, 2, 1980, true, 150},  // José Silva, born on a leap day
        {1, 1, 1, -1, 100, 1, 1, 1979, false, 0},    // Ana Müller, no club
        {0, 1, -2, 1, 5001, 2, 7, 1980, true, 120},  // José Müller, no nation (-2)
        {1, 0, 2, 5, 0, 1, 1, 1950, false, 0},       // references one past the end
    };
    for (const Person& p : people) {
        S s;
        s.set(S::FirstNameId, p.first);
        s.set(S::SecondNameId, p.second);
        s.set(S::CommonNameId, -1);
        s.set(S::NationId, p.nation);
        s.set(S::ClubContractedId, p.club);
        s.set(S::Wage, p.wage);
        s.set(S::JobForClub, p.plays ? db::Job::Player : db::Job::Chairman);
        s.set(S::Classification, p.plays ? db::Classification::Player : db::Classification::NonPlayer);
        setDate(s, S::DateOfBirth, p.day, p.month, p.year);
        s.displayName = d.buildDisplayName(s);
        std::optional<db::PlayerRecord> player;
        if (p.plays) {
            player.emplace();
            player->set(db::PlayerRecord::CurrentAbility, p.ability);
        }
        d.appendStaff(s, p.plays ? std::nullopt : std::optional<db::NonPlayerRecord>(db::NonPlayerRecord{}),
                      player);
    }
    db::PlayerRecord orphan;
    orphan.set(db::PlayerRecord::CurrentAbility, 160);
    d.players.push_back(orphan);
    d.entry(db::Entry::Players).set(db::IndexEntry::RecordCount, static_cast<std::int32_t>(d.players.size()));
    return d;
}

Ids run(const db::Database& d, TableId t, const std::string& text,
        db::QueryDate date = db::kDefaultReferenceDate)
{
    return Query::parse(t, text).run(d, date);
}

TEST(Query, MatchesOnTheCorners)
{
    const db::Database d = world();
    const std::string full(51, 'w');
    const struct {
        TableId table;
        std::string text;
        Ids expected;
    } cases[] = {
        {TableId::Staff, "", {0, 1, 2, 3}},
        {TableId::Staff, "NationId is none", {2, 3}},
        {TableId::Staff, "nation IS NOT none", {0, 1}},
        {TableId::Staff, "NationId = -2", {2}},
        {TableId::Staff, "NationId = -1", {}},
        {TableId::Staff, "Nation = \"brazil\"", {0}},
        {TableId::Staff,
         "Nation = \"ESPANA\" or Nation = \"espa\xC3\xB1"
         "a\"",
         {1}},
        {TableId::Staff, "Nation <> \"Brazil\"", {1, 2, 3}},
        {TableId::Staff, "Club in (\"man utd\", 1)", {0, 2}},
        {TableId::Staff, "Club contains \"SAO\"", {2}},
        {TableId::Staff, "Club is none", {1, 3}},
        {TableId::Staff, "Name contains \"jose\"", {0, 2}},
        {TableId::Staff, "Name starts with \"JOS\xC3\x89 M\"", {2}},
        {TableId::Staff, "Name = \"ana muller\"", {1}},
        {TableId::Staff, "Wage between 5001 and 100", {0, 1, 2}},
        {TableId::Staff, "Wage NOT Between 100 And 5000", {2, 3}},
        {TableId::Staff, "Wage in (100, 5001)", {1, 2}},
        {TableId::Staff, "not (Wage >= 100 and Wage <= 5000) and Wage <> 0", {2}},
        {TableId::Staff, "Wage > 1000000", {}},
        {TableId::Staff, "JobForClub = \"chairman\"", {1, 3}},
        {TableId::Staff, "DateOfBirth = \"29/2/1980\"", {0}},
        {TableId::Staff, "DateOfBirth = \"1980-03-01\"", {0}},  // the page stores both alike
        {TableId::Staff, "DateOfBirth between \"1980-12-31\" and \"1/1/1980\"", {0, 2}},
        {TableId::Staff, "Age = 18", {0}},
        {TableId::Staff, "Age < 18", {2}},
        {TableId::Staff, "Id >= 3", {3}},
        {TableId::Clubs, "Name = \"" + full + "\"", {2}},
        {TableId::Clubs, "LongName = \"" + full + "w\"", {}},
        {TableId::Clubs, "LongName contains \"www\" or Name starts with \"s\xC3\xA3o\"", {1, 2}},
        {TableId::Clubs, "PlayerIds[50] = 0 and not PlayerIds is none", {0, 1, 2}},
        {TableId::Players, "CurrentAbility >= 150", {0, 2}},
        {TableId::Players, "CurrentAbility >= 150 and Nation = \"Brazil\"", {0}},
        {TableId::Players, "Club = \"Man Utd\" or Name contains \"MULLER\"", {0, 1}},
        {TableId::Players, "Club is none", {2}},
        {TableId::Players, "Wage > -1", {0, 1}},
        {TableId::Nations, "NationName < \"C\"", {0}},
    };
    for (const auto& c : cases) EXPECT_EQ(run(d, c.table, c.text), c.expected) << c.text;

    // A leap-day birthday comes on 1 March in other years.
    EXPECT_EQ(run(d, TableId::Staff, "Age = 21", *db::parseQueryDate("2001-02-28")), (Ids{}));
    EXPECT_EQ(run(d, TableId::Staff, "Age = 21", *db::parseQueryDate("1/3/2001")), (Ids{0}));
}

TEST(Query, ErrorsNameThePositionAndWhatWasExpected)
{
    const struct {
        TableId table;
        std::string text;
        std::size_t position;
        std::string message;
    } cases[] = {
        {TableId::Staff, "Wage >", 6, "expected a value"},
        {TableId::Staff, "Wagez > 1", 0, "expected a field of staff"},
        {TableId::Staff, "Wage > 1 and", 12, "expected a field name"},
        {TableId::Staff, "(Wage > 1", 9, "expected ')'"},
        {TableId::Staff, "Wage > 1 )", 9, "opens nothing"},
        {TableId::Staff, "Wage > 1 Wage", 9, "expected 'and', 'or'"},
        {TableId::Staff, "Name contains 5", 14, "expected text in double quotes"},
        {TableId::Staff, "Wage = \"x\"", 7, "expected a number"},
        {TableId::Staff, "Name = \"abc", 7, "closing '\"'"},
        {TableId::Staff, "Nation < \"Brazil\"", 7, "expected =, <>, in"},
        {TableId::Staff, "Wage is none", 5, "not a reference"},
        {TableId::Staff, "Wage between 1 or 2", 15, "expected 'and'"},
        {TableId::Staff, "Wage > 99999999999999999999", 7, "smaller number"},
        {TableId::Staff, "DateOfBirth > \"30/13/1980\"", 14, "expected a date"},
        {TableId::Staff, "JobForClub = \"Striker\"", 13, "captions of JobForClub"},
        {TableId::Staff, "Wage ~ 1", 5, "not '~'"},
        {TableId::Staff, "Reserved24 = 1", 11, "raw bytes"},
        {TableId::Clubs, "PlayerIds[51] = 1", 0, "elements 1 to 50"},
        {TableId::Staff, std::string(300, '(') + "Wage > 1", 201, "fewer parentheses"},
    };
    for (const auto& c : cases) {
        try {
            Query::parse(c.table, c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const db::QueryError& e) {
            EXPECT_EQ(e.position(), c.position) << c.text << ": " << e.what();
            EXPECT_NE(e.message().find(c.message), std::string::npos) << c.text << ": " << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("at position " + std::to_string(c.position + 1) + ": ", 0),
                      0u);
        }
    }
}

TEST(Query, SortsBySeveralKeysAndShowsColumns)
{
    const db::Database d = world();
    Ids ids = {0, 1, 2, 3};
    db::sortRecords(d, TableId::Staff, ids, db::parseSort(TableId::Staff, "Club, -Name"));
    EXPECT_EQ(ids, (Ids{1, 0, 2, 3}));  // -1, 0, 1, 5; none sorts by its stored value
    db::sortRecords(d, TableId::Staff, ids, db::parseSort(TableId::Staff, "-Age,Id"));
    EXPECT_EQ(ids, (Ids{3, 1, 0, 2}));
    db::sortRecords(d, TableId::Staff, ids, db::parseSort(TableId::Staff, "-Name"));  // accents folded
    EXPECT_EQ(ids, (Ids{0, 2, 3, 1}));

    const db::ColumnReader reader(d, TableId::Players);
    const auto cols = db::parseColumns(TableId::Players, "Name, Club, Age, CurrentAbility");
    EXPECT_EQ(reader.text(cols[0], 1), "Jos\xE9 M\xFCller");
    EXPECT_EQ(reader.text(cols[1], 1), "S\xE3o Paulo");
    EXPECT_EQ(reader.text(cols[1], 2), "");  // nobody owns it
    EXPECT_EQ(reader.number(cols[2], 0), 18);
    EXPECT_EQ(reader.number(cols[3], 2), 160);
    const db::ColumnReader staff(d, TableId::Staff);
    EXPECT_EQ(staff.text(db::resolveColumn(TableId::Staff, "Nation"), 2), "<none> (-2)");
    EXPECT_THROW(db::parseSort(TableId::Staff, "Wage,,Name"), db::QueryError);

    // Every name a pick list offers is a column the language reads, once.
    for (const std::string& table : db::queryTableNames()) {
        const TableId t = *db::queryTableByName(table);
        const auto names = db::columnNames(t);
        for (const std::string& n : names) {
            EXPECT_NO_THROW(db::resolveColumn(t, n)) << table << " " << n;
            EXPECT_EQ(std::count(names.begin(), names.end(), n), 1) << table << " " << n;
        }
    }
}

// The query and the loop a programmer would write agree on random databases.
TEST(Query, AgreesWithHandWrittenLoops)
{
    for (std::uint64_t seed : {3u, 17u, 42u}) {
        const db::Database d = sample::makeDatabase({0.02, seed});
        const std::string nation = d.nations[2].text(db::NationRecord::NationName);
        Ids expected;
        for (std::size_t i = 0; i < d.staff.size(); ++i) {
            const S& s = d.staff[i];
            const int born = s.get(S::DateOfBirth.year());
            const int age = 1998 - born - (181 < s.get(S::DateOfBirth.dayOfYear()) ? 1 : 0);
            const bool noClub = !db::isValidRef(s.get(S::ClubContractedId), d.clubs.size());
            if (s.get(S::Wage) > 20000 && (s.get(S::NationId) == 2 || age < 25) && !noClub)
                expected.push_back(static_cast<std::int32_t>(i));
        }
        const std::string text =
            "Wage > 20000 and (Nation = \"" + nation + "\" or Age < 25) and not Club is none";
        EXPECT_EQ(run(d, TableId::Staff, text), expected) << seed;

        expected.clear();
        for (std::size_t i = 0; i < d.players.size(); ++i) {
            const auto pa = d.players[i].get(db::PlayerRecord::PotentialAbility);
            if (pa >= 120 && pa <= 150 && d.players[i].get(db::PlayerRecord::Pace) != 10)
                expected.push_back(static_cast<std::int32_t>(i));
        }
        EXPECT_EQ(run(d, TableId::Players, "PotentialAbility between 150 and 120 and not Pace in (10)"),
                  expected);
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <sstream>

#include "SmallDatabase.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/rules/Win1252.h"

namespace {

// A strict RFC 4180 reader: records end in CRLF, quoted fields may hold
// commas, CRLF and doubled quotes.
std::vector<std::vector<std::string>> parseCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            EXPECT_TRUE(field.empty()) << "quote inside an unquoted field";
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r') {
            EXPECT_EQ(text[i + 1], '\n');
            ++i;
            row.push_back(field);
            field.clear();
            rows.push_back(row);
            row.clear();
        } else {
            EXPECT_NE(c, '\n') << "bare LF";
            field += c;
        }
    }
    EXPECT_FALSE(quoted);
    EXPECT_TRUE(row.empty() && field.empty()) << "last record without CRLF";
    return rows;
}

std::string csv(const db::Database& d, const std::string& table)
{
    std::ostringstream out;
    db::writeCsv(*db::exportTable(d, table), out);
    return out.str();
}

std::string column(const std::vector<std::vector<std::string>>& rows, std::size_t row,
                   const std::string& name)
{
    const auto& header = rows.at(0);
    for (std::size_t i = 0; i < header.size(); ++i)
        if (header[i] == name) return rows.at(row + 1).at(i);
    ADD_FAILURE() << "no column " << name;
    return {};
}

TEST(Export, CsvRoundTripsWindows1252NamesWithCommasAndQuotes)
{
    db::Database d = clitest::smallDatabase();
    // Every byte a name can hold except NUL, in one name.
    std::string all;
    for (int b = 1; b < 52; ++b) all += static_cast<char>(b * 5 % 255 + 1);
    d.appendName(db::NameKind::Second, all);
    d.appendName(db::NameKind::Second, "\x80\x8A\x9F\xFF, \"\"\r\n;");

    for (const std::string table : {"first-names", "second-names"}) {
        const auto& names = table == "first-names" ? d.firstNames : d.secondNames;
        const auto rows = parseCsv(csv(d, table));
        ASSERT_EQ(rows.size(), names.size() + 1);
        EXPECT_EQ(rows[0], (std::vector<std::string>{"NameId", "Name", "UsageCount"}));
        for (std::size_t i = 0; i < names.size(); ++i) {
            ASSERT_EQ(rows[i + 1].size(), 3u);
            EXPECT_EQ(db::utf8ToWin1252(rows[i + 1][1]), names[i].text(db::NameRecord::Name)) << i;
        }
    }
    const auto clubs = parseCsv(csv(d, "clubs"));
    EXPECT_EQ(column(clubs, 1, "LongName"), "Comma, \"Quoted\" M\xC3\xBCnchen");
}

TEST(Export, ReferencesAreResolvedAndNoneIsEmpty)
{
    const db::Database d = clitest::smallDatabase();
    const auto clubs = parseCsv(csv(d, "clubs"));
    EXPECT_EQ(column(clubs, 0, "NationId"), "0");
    EXPECT_EQ(column(clubs, 0, "NationId name (read-only)"), "England");
    EXPECT_EQ(column(clubs, 0, "LastDivisionId"), "-2");
    EXPECT_EQ(column(clubs, 0, "LastDivisionId name (read-only)"), "");
    EXPECT_EQ(column(clubs, 0, "ReserveDivisionId name (read-only)"), "");  // the count: none
    EXPECT_EQ(column(clubs, 0, "ChairmanId name (read-only)"), "John Smith");
    EXPECT_EQ(column(clubs, 1, "ManagerId name (read-only)"), "Fran\xC3\xA7ois Smith");
    EXPECT_EQ(column(clubs, 1, "PlayerIds[1]"), "2");
    EXPECT_EQ(column(clubs, 1, "PlayerIds[50] name (read-only)"), "");
    EXPECT_EQ(column(clubs, 0, "HomeForeColourId name (read-only)"), "Claret");

    const auto staff = parseCsv(csv(d, "staff"));
    EXPECT_EQ(column(staff, 1, "Name (read-only)"), "Zo\xC3\xAB O'Neil, \"Jr\"");
    EXPECT_EQ(column(staff, 1, "ClubContractedId name (read-only)"), "Quarn Town");
    EXPECT_EQ(column(staff, 2, "JobForClub caption (read-only)"), "Player Manager");
    EXPECT_EQ(column(staff, 2, "Classification caption (read-only)"), "Non Player and Player");
    EXPECT_EQ(column(staff, 0, "DateOfBirth"), "28/2/1975");
    EXPECT_EQ(column(staff, 0, "SecondNationId name (read-only)"), "");

    // A code is written as its number, so one past its captions survives;
    // its caption column is then empty.
    db::Database odd = clitest::smallDatabase();
    odd.staff[2].set(db::StaffRecord::JobForClub, 200);
    odd.clubs[0].set(db::ClubRecord::Matchday, 9);
    EXPECT_EQ(column(parseCsv(csv(odd, "staff")), 2, "JobForClub"), "200");
    EXPECT_EQ(column(parseCsv(csv(odd, "staff")), 2, "JobForClub caption (read-only)"), "");
    EXPECT_EQ(column(parseCsv(csv(odd, "clubs")), 0, "Matchday caption (read-only)"), "");

    const auto players = parseCsv(csv(d, "players"));
    EXPECT_EQ(column(players, 1, "Owner StaffId (read-only)"), "2");
    EXPECT_EQ(column(players, 1, "Owner name (read-only)"), "Fran\xC3\xA7ois Smith");
    EXPECT_EQ(players[0].size(), 3u + 6u + 54u);

    const auto stadiums = parseCsv(csv(d, "stadiums"));
    EXPECT_EQ(column(stadiums, 0, "CityId name (read-only)"), "Quarnford");
    EXPECT_EQ(column(stadiums, 0, "NearbyStadiumId name (read-only)"), "");
}

TEST(Export, EveryTableHasAHeaderEvenWhenEmpty)
{
    const db::Database full = clitest::smallDatabase();
    const db::Database empty = db::Database::withEmptyIndex();
    for (const std::string& table : db::exportTableNames()) {
        const auto a = db::exportTable(full, table);
        const auto b = db::exportTable(empty, table);
        ASSERT_TRUE(a && b) << table;
        EXPECT_FALSE(a->columns.empty());
        EXPECT_EQ(a->columns, b->columns) << table;
        EXPECT_TRUE(b->rows.empty());
        for (const auto& row : a->rows) EXPECT_EQ(row.size(), a->columns.size()) << table;
    }
    EXPECT_FALSE(db::exportTable(full, "wizard"));
}

TEST(Export, JsonEscapesAndTypesCells)
{
    db::ExportTable t;
    t.columns = {"Id", "Name", "Ref"};
    t.rows.push_back(
        {db::Cell(std::int64_t{-2}), db::Cell(std::string("a\"b\\c\x01\n\xC3\xA9")), db::Cell()});
    std::ostringstream out;
    db::writeJson(t, out);
    EXPECT_EQ(out.str(),
              "[\n  {\"Id\": -2, \"Name\": \"a\\\"b\\\\c\\u0001\\n\xC3\xA9\", \"Ref\": null}\n]\n");

    std::ostringstream none;
    db::writeJson(db::ExportTable{{"Id"}, {}}, none);
    EXPECT_EQ(none.str(), "[]\n");
}

TEST(Export, DatesAsTheStaffPageShowsThem)
{
    EXPECT_EQ(db::formatDate(0, 1975), "1/1/1975");
    EXPECT_EQ(db::formatDate(31, 1900), "1/2/1900");
    EXPECT_EQ(db::formatDate(61, 2000), "31/2/2000");
    EXPECT_EQ(db::formatDate(364, -1), "31/12/-1");
    EXPECT_EQ(db::formatDate(65535, 1), "0/1/1");
    EXPECT_EQ(db::formatDate(40000, 1), "-25535/1/1");
}

}  // namespace

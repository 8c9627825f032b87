#include <gtest/gtest.h>

#include "SmallDatabase.h"
#include "db/editing/NewClub.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/exchange/SpreadsheetImport.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::TableId;

// Every table of `d` written and read back: nothing to change, and every
// table's bytes as they were.
void expectRoundTrip(const db::Database& d)
{
    for (const std::string& name : db::exportTableNames()) {
        const TableId t = *db::sheetTableByName(name);
        const db::ImportPlan plan = db::planImport(d, t, db::exportCsv(d, t));
        ASSERT_TRUE(plan.ok()) << name << ": " << db::faultLine(plan.faults.at(0));
        EXPECT_TRUE(plan.step.empty()) << name;
        EXPECT_EQ(plan.rows, db::tableSize(d, t)) << name;
    }
}

TEST(Spreadsheet, ExportThenImportChangesNothingAtOneTimesScale)
{
    expectRoundTrip(sample::makeDatabase({1.0, 5}));
}

TEST(Spreadsheet, ExportThenImportKeepsTheHiddenCorners)
{
    using C = db::ClubRecord;
    db::Database d = clitest::smallDatabase();
    d.clubs[0].setText(C::LongName, std::string(51, '\xE9'));  // full to its width, no zero byte
    d.clubs[0].bytes[C::ShortName.offset + 3] = 0;             // bytes after the text's end
    d.clubs[0].bytes[C::ShortName.offset + 5] = 'x';
    d.clubs[1].bytes[C::ReservedTail.offset] = 0xAB;  // bytes no field names
    d.clubs[1].set(C::Plc, 1);                        // a flag neither 0 nor 255
    d.clubs[1].set(C::Matchday, 200);                 // a code past its captions
    d.clubs[1].set(C::NationId, 2);                   // the count as none
    d.stadiums[0].bytes[55] = 7;
    d.staff[0].set(db::StaffRecord::DateOfBirth.dayOfYear(), 65535);  // a date no page writes
    d.staff[0].set(db::StaffRecord::DateOfBirth.year(), -5);
    d.staff[1].bytes[db::StaffRecord::DateOfBirth.offset + 5] = 9;        // the date's reserved bytes
    d.appendName(db::NameKind::Second, "\x81\x8D\x8F\x90\x9D \x80\x9F");  // bytes with no Unicode letter
    d.appendName(db::NameKind::First, " Zo\xEB\t ");                      // spaces around it
    expectRoundTrip(d);
}

struct Refusal {
    TableId table;
    std::string csv;
    std::size_t row;
    std::string column;
    std::string says;
};

TEST(Spreadsheet, EveryFaultIsFoundBeforeAnythingChanges)
{
    const std::string longName(52, 'a');
    const std::vector<Refusal> cases = {
        {TableId::Clubs, "ClubId,Cash,Nope\r\n0,1,2\r\n", 1, "Nope", "is no column of Clubs"},
        {TableId::Clubs, "ClubId,Cash,cash\r\n0,1,2\r\n", 1, "cash", "appears twice (columns 2 and 3)"},
        {TableId::Clubs, "Cash\r\n5\r\n", 1, "", "has no ClubId column"},
        {TableId::Clubs, "ClubId,Cash\r\n7,5\r\n", 2, "ClubId", "\"7\" names no record of Clubs (0 to 1)"},
        {TableId::Clubs, "ClubId,Cash\r\n0,5\r\n0,6\r\n", 3, "ClubId", "record 0 is also on row 2"},
        {TableId::Clubs, "ClubId,Cash\r\n0,5.5\r\n", 2, "Cash", "\"5.5\" is not a whole number"},
        {TableId::Clubs, "ClubId,Cash\r\n0,\r\n", 2, "Cash", "is empty"},
        {TableId::Staff, "StaffId,Adaptability\r\n0,256\r\n", 2, "Adaptability",
         "does not fit the field (0 to 255)"},
        {TableId::Staff, "StaffId,DateOfBirth\r\n0,32/1/1980\r\n", 2, "DateOfBirth", "is not a date"},
        {TableId::Staff, "StaffId,JobForClub\r\n0,Wizard\r\n", 2, "JobForClub",
         "is no code of the field (0 to 16"},
        {TableId::Clubs, "ClubId,NationId\r\n0,5\r\n", 2, "NationId",
         "names no record of Nations (0 to 1, or -1"},
        {TableId::Clubs, "ClubId,LongName\r\n0," + longName + "\r\n", 2, "LongName",
         "is 52 characters long; the field holds 51"},
        {TableId::Clubs, "ClubId,LongName\r\n0,Snow \xE2\x98\x83\r\n", 2, "LongName",
         "(U+2603), which Windows-1252 cannot write"},
        {TableId::Clubs, "ClubId,PlayerIds[1]\r\n0,3\r\n", 2, "PlayerIds[1]",
         "change the staff member's club"},
        {TableId::FirstNames, "NameId,UsageCount\r\n0,9\r\n", 2, "UsageCount", "counts the staff members"},
        {TableId::Staff, "StaffId,Classification\r\n0,3\r\n", 2, "Classification", "it cannot be changed"},
        {TableId::Nations, "Id,NationName\r\n0,Atlantis\r\n", 2, "NationName",
         "which File > Save never writes"},
        {TableId::Nations, "Id,NationName\r\n,Atlantis\r\n", 2, "Id", "only clubs and staff can be added"},
        {TableId::Staff, "StaffId,Wage\r\n,5\r\n", 2, "StaffId", "needs his Classification and JobForClub"},
        {TableId::Staff, "StaffId,Classification,JobForClub\r\n,Player,Coach\r\n", 2, "StaffId",
         "Add New gives no one of Classification \"Player\" the job \"Coach\""},
        {TableId::Clubs, "ClubId,Cash\r\n0,1\r\n1,2,3\r\n", 3, "",
         "has a value past the last column (cell 3)"},
        {TableId::Clubs, "ClubId,Cash\r\n0,\"5\r\n", 0, "", "a quote is out of place"},
        {TableId::Clubs, "", 0, "", "no header row"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.csv);
        const db::Database d = clitest::smallDatabase();
        const db::ImportPlan plan = db::planImport(d, c.table, c.csv);
        ASSERT_FALSE(plan.ok());
        ASSERT_EQ(plan.faults.size(), 1u) << db::faultLine(plan.faults[1]);
        EXPECT_EQ(plan.faults[0].row, c.row);
        EXPECT_EQ(plan.faults[0].column, c.column);
        EXPECT_NE(plan.faults[0].message.find(c.says), std::string::npos) << plan.faults[0].message;
        EXPECT_TRUE(plan.step.empty());
    }

    // The first hundred faults are kept, all are counted; -1 and -2 are none.
    std::string many = "ClubId,Cash,NationId\r\n0,1,-1\r\n1,2,-2\r\n";
    for (int k = 0; k < 150; ++k) many += "9,x,0\r\n";
    const db::ImportPlan plan = db::planImport(clitest::smallDatabase(), TableId::Clubs, many);
    EXPECT_EQ(plan.faults.size(), db::kMaxReportedFaults);
    EXPECT_EQ(plan.faultCount, 150u);
    EXPECT_EQ(plan.faults.back().row, 103u);
}

// The text of `raw` after the import of `file` into club 0's LongName.
std::string importedName(const std::string& file)
{
    db::Database d = clitest::smallDatabase();
    const db::ImportPlan plan = db::planImport(d, TableId::Clubs, file);
    if (!plan.ok()) return "fault: " + db::faultLine(plan.faults[0]);
    db::applyImport(d, plan);
    return d.clubs[0].text(db::ClubRecord::LongName);
}

TEST(Spreadsheet, SeparatorsEncodingsAndWhatSpreadsheetProgramsWrite)
{
    const std::string want = "M\xFCnster, \"Alt\"";  // Windows-1252
    const std::vector<std::pair<std::string, std::string>> files = {
        {"comma, UTF-8, LF", "ClubId,LongName,Cash\n0,\"M\xC3\xBCnster, \"\"Alt\"\"\",0\n"},
        {"spaces around the cells", "ClubId , LongName\n 0 ,\"M\xC3\xBCnster, \"\"Alt\"\"\"\n"},
        {"semicolon, mark",
         "\xEF\xBB\xBF"
         "ClubId;LongName;Cash\r\n0;\"M\xC3\xBCnster, \"\"Alt\"\"\";0\r\n"},
        {"tab, Windows-1252", "ClubId\tLongName\r\n0\t\"M\xFCnster, \"\"Alt\"\"\"\r\n"},
        {"everything quoted, a separator line, blank and empty rows",
         "sep=;\r\n\"ClubId\";\"LongName\"\r\n\r\n\"0\";\"M\xC3\xBCnster, \"\"Alt\"\"\"\r\n;\r\n\r\n"},
        {"read-only columns skipped, names in any case",
         "clubid,NationId name (read-only),LONGNAME\r\n0,Nowhere,\"M\xC3\xBCnster, \"\"Alt\"\"\"\r\n"},
    };
    for (const auto& [what, file] : files) EXPECT_EQ(importedName(file), want) << what;
    // A fault's row is the row a spreadsheet shows, blank lines and line
    // breaks inside quoted cells counted as the program counts them.
    const db::ImportPlan plan =
        db::planImport(clitest::smallDatabase(), TableId::Clubs, "ClubId,Cash\r\n\r\n0,1\r\n1,x\r\n");
    ASSERT_EQ(plan.faults.size(), 1u);
    EXPECT_EQ(plan.faults[0].row, 4u);
}

TEST(Spreadsheet, NewRecordsPreviewApplyAndUndo)
{
    const db::Database before = clitest::smallDatabase();
    db::Database d = before;
    const std::string file =
        "\xEF\xBB\xBFStaffId,Classification,JobForClub,Wage,DateOfBirth,ClubContractedId\r\n"
        "0,Non Player,chairman,777,1975-03-01,0\r\n"
        ",Player,Player,1500,12/5/1980,1\r\n";
    const db::ImportPlan plan = db::planImport(d, TableId::Staff, file);
    ASSERT_TRUE(plan.ok()) << db::faultLine(plan.faults.at(0));
    EXPECT_EQ(plan.newRecords, 1u);
    EXPECT_EQ(plan.changedRecords, 1u);
    bool wage = false, added = false;
    for (const db::ChangeText& c : plan.changes) {
        wage = wage || (c.table == "Staff" && c.record == "0" && c.field == "Wage" && c.newValue == "777");
        added = added || (c.table == "Staff" && c.record == "4" && c.field == "(new record)");
    }
    EXPECT_TRUE(wage && added);

    db::ChangeRecorder recorder(d);
    db::touchImport(recorder, plan);
    db::applyImport(d, plan);
    const db::ChangeStep step = recorder.finish(d);
    ASSERT_EQ(d.staff.size(), 5u);
    EXPECT_EQ(d.staff[4].get(db::StaffRecord::Wage), 1500);
    EXPECT_EQ(d.staff[4].get(db::StaffRecord::Classification), 2);
    EXPECT_EQ(d.players.size(), before.players.size() + 1);
    EXPECT_EQ(d.staff[0].get(db::StaffRecord::DateOfBirth.dayOfYear()), 59);
    // His club takes him into a free player slot, as a transfer does.
    const auto& slots = d.clubs[1];
    bool slotted = false;
    for (int k = 0; k < db::ClubRecord::PlayerIds.count; ++k)
        slotted = slotted || slots.id(db::ClubRecord::PlayerIds, k) == 4;
    EXPECT_TRUE(slotted);
    EXPECT_THROW(db::applyImport(d, plan), db::Error);  // not as planned any more

    step.undo(d);
    for (std::size_t k = 0; k < db::kTableCount; ++k)
        EXPECT_EQ(db::tableImage(d, static_cast<TableId>(k)).bytes,
                  db::tableImage(before, static_cast<TableId>(k)).bytes);
}

}  // namespace

namespace {

// Find's results in their order (identifiers outside the table skipped), and
// the records changed since the load.
TEST(Spreadsheet, ChosenRecordsAndRecordsChangedSinceTheLoad)
{
    db::Database d = clitest::smallDatabase();
    const db::DatabaseImage loaded = db::savedTablesImage(d);
    d.clubs[1].set(db::ClubRecord::Cash, 9);
    d.appendClub(db::composeNewClub(d));
    const std::vector<std::int32_t> changed =
        db::changedRecords(db::listChanges(loaded, d, {}), TableId::Clubs);
    EXPECT_EQ(changed, (std::vector<std::int32_t>{1, 2}));

    const db::ExportTable t = db::exportTable(d, TableId::Clubs, db::RecordSelection::only({2, 99, 0, -1}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][0].number, 2);
    EXPECT_EQ(t.rows[1][0].number, 0);
    EXPECT_EQ(db::exportCsv(d, TableId::Clubs, db::RecordSelection::only({})).substr(0, 10),
              "\xEF\xBB\xBF"
              "ClubId,");
}

}  // namespace

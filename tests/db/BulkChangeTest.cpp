// Bulk changes: each operation at the edges of the fields' widths, overflows
// skipped or clamped, the CHANGE texts refused, and a whole change against
// the same edits made one record at a time, with its undo and redo.

#include <gtest/gtest.h>

#include "TestSupport.h"

#include <numeric>

#include "db/editing/BulkChange.h"
#include "db/editing/Transfer.h"
#include "db/query/Query.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::Database;
using db::OverflowPolicy;
using db::TableId;

using testing_db::everything;

Database world()
{
    Database d = Database::withEmptyIndex();
    for (const char* name : {"Alpha", "Beta"}) {
        db::ClubRecord c;
        c.setText(db::ClubRecord::LongName, name);
        d.appendClub(c);
    }
    db::StaffRecord s;
    s.set(db::StaffRecord::ClubContractedId, db::kNoClub);
    d.appendStaff(s, std::nullopt, std::nullopt);
    return d;
}

db::BulkResult change(Database& d, TableId t, const std::vector<std::string>& changes, OverflowPolicy policy,
                      db::BulkPreview* preview = nullptr)
{
    db::BulkPlan plan{t, {}, policy};
    for (const std::string& c : changes) plan.operations.push_back(db::parseBulkOperation(d, t, c));
    const std::vector<std::int32_t> ids = {0};
    const db::BulkEdits edits = db::planBulkChange(d, plan, ids);
    if (preview) *preview = edits.preview;
    return db::applyBulkChange(d, edits);
}

TEST(BulkChange, OperationsAtTheEdgesOfTheirFields)
{
    const std::string longName = "Abcdefghijklmnopqrstuvwxyz0123";  // 30 bytes: fits LongName, not ShortName
    const struct {
        TableId table;
        std::string start;  // sets the value first
        std::string change;
        OverflowPolicy policy;
        const char* field;
        std::string expect;  // as the pages show it afterwards
        std::size_t overflows;
    } cases[] = {
        {TableId::Staff, "InternationalCaps=250", "InternationalCaps+=10", OverflowPolicy::Clamp,
         "InternationalCaps", "255", 1},
        {TableId::Staff, "InternationalCaps=250", "InternationalCaps+=10", OverflowPolicy::Skip,
         "InternationalCaps", "250", 1},
        {TableId::Staff, "InternationalCaps=0", "InternationalCaps-=1", OverflowPolicy::Clamp,
         "InternationalCaps", "0", 1},
        {TableId::Staff, "InternationalCaps=0", "InternationalCaps=255", OverflowPolicy::Skip,
         "InternationalCaps", "255", 0},
        {TableId::Staff, "Wage=15", "Wage*=110%", OverflowPolicy::Skip, "Wage", "17", 0},
        {TableId::Staff, "Wage=-15", "Wage*=110", OverflowPolicy::Skip, "Wage", "-17", 0},
        {TableId::Staff, "Wage=100", "Wage*=92.5%", OverflowPolicy::Skip, "Wage", "93", 0},
        {TableId::Staff, "Wage=101", "Wage*=33.3333%", OverflowPolicy::Skip, "Wage", "34", 0},
        {TableId::Staff, "Wage=2147483647", "Wage+=1", OverflowPolicy::Skip, "Wage", "2147483647", 1},
        {TableId::Staff, "Wage=2147483647", "Wage*=200%", OverflowPolicy::Clamp, "Wage", "2147483647", 1},
        {TableId::Staff, "Wage=-2147483648", "Wage-=1", OverflowPolicy::Clamp, "Wage", "-2147483648", 1},
        {TableId::Staff, "Wage=7000", "Wage=clamp(0, 5000)", OverflowPolicy::Skip, "Wage", "5000", 0},
        {TableId::Staff, "Wage=-3", "Wage=clamp(0,5000)", OverflowPolicy::Skip, "Wage", "0", 0},
        {TableId::Staff, "Wage=300", "InternationalCaps=Wage", OverflowPolicy::Skip, "InternationalCaps", "0",
         1},
        {TableId::Staff, "Wage=200", "InternationalCaps=Wage", OverflowPolicy::Skip, "InternationalCaps",
         "200", 0},
        {TableId::Staff, "FavouriteClubs=\"Alpha\"", "FavouriteClubs[2]=\"Beta\"", OverflowPolicy::Skip,
         "FavouriteClubs", "Alpha", 0},
        {TableId::Staff, "Wage=0", "FavouriteClubs[2]=\"Beta\"", OverflowPolicy::Skip, "FavouriteClubs[2]",
         "Beta", 0},
        {TableId::Staff, "Wage=0", "FavouriteClubs[3]=1", OverflowPolicy::Skip, "FavouriteClubs[3]", "Beta",
         0},
        {TableId::Staff, "Wage=0", "JobForClub=\"Scout\"", OverflowPolicy::Skip, "JobForClub", "Scout", 0},
        {TableId::Staff, "Wage=0", "DateOfBirth=\"15/3/1980\"", OverflowPolicy::Skip, "DateOfBirth",
         "15/3/1980", 0},
        {TableId::Clubs, "Reputation=-32768", "Reputation-=1", OverflowPolicy::Clamp, "Reputation", "-32768",
         1},
        {TableId::Clubs, "Reputation=0", "Reputation=40000", OverflowPolicy::Clamp, "Reputation", "32767", 1},
        {TableId::Clubs, "ShortName=\"\"", "ShortName=\"Say \"\"hi\"\"\"", OverflowPolicy::Skip, "ShortName",
         "Say \"hi\"", 0},
        {TableId::Clubs, "Plc=No", "Plc=Yes", OverflowPolicy::Skip, "Plc", "Yes", 0},
        {TableId::Clubs, "LongName=\"" + longName + "\"", "ShortName=LongName", OverflowPolicy::Skip,
         "ShortName", "", 1},
        {TableId::Clubs, "LongName=\"" + longName + "\"", "ShortName=LongName", OverflowPolicy::Clamp,
         "ShortName", longName.substr(0, 26), 1},
        {TableId::Clubs, "ShortName=\"\"", "ShortName=\"" + longName.substr(0, 26) + "\"",
         OverflowPolicy::Skip, "ShortName", longName.substr(0, 26), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        Database d = world();
        change(d, c.table, {c.start}, OverflowPolicy::Refuse);
        db::BulkPreview preview;
        change(d, c.table, {c.change}, c.policy, &preview);
        EXPECT_EQ(preview.overflows.size(), c.overflows);
        EXPECT_EQ(preview.skipped, c.policy == OverflowPolicy::Skip ? c.overflows : 0);
        const db::Column col = db::resolveColumn(c.table, c.field);
        EXPECT_EQ(db::formatValue(*col.field, std::max(col.element, 0), db::recordData(d, c.table, 0), &d),
                  c.expect);
    }
}

TEST(BulkChange, RefusesWithOneSentence)
{
    const Database d = world();
    const struct {
        TableId table;
        const char* change;
        const char* reason;
    } cases[] = {
        {TableId::Staff, "PlayerId=3", "links the staff member"},
        {TableId::Clubs, "ManagerId=1", "mirrored by each staff member's club"},
        {TableId::Clubs, "PlayerIds[3]=1", "mirrored by each staff member's club"},
        {TableId::Staff, "Name=\"x\"", "Name is made of other fields"},
        {TableId::Staff, "Age+=1", "counted from DateOfBirth"},
        {TableId::Players, "Wage+=1", "belongs to the staff member"},
        {TableId::Staff, "Wage*=1.23456%", "at most 4 decimals"},
        {TableId::Staff, "Wage+=\"5\"", "whole number"},
        {TableId::Staff, "Wage=\"5\"", "is a number"},
        {TableId::Staff, "Wage=Nowhere", "neither a number"},
        {TableId::Staff, "Nope=1", "expected a field"},
        {TableId::Staff, "Wage", "is not a change"},
        {TableId::Staff, "Wage=clamp(5,1)", "lower bound first"},
        {TableId::Staff, "FavouriteClubs[2]=\"Nowhere\"", "names no record of Clubs"},
        {TableId::Staff, "JobForClub+=1", "is not a number"},
        {TableId::Staff, "Wage=DateOfBirth", "different kinds"},
        {TableId::Staff, "Wage=Name", "not a field of the record itself"},
        {TableId::Staff, "Wage=FavouriteClubs", "is a list"},
        {TableId::Clubs, "ShortName=\"open", "closing double quote"},
        {TableId::Clubs, "ShortName=\"a\"b\"", "write a quote inside it twice"},
    };
    for (const auto& c : cases) {
        std::string why;
        try {
            db::parseBulkOperation(d, c.table, c.change);
        } catch (const db::Error& e) {
            why = e.what();
        }
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.change << ": " << why;
    }
}

TEST(BulkChange, CaptionsNameEachOperation)
{
    const Database d = world();
    db::BulkPlan plan{TableId::Staff, {}, OverflowPolicy::Skip};
    for (const char* c : {"Wage*=110%", "Value-=500", "Adaptability=clamp(1,20)", "Loyalty=Ambition",
                          "FavouriteClubs[1]=\"Beta\""})
        plan.operations.push_back(db::parseBulkOperation(d, TableId::Staff, c));
    EXPECT_EQ(db::bulkCaption(d, plan, 3412),
              "Change All: Wage \xD7 110%, Value - 500, Adaptability clamp 1..20, Loyalty = Ambition, "
              "FavouriteClubs[1] = \"Beta\" (3,412 staff)");
    plan.table = TableId::Clubs;
    plan.operations = {db::parseBulkOperation(d, TableId::Clubs, "Cash=1000")};
    EXPECT_EQ(db::bulkCaption(d, plan, 1), "Change All: Cash = 1000 (1 club)");
}

// Moving every staff member to one club fills its places in table order; a
// raise on top. The whole change equals the same change made one record at a
// time, the preview changes nothing and says what apply does, undo gives back
// every byte and redo every byte again.
TEST(BulkChange, WholeChangeEqualsRecordByRecordAndUndoes)
{
    Database bulk = sample::makeDatabase({0.01, 5});
    Database single = bulk;
    const auto before = everything(bulk);
    std::vector<std::int32_t> ids(bulk.staff.size());
    std::iota(ids.rbegin(), ids.rend(), 0);  // any order: taken in table order
    const std::string club = "ClubContractedId=" + std::to_string(bulk.clubs.size() / 2);
    db::BulkPlan plan{TableId::Staff, {}, OverflowPolicy::Skip};
    for (const std::string& c : {std::string("Wage*=110%"), club, std::string("SecondNameId=3")})
        plan.operations.push_back(db::parseBulkOperation(bulk, TableId::Staff, c));

    const db::BulkEdits edits = db::planBulkChange(bulk, plan, ids);
    EXPECT_EQ(everything(bulk), before);
    EXPECT_EQ(edits.preview.sample.size(), db::kBulkSampleSize);
    EXPECT_FALSE(edits.preview.unchanged.empty());  // the club is full after a while
    db::ChangeRecorder recorder(bulk);
    db::touchForBulk(recorder, bulk, edits);
    const db::BulkResult result = db::applyBulkChange(bulk, edits);
    const db::ChangeStep step = recorder.finish(bulk);
    EXPECT_EQ(result.changed, edits.preview.changed);
    EXPECT_TRUE(result.unchanged.empty());

    for (std::int32_t id = 0; id < static_cast<std::int32_t>(single.staff.size()); ++id) {
        const std::vector<std::int32_t> one = {id};
        db::applyBulkChange(single, db::planBulkChange(single, plan, one));
    }
    const auto after = everything(bulk);
    EXPECT_EQ(after, everything(single));

    step.undo(bulk);
    EXPECT_EQ(everything(bulk), before);
    step.redo(bulk);
    EXPECT_EQ(everything(bulk), after);
}

TEST(BulkChange, RefusePolicyChangesNothingWhenAValueDoesNotFit)
{
    Database d = world();
    const auto before = everything(d);
    std::string why;
    try {
        change(d, TableId::Staff, {"Wage=5", "InternationalCaps-=1"}, OverflowPolicy::Refuse);
    } catch (const db::Error& e) {
        why = e.what();
    }
    EXPECT_NE(why.find("1 value does not fit the field (#0 InternationalCaps -1)"), std::string::npos) << why;
    EXPECT_EQ(everything(d), before);
}

}  // namespace

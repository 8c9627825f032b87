// One field of one record changed as the windows change it: plain stores, the
// mirrored fields (club, job, names) and the refused ones.

#include <gtest/gtest.h>

#include "TestSupport.h"

#include <functional>

#include "db/editing/FieldChange.h"

namespace {

using db::ClubRecord;
using db::Database;
using db::StaffRecord;
using db::TableId;

using testing_db::everything;

ClubRecord emptyClub(const char* name)
{
    ClubRecord c;
    c.setText(ClubRecord::LongName, name);
    for (db::I32Field f : {ClubRecord::ChairmanId, ClubRecord::ManagerId, ClubRecord::AssistantManagerId})
        c.set(f, -1);
    for (db::IdListField f : {ClubRecord::DirectorIds, ClubRecord::PlayerIds, ClubRecord::CoachIds,
                              ClubRecord::ScoutIds, ClubRecord::PhysioIds})
        c.fillIds(f, -1);
    return c;
}

// Club 0 "Alpha": free; club 1 "Beta": manager taken, one free player place
// (the last). Staff 0: a player at Alpha (player slot 1), Ann Cole; staff 1:
// a non-player, Alpha's manager; staff 2: a non-player whose club is -1.
// First name 1 "Bob" is used 255 times.
Database world()
{
    Database d = Database::withEmptyIndex();
    ClubRecord beta = emptyClub("Beta");
    beta.fillIds(ClubRecord::PlayerIds, 77);
    beta.setId(ClubRecord::PlayerIds, ClubRecord::PlayerIds.count - 1, -1);
    beta.set(ClubRecord::ManagerId, 77);
    ClubRecord alpha = emptyClub("Alpha");
    alpha.setId(ClubRecord::PlayerIds, 0, 0);
    alpha.set(ClubRecord::ManagerId, 1);
    d.appendClub(alpha);
    d.appendClub(beta);
    for (const char* n : {"Ann", "Bob"}) d.appendName(db::NameKind::First, n);
    for (const char* n : {"Cole", "Dunn"}) d.appendName(db::NameKind::Second, n);
    d.firstNames[0].set(db::NameRecord::UsageCount, 1);
    d.firstNames[1].set(db::NameRecord::UsageCount, 255);
    for (int k = 0; k < 3; ++k) {
        StaffRecord s;
        s.set(StaffRecord::ClubContractedId, k == 2 ? -1 : 0);
        s.set(StaffRecord::JobForClub, k == 0 ? db::Job::Player : 5);
        s.set(StaffRecord::Classification,
              k == 0 ? db::Classification::Player : db::Classification::NonPlayer);
        s.displayName = d.buildDisplayName(s);
        if (k == 0)
            d.appendStaff(s, std::nullopt, db::PlayerRecord{});
        else
            d.appendStaff(s, db::NonPlayerRecord{}, std::nullopt);
    }
    return d;
}

db::FieldEdit edit(TableId t, const char* field, std::int32_t id, std::int64_t value)
{
    db::FieldEdit e{id, db::findField(t, field), 0, {}};
    for (int i = 0; i < e.field->width; ++i) e.bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return e;
}

TEST(FieldChange, RefusesFieldsOthersMirror)
{
    const struct {
        TableId table;
        const char* field;
        bool refused;
    } cases[] = {
        {TableId::Clubs, "ManagerId", true},       {TableId::Clubs, "PlayerIds", true},
        {TableId::Clubs, "ClubId", true},          {TableId::Clubs, "ReservedTail", true},
        {TableId::Staff, "PlayerId", true},        {TableId::Staff, "Classification", true},
        {TableId::FirstNames, "UsageCount", true}, {TableId::FirstNames, "Name", true},
        {TableId::Index, "RecordCount", true},     {TableId::Nations, "NationName", true},
        {TableId::Staff, "Wage", false},           {TableId::Staff, "ClubContractedId", false},
        {TableId::Clubs, "FavouriteStaff", false}, {TableId::Players, "Pace", false},
    };
    for (const auto& c : cases) {
        const std::string why = db::bulkRefusal(c.table, *db::findField(c.table, c.field));
        EXPECT_EQ(!why.empty(), c.refused) << c.field;
        if (c.refused) {
            EXPECT_NE(why.find(c.field), std::string::npos) << why;
        }
    }
}

TEST(FieldChange, MirroredFieldsMoveTheirMirrorsAndUndoWhole)
{
    using Check = std::function<void(const Database&)>;
    const struct {
        const char* name;
        db::FieldEdit edit;
        const char* refusal;  // part of the reason, "" for success
        Check check;
    } cases[] = {
        {"plain store", edit(TableId::Staff, "Wage", 0, 5000), "",
         [](const Database& d) { EXPECT_EQ(d.staff[0].get(StaffRecord::Wage), 5000); }},
        {"transfer to the last free place", edit(TableId::Staff, "ClubContractedId", 0, 1), "",
         [](const Database& d) {
             EXPECT_EQ(d.clubs[0].id(ClubRecord::PlayerIds, 0), -1);
             EXPECT_EQ(d.clubs[1].id(ClubRecord::PlayerIds, ClubRecord::PlayerIds.count - 1), 0);
             EXPECT_EQ(d.staff[0].get(StaffRecord::JobForClub), db::Job::Player);
         }},
        {"manager to a club with one",
         edit(TableId::Staff, "ClubContractedId", 1, 1),
         "Beta has no free place",
         {}},
        {"free transfer", edit(TableId::Staff, "ClubContractedId", 1, -2), "",
         [](const Database& d) { EXPECT_EQ(d.clubs[0].get(ClubRecord::ManagerId), -1); }},
        {"-1 to no club", edit(TableId::Staff, "ClubContractedId", 2, -2), "",
         [](const Database& d) { EXPECT_EQ(d.staff[2].get(StaffRecord::ClubContractedId), -2); }},
        {"no club but not none", edit(TableId::Staff, "ClubContractedId", 0, -1), "names no club", {}},
        {"manager to coach", edit(TableId::Staff, "JobForClub", 1, 8), "",
         [](const Database& d) {
             EXPECT_EQ(d.clubs[0].get(ClubRecord::ManagerId), -1);
             EXPECT_EQ(d.clubs[0].id(ClubRecord::CoachIds, 0), 1);
         }},
        {"player to player manager", edit(TableId::Staff, "JobForClub", 0, 12), "no free place", {}},
        {"non-player to a playing job", edit(TableId::Staff, "JobForClub", 1, 11), "no player record", {}},
        {"a job without a place", edit(TableId::Staff, "JobForClub", 0, 0), "holds no place", {}},
        {"first name, count wraps", edit(TableId::Staff, "FirstNameId", 0, 1), "",
         [](const Database& d) {
             EXPECT_EQ(d.firstNames[0].get(db::NameRecord::UsageCount), 0);
             EXPECT_EQ(d.firstNames[1].get(db::NameRecord::UsageCount), 0);
             EXPECT_EQ(d.staff[0].displayName, "Bob Cole");
         }},
        {"name that is none",
         edit(TableId::Staff, "SecondNameId", 0, -2),
         "names no record of Second names",
         {}},
        {"refused field",
         edit(TableId::Clubs, "ManagerId", 0, 5),
         "mirrored by each staff member's club",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Database d = world();
        const auto before = everything(d);
        db::ChangeRecorder r(d);
        const TableId t =
            c.edit.field == db::findField(TableId::Clubs, "ManagerId") ? TableId::Clubs : TableId::Staff;
        db::touchForEdit(r, d, t, c.edit);
        const std::string why = db::applyFieldEdit(d, t, c.edit);
        const db::ChangeStep step = r.finish(d);
        if (*c.refusal) {
            EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
            EXPECT_EQ(everything(d), before);
            continue;
        }
        ASSERT_EQ(why, "");
        c.check(d);
        step.undo(d);
        EXPECT_EQ(everything(d), before);
    }
}

}  // namespace

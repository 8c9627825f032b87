// Undo and redo of every kind of editing step, and the list of changes
// against the loaded bytes.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

#include "db/editing/ChangeList.h"
#include "db/editing/ChangeStep.h"
#include "db/editing/NewClub.h"
#include "db/editing/NewStaff.h"
#include "db/editing/Transfer.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::ChangeRecorder;
using db::ChangeStep;
using db::Database;
using db::TableId;

// Every byte of every table and index entry, the display names and the sizes.
std::vector<std::uint8_t> everything(const Database& d)
{
    std::vector<std::uint8_t> out;
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const db::TableImage img = db::tableImage(d, static_cast<TableId>(k));
        out.push_back(static_cast<std::uint8_t>(img.count));
        out.insert(out.end(), img.bytes.begin(), img.bytes.end());
        for (const std::string& n : img.displayNames) out.insert(out.end(), n.begin(), n.end() + 1);
    }
    return out;
}

Database world()
{
    Database d = sample::makeDatabase({0.01, 5});
    db::WizardTemplate t;
    for (std::size_t n = 62; n < t.Size; ++n) t.bytes[n] = 10;
    d.wizardTemplates.push_back(t);
    return d;
}

// One editing step as the windows perform it: what they touch, then the change.
struct StepKind {
    const char* name;
    std::function<void(Database&, ChangeRecorder&)> run;
};

int firstPlayer(const Database& d)
{
    for (std::size_t i = 0; i < d.staff.size(); ++i)
        if (db::isValidRef(d.staff[i].get(db::StaffRecord::PlayerId), d.players.size()) &&
            db::isValidRef(d.staff[i].get(db::StaffRecord::ClubContractedId), d.clubs.size()))
            return static_cast<int>(i);
    return -1;
}

// A newcomer counts one more user of name 0 of each list.
void touchNewcomerNames(ChangeRecorder& r)
{
    for (TableId t : {TableId::FirstNames, TableId::SecondNames, TableId::CommonNames}) r.touch(t, 0);
}

const std::vector<StepKind>& kinds()
{
    static const std::vector<StepKind> all = {
        {"club confirm",
         [](Database& d, ChangeRecorder& r) {
             r.touch(TableId::Clubs, 1);
             r.touch(TableId::Stadiums, 0);
             d.clubs[1].setText(db::ClubRecord::LongName, "Renamed");
             d.clubs[1].set(db::ClubRecord::StadiumId, 0);
             d.stadiums[0].set(db::StadiumRecord::Capacity, 123456);
         }},
        {"staff confirm",
         [](Database& d, ChangeRecorder& r) {
             auto& s = d.staff[static_cast<std::size_t>(firstPlayer(d))];
             const auto oldName = s.get(db::StaffRecord::FirstNameId);
             r.touch(TableId::Staff, firstPlayer(d));
             r.touch(TableId::Players, s.get(db::StaffRecord::PlayerId));
             r.touch(TableId::FirstNames, oldName);
             r.touch(TableId::FirstNames, 0);
             s.set(db::StaffRecord::FirstNameId, 0);
             auto& chosen = d.firstNames[0];
             chosen.set(db::NameRecord::UsageCount, chosen.get(db::NameRecord::UsageCount) + 1);
             s.displayName = d.buildDisplayName(s);
             d.players[static_cast<std::size_t>(s.get(db::StaffRecord::PlayerId))].set(db::PlayerRecord::Pace,
                                                                                       99);
         }},
        {"transfer",
         [](Database& d, ChangeRecorder& r) {
             const int id = firstPlayer(d);
             const auto from = d.staff[static_cast<std::size_t>(id)].get(db::StaffRecord::ClubContractedId);
             r.touch(TableId::Staff, id);
             r.touch(TableId::Clubs, from);
             const auto notices = db::transferStaff(d, {id, from, db::kNoClub, db::Job::Player});
             ASSERT_FALSE(notices.empty());
         }},
        {"new name", [](Database& d, ChangeRecorder&) { d.appendName(db::NameKind::Second, "Zebedee"); }},
        {"new club", [](Database& d, ChangeRecorder&) { d.appendClub(db::composeNewClub(d)); }},
        {"new staff",
         [](Database& d, ChangeRecorder& r) {
             touchNewcomerNames(r);
             db::addNewStaff(d, db::Classification::NonPlayerAndPlayer, 15);
         }},
        {"wizard player",
         [](Database& d, ChangeRecorder& r) {
             touchNewcomerNames(r);
             db::addWizardPlayer(d, d.wizardTemplates[0], [] { return 3; });
         }},
    };
    return all;
}

TEST(ChangeStepTest, UndoThenRedoOfEachKindGivesTheBytesBackExactly)
{
    for (const StepKind& kind : kinds()) {
        for (const bool whole : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (whole ? " (whole tables)" : ""));
            Database d = world();
            const auto before = everything(d);
            ChangeRecorder recorder(d);
            if (whole) recorder.touchAll();
            kind.run(d, recorder);
            const auto after = everything(d);
            ASSERT_NE(before, after);
            const ChangeStep step = recorder.finish(d);
            ASSERT_FALSE(step.empty());

            step.undo(d);
            EXPECT_EQ(everything(d), before);
            EXPECT_FALSE(step.canUndo(d));
            step.redo(d);
            EXPECT_EQ(everything(d), after);
        }
    }
}

TEST(ChangeStepTest, AppendsTakeTheirIndexEntriesWithThem)
{
    Database d = world();
    const auto playerOffset = d.entry(db::Entry::Players).get(db::IndexEntry::TableOffset);
    const auto staffCount = d.entry(db::Entry::Staff).get(db::IndexEntry::RecordCount);
    ChangeRecorder recorder(d);
    db::addNewStaff(d, db::Classification::NonPlayerAndPlayer, 15);
    const ChangeStep step = recorder.finish(d);
    step.undo(d);
    EXPECT_EQ(d.entry(db::Entry::Players).get(db::IndexEntry::TableOffset), playerOffset);
    EXPECT_EQ(d.entry(db::Entry::Staff).get(db::IndexEntry::RecordCount), staffCount);
    EXPECT_EQ(d.staff.size(), static_cast<std::size_t>(staffCount));
}

TEST(ChangeStepTest, AStepRefusesToOverwriteChangesItDoesNotKnow)
{
    Database d = world();
    ChangeRecorder recorder(d);
    recorder.touch(TableId::Clubs, 0);
    d.clubs[0].set(db::ClubRecord::Cash, 5);
    const ChangeStep step = recorder.finish(d);
    d.clubs[0].set(db::ClubRecord::Cash, 6);  // a change no step recorded
    const auto now = everything(d);
    EXPECT_THROW(step.undo(d), db::Error);
    EXPECT_EQ(everything(d), now);

    Database e = world();
    ChangeRecorder grow(e);
    e.appendClub(db::composeNewClub(e));
    const ChangeStep added = grow.finish(e);
    added.undo(e);
    e.appendClub(db::composeNewClub(e));  // something else took the place
    EXPECT_THROW(added.redo(e), db::Error);
}

// The field-by-field difference, independently of the list's own walk.
std::size_t differingFields(const db::DatabaseImage& loaded, const Database& now)
{
    std::size_t n = 0;
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        if (!db::isSavedTable(t)) continue;
        const db::TableImage& before = loaded.table(t);
        const db::TableImage after = db::tableImage(now, t);
        n += after.count - before.count;  // appended records, one line each
        for (std::size_t i = 0; i < before.count; ++i)
            for (const db::FieldInfo& f : db::fieldsOf(t))
                for (int e = 0; e < f.count; ++e) {
                    const std::size_t off = f.offset + static_cast<std::size_t>(f.width) * e;
                    n += std::memcmp(before.record(i) + off, after.record(i) + off, f.width) != 0;
                }
    }
    return n;
}

TEST(ChangeStepTest, TheListOfChangesFollowsEverySequenceAndItsUndo)
{
    Database d = world();
    const db::DatabaseImage loaded = db::savedTablesImage(d);
    const auto loadedBytes = everything(d);
    std::vector<ChangeStep> steps;
    std::vector<std::vector<std::uint8_t>> states{loadedBytes};
    for (const StepKind& kind : kinds()) {
        ChangeRecorder recorder(d);
        kind.run(d, recorder);
        steps.push_back(recorder.finish(d));
        states.push_back(everything(d));
    }
    std::vector<const ChangeStep*> applied;
    for (const ChangeStep& s : steps) applied.push_back(&s);
    const auto all = db::listChanges(loaded, d, applied);
    EXPECT_EQ(all.size(), differingFields(loaded, d));

    // In the order made: the club confirm's rename comes first, the wizard
    // player's record last.
    const db::RecordNamer namer(d);
    const db::ChangeText first = db::describeChange(all.front(), loaded, d, namer);
    EXPECT_EQ(first.table, "Clubs");
    EXPECT_EQ(first.field, "LongName");
    EXPECT_EQ(first.newValue, "Renamed");
    EXPECT_EQ(all.back().table, TableId::Players);
    EXPECT_TRUE(all.back().appended);

    // Undo everything: each undo gives the state before its step, and the list
    // empties.
    for (std::size_t k = steps.size(); k-- > 0;) {
        steps[k].undo(d);
        applied.pop_back();
        EXPECT_EQ(everything(d), states[k]);
        EXPECT_EQ(db::listChanges(loaded, d, applied).size(), differingFields(loaded, d));
    }
    EXPECT_TRUE(db::listChanges(loaded, d, applied).empty());
    for (std::size_t k = 0; k < steps.size(); ++k) {
        steps[k].redo(d);
        EXPECT_EQ(everything(d), states[k + 1]);
    }
}

TEST(ChangeStepTest, ValuesReadTheWayThePagesShowThem)
{
    Database d = world();
    const db::DatabaseImage loaded = db::savedTablesImage(d);
    const int id = firstPlayer(d);
    auto& s = d.staff[static_cast<std::size_t>(id)];
    const auto club = s.get(db::StaffRecord::ClubContractedId);
    s.set(db::StaffRecord::DateOfBirth.dayOfYear(), 31);
    s.set(db::StaffRecord::DateOfBirth.year(), 1970);
    s.set(db::StaffRecord::ClubContractedId, -2);
    s.set(db::StaffRecord::JobForClub, 5);
    ASSERT_NE(s.id(db::StaffRecord::FavouriteClubs, 2), club);
    s.setId(db::StaffRecord::FavouriteClubs, 2, club);
    const db::RecordNamer namer(d);
    std::map<std::string, std::pair<std::string, std::string>> seen;
    for (const auto& e : db::listChanges(loaded, d, {})) {
        const db::ChangeText t = db::describeChange(e, loaded, d, namer);
        EXPECT_EQ(t.name, s.displayName);
        seen[t.field] = {t.oldValue, t.newValue};
    }
    const std::string clubName = d.clubs[static_cast<std::size_t>(club)].text(db::ClubRecord::LongName);
    EXPECT_EQ(seen["DateOfBirth"].second, "1/2/1970");
    EXPECT_EQ(seen["ClubContractedId"], std::make_pair(clubName, std::string("<none> (-2)")));
    EXPECT_EQ(seen["JobForClub"].second, "Manager");
    EXPECT_EQ(seen["FavouriteClubs[3]"].second, clubName);

    const std::string csv = db::changesCsv({{"Clubs", "1", "Caf\xE9, \"Bar\"", "LongName", "a", "b"}});
    EXPECT_EQ(csv,
              "Table,Record,Name,Field,Old value,New value\r\n"
              "Clubs,1,\"Caf\xC3\xA9, \"\"Bar\"\"\",LongName,a,b\r\n");
}

TEST(FieldCatalogTest, FieldsStayInsideTheirRecordsAndNeverOverlap)
{
    Database d = Database::withEmptyIndex();
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        SCOPED_TRACE(std::string(db::tableName(t)));
        const std::size_t size = db::tableImage(d, t).recordSize;
        std::size_t end = 0;
        for (const db::FieldInfo& f : db::fieldsOf(t)) {
            EXPECT_GE(f.offset, end) << f.name;
            end = f.end();
        }
        EXPECT_LE(end, size);
    }
}

}  // namespace

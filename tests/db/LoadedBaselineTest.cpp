// The list of changes without a copy of the loaded tables: the same list as
// against a full copy, and a write that no step made is found.

#include <gtest/gtest.h>

#include <random>

#include "db/editing/ChangeList.h"
#include "db/editing/LoadedBaseline.h"
#include "db/editing/NewClub.h"
#include "db/format/FieldCatalog.h"
#include "tools/sample/SampleDb.h"

namespace {

using db::TableId;

// Changes random bytes of random saved records, or appends a club, as one step.
db::ChangeStep randomStep(db::Database& d, std::mt19937& rng)
{
    db::ChangeRecorder recorder(d);
    if (rng() % 5 == 0) {
        d.appendClub(db::composeNewClub(d));
        return recorder.finish(d);
    }
    for (int n = 1 + static_cast<int>(rng() % 3); n-- > 0;) {
        const auto t = static_cast<TableId>(1 + rng() % (db::kTableCount - 1));
        const std::size_t size = db::tableSize(d, t);
        if (!db::isSavedTable(t) || size == 0) continue;
        const std::size_t i = rng() % size;
        recorder.touch(t, static_cast<std::int64_t>(i));
        db::recordData(d, t, i)[rng() % db::tableLayout(t).recordSize] = static_cast<std::uint8_t>(rng());
    }
    return recorder.finish(d);
}

std::vector<std::string> texts(const std::vector<db::ChangeEntry>& entries, const auto& loaded,
                               const db::Database& d)
{
    const db::RecordNamer namer(d);
    std::vector<std::string> out;
    for (const db::ChangeEntry& e : entries) {
        const db::ChangeText t = db::describeChange(e, loaded, d, namer);
        out.push_back(t.table + '|' + t.record + '|' + t.field + '|' + t.oldValue + '|' + t.newValue);
    }
    return out;
}

TEST(LoadedBaselineTest, GivesTheListAFullCopyGivesOnRandomStepsAndUndos)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        db::Database d = sample::makeDatabase({0.01, seed});
        const db::DatabaseImage copy = db::savedTablesImage(d);
        const db::LoadedFingerprints fingerprints = db::fingerprintTables(d);
        std::mt19937 rng(seed);
        std::vector<db::ChangeStep> steps;
        steps.reserve(64);
        std::vector<const db::ChangeStep*> applied;
        for (int k = 0; k < 40; ++k) {
            if (!applied.empty() && rng() % 4 == 0) {
                applied.back()->undo(d);
                applied.pop_back();
                continue;
            }
            steps.push_back(randomStep(d, rng));
            // Pointers into `steps` stay valid: room was reserved.
            applied.push_back(&steps.back());
        }
        const db::LoadedBaseline base(fingerprints, d, applied);
        EXPECT_TRUE(base.unexplained().empty());
        const auto fromCopy = db::listChanges(copy, d, applied);
        const auto fromSteps = db::listChanges(base, d, applied);
        EXPECT_EQ(fromSteps, fromCopy);
        EXPECT_EQ(texts(fromSteps, base, d), texts(fromCopy, copy, d));
    }
}

TEST(LoadedBaselineTest, AWriteNoStepMadeIsFoundAndReadBack)
{
    db::Database d = sample::makeDatabase({0.01, 4});
    const db::DatabaseImage copy = db::savedTablesImage(d);
    const db::LoadedFingerprints fingerprints = db::fingerprintTables(d);
    std::mt19937 rng(9);
    const db::ChangeStep step = randomStep(d, rng);
    const std::vector<const db::ChangeStep*> applied{&step};
    // Behind the history's back: a wage in the middle of the staff table.
    const std::size_t victim = d.staff.size() / 2;
    d.staff[victim].set(db::StaffRecord::Wage, d.staff[victim].get(db::StaffRecord::Wage) + 1);

    const db::LoadedBaseline blind(fingerprints, d, applied);
    ASSERT_EQ(blind.unexplained().size(), 1u);
    const db::UnexplainedBlock& u = blind.unexplained()[0];
    EXPECT_EQ(u.table, TableId::Staff);
    EXPECT_TRUE(u.first <= victim && victim < u.first + u.count);
    const auto listed = db::listChanges(blind, d, applied);
    ASSERT_FALSE(listed.empty());
    EXPECT_TRUE(listed.back().unexplained);

    // With the loaded bytes read back, the list is exactly that of a full copy.
    auto reader = [&](TableId t, std::size_t first, std::size_t count, std::vector<std::uint8_t>& out) {
        const db::TableImage& img = copy.table(t);
        out.assign(img.record(first), img.record(first) + count * img.recordSize);
        return true;
    };
    const db::LoadedBaseline seeing(fingerprints, d, applied, reader);
    EXPECT_EQ(db::listChanges(seeing, d, applied), db::listChanges(copy, d, applied));
}

}  // namespace

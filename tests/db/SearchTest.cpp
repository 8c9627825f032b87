// The staff search scans a folded copy of the display names; whatever
// changed the names since, it must find what a look at every name finds.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "db/query/Search.h"
#include "db/rules/DisplayNames.h"
#include "db/rules/TextRules.h"
#include "tools/sample/SampleDb.h"

namespace {

std::vector<std::int32_t> everyName(const db::Database& d, std::string_view raw)
{
    std::vector<std::int32_t> found;
    const std::size_t n = db::listedCount(d, db::Entry::Staff, d.staff.size());
    for (std::size_t i = 0; i < n; ++i)
        if (db::containsFolded(d.staff[i].displayName, db::upperAscii(raw)))
            found.push_back(static_cast<std::int32_t>(i));
    return found;
}

TEST(StaffSearch, FollowsEveryChangeOfTheNames)
{
    db::Database d = sample::makeDatabase({0.05, 7});
    const std::vector<std::string> needles = {"a", "son", "ZQX", "q x", std::string("a\0b", 3), "\xE9"};
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"none", [] {}},
        {"renamed", [&] { d.staff[5].displayName = "Zqx Q X\xE9"; }},
        {"emptied", [&] { d.staff[3].displayName = db::DisplayName(); }},
        {"moved in",
         [&] {
             auto copy = d.staff;
             copy[0].displayName = "zqx";
             d.staff = std::move(copy);
         }},
        {"appended",
         [&] {
             db::StaffRecord s = d.staff[1];
             s.displayName = "Anna Zqx";
             d.staff.push_back(s);
             d.entry(db::Entry::Staff)
                 .set(db::IndexEntry::RecordCount, static_cast<std::int32_t>(d.staff.size()));
         }},
        {"fewer listed", [&] { d.entry(db::Entry::Staff).set(db::IndexEntry::RecordCount, 10); }},
        {"made by a maker",
         [&] {
             d.entry(db::Entry::Staff)
                 .set(db::IndexEntry::RecordCount, static_cast<std::int32_t>(d.staff.size()));
             db::DisplayNameMaker maker(d);
             for (db::StaffRecord& s : d.staff) s.set(db::StaffRecord::FirstNameId, 0);
             maker.set(d.staff.data(), 0, d.staff.size());
             EXPECT_EQ(db::searchStaff(d, "a"), everyName(d, "a"));  // while the maker still sets names
         }},
        {"cleared and regrown",
         [&] {
             const std::size_t n = d.staff.size();
             d.staff.clear();
             d.staff.resize(n);
         }},
    };
    for (const auto& [what, change] : changes) {
        change();
        for (const std::string& needle : needles)
            EXPECT_EQ(db::searchStaff(d, needle), everyName(d, needle)) << what << ": " << needle;
    }
}

}  // namespace

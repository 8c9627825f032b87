// The display name a staff record carries: a heap block of its own, or an
// entry in a block shared with other names, which copies, moves,
// reassignments and the order names go in must not mix up.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "db/rules/DisplayName.h"
#include "db/rules/DisplayNames.h"

namespace {

TEST(DisplayName, KeepsTextAcrossCopyMoveAndReassignment)
{
    // Empty, short, the longest a display name can be, and past what a
    // shared block takes; each made on its own and by a pool already gone.
    for (const bool pooled : {false, true}) {
        for (const std::size_t n : {0u, 1u, 23u, 100u, 254u, 255u, 300u}) {
            const std::string text(n, 'x');
            for (const std::size_t m : {0u, 5u, 24u, 60u}) {
                const std::string other(m, 'y');
                db::DisplayName a(pooled ? "" : text);
                if (pooled) db::DisplayNamePool().assign(a, text);
                db::DisplayName b(a);
                EXPECT_EQ(b, text) << n;
                db::DisplayName c(std::move(b));
                EXPECT_EQ(c, text) << n;
                EXPECT_TRUE(b.empty());
                c = other;  // reuses or gives up whatever c held
                EXPECT_EQ(c, other) << n << "/" << m;
                c = a;
                EXPECT_EQ(c, text) << n << "/" << m;
                c = c.view().substr(n / 2);  // text taken from itself
                EXPECT_EQ(c, text.substr(n / 2)) << n;
                c = std::move(a);
                EXPECT_EQ(c, text);
            }
        }
    }
}

TEST(DisplayName, ASharedBlockLastsAsLongAsItsLastName)
{
    // Enough names for several blocks, some given text from their own entry.
    std::vector<db::DisplayName> names(4000);
    auto textOf = [](std::size_t i) { return std::string(20 + i % 60, static_cast<char>('a' + i % 26)); };
    {
        db::DisplayNamePool pool;
        for (std::size_t i = 0; i < names.size(); ++i) pool.assign(names[i], textOf(i));
        for (std::size_t i = 0; i < names.size(); i += 7) pool.assign(names[i], names[i].view().substr(1));
    }
    // Names go one by one, in an order that crosses blocks, while the rest must keep their text.
    for (std::size_t step : {3u, 2u, 1u}) {
        for (std::size_t i = 0; i < names.size(); i += step) {
            if (names[i].empty()) continue;
            names[i] = db::DisplayName();
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i].empty()) continue;
            const std::string want = textOf(i);
            EXPECT_EQ(names[i], i % 7 == 0 ? want.substr(1) : want) << i;
        }
    }
}

TEST(DisplayName, LoaderMakesTheSameNamesAsTheRule)
{
    db::Database d = db::Database::withEmptyIndex();
    for (const std::string& name :
         {std::string("Al"), std::string(15, 'F'), std::string(16, 'G'), std::string(51, 'H')})
        d.appendName(db::NameKind::First, name), d.appendName(db::NameKind::Second, name);
    db::DisplayNameMaker maker(d);
    for (std::int32_t first = -1; first <= 4; ++first) {
        for (std::int32_t second = -1; second <= 4; ++second) {
            db::StaffRecord s;
            s.set(db::StaffRecord::FirstNameId, first);
            s.set(db::StaffRecord::SecondNameId, second);
            s.displayName = "stale";
            maker.set(s);
            EXPECT_EQ(s.displayName, d.buildDisplayName(s)) << first << "/" << second;
        }
    }
}

}  // namespace

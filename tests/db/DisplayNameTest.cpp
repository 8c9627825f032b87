// The display name a staff record carries: held in place up to 23 bytes and
// on the heap beyond, which copies, moves and reassignments must not mix up.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "TestSupport.h"
#include "db/DisplayName.h"
#include "db/DisplayNames.h"

namespace {

TEST(DisplayName, KeepsTextAcrossCopyMoveAndReassignment)
{
    // Around the in-place limit, and the longest a display name can be.
    for (const std::size_t n : {0u, 1u, 22u, 23u, 24u, 100u}) {
        const std::string text(n, 'x');
        for (const std::size_t m : {0u, 5u, 23u, 24u, 60u}) {
            const std::string other(m, 'y');
            db::DisplayName a(text);
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

TEST(DisplayName, LoaderMakesTheSameNamesAsTheRule)
{
    db::Database d = db::Database::withEmptyIndex();
    for (const std::string& name : {std::string("Al"), std::string(15, 'F'), std::string(16, 'G'),
                                    std::string(51, 'H')})
        d.appendName(db::NameKind::First, name), d.appendName(db::NameKind::Second, name);
    const db::DisplayNameMaker maker(d);
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

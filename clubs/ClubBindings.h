#pragma once

// Which control of the club page shows which record field, as data.
//
// The display of a club and Confirm Changes both walk these tables, so a
// control can never be shown from one field and stored into another. The
// helpers below hold the rules that need no widgets.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/format/Database.h"
#include "db/format/FieldCatalog.h"

namespace clubs {

// The table a reference field or a three-entry list points into.
using Source = db::TableId;

enum class Kind {
    Text,       // line edit, fixed-width text field
    Number,     // line edit, number of the field's width
    Reference,  // pick list of a table plus its extra last entry
    Code,       // fixed pick list; index = stored code
    Flag        // check box; 255 / 0
};

struct Binding {
    std::string_view control;  // objectName of the control
    Kind kind;
    db::NumField num{0, 4, true};  // every kind but Text
    db::TextField text{0, 0};      // Text
    Source source = Source::Nations;
    int codeCount = 0;  // Code: entries of the fixed list
};

constexpr Binding textBinding(std::string_view c, db::TextField f)
{
    return Binding{c, Kind::Text, db::NumField{0, 4, true}, f};
}
constexpr Binding numberBinding(std::string_view c, db::NumField f)
{
    return Binding{c, Kind::Number, f};
}
constexpr Binding referenceBinding(std::string_view c, db::I32Field f, Source s)
{
    return Binding{c, Kind::Reference, f, db::TextField{0, 0}, s};
}
constexpr Binding codeBinding(std::string_view c, db::U8Field f, int count)
{
    return Binding{c, Kind::Code, f, db::TextField{0, 0}, Source::Nations, count};
}
constexpr Binding flagBinding(std::string_view c, db::U8Field f)
{
    return Binding{c, Kind::Flag, f};
}

// The club's own fields, in the order Confirm Changes stores them.
extern const std::array<Binding, 23> kClubFields;

// One stadium sub-page: the pick list that chooses the stadium, the club
// field it is stored in, and the prefix of its detail controls.
struct StadiumPage {
    std::string_view selector;
    db::I32Field field;
    std::string_view prefix;
};
extern const std::array<StadiumPage, 2> kStadiumPages;  // main, then reserve

// The detail controls of a stadium sub-page (names without the prefix), in
// the order Confirm Changes stores them into the shared StadiumRecord.
extern const std::array<Binding, 8> kStadiumFields;

// The three-entry lists, in the order Confirm Changes stores them.
struct EntryList {
    std::string_view control;
    db::IdListField field;
    Source source;
};
extern const std::array<EntryList, 3> kEntryLists;

// The control of the club page that shows catalog field `f` of a club (a
// list element's list, a stadium's pick list); empty when none does.
std::string_view controlOfField(const db::FieldInfo& f);

// ---- Rules ------------------------------------------------------------------

// Records in the table `s` names.
inline std::size_t sourceCount(const db::Database& d, Source s)
{
    return db::tableSize(d, s);
}

// The pick-list row that shows a reference: the value when it names a record,
// else the extra last entry (row `count`).
int referenceRow(std::int64_t value, std::size_t count);
// What a pick list on row `row` stores: the row when it names a record, -2
// for the extra entry and anything else (no row chosen at all included).
std::int32_t storedReference(int row, std::size_t count);
// The row of a fixed list for a stored code: the code when below `entries`,
// else row 0 ("<unknown>").
int codeRow(std::int64_t code, int entries);

// Per slot of a three-entry list: the record position it names, or -1
// ("<none>").
std::vector<int> entryRecords(const db::Database& d, const db::ClubRecord& club, const EntryList& list);

// The identifier a three-entry list row stores: -2 for a "<none>" text or a
// row that names no record, else the identifier field of the record attached.
std::int32_t storedEntry(const db::Database& d, Source s, const std::string& rawText, int record);

// A line of the "Manergial Staff" list: prefix and staff position.
struct StaffLine {
    std::string_view prefix;
    int staff;
};
// The club's management in slot order, skipping slots that name nobody.
std::vector<StaffLine> managementLines(const db::Database& d, const db::ClubRecord& club);
// The club's players in slot order, skipping slots that name nobody.
std::vector<int> playerLines(const db::Database& d, const db::ClubRecord& club);

}  // namespace clubs

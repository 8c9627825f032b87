#pragma once

// Changing one or more fields of many records of a table at once ("Change
// All..." in the Find window, `quarndb-cli set`), so that it can be trusted:
// - every edit goes through applyFieldEdit, so fields that other records
//   mirror change as the windows change them, and refused fields
//   (bulkRefusal) fail the whole change with their sentence;
// - a value that does not fit its field's width is never wrapped: the plan
//   says whether such records are left out (Skip), get the nearest value that
//   fits (Clamp), or the whole change is refused (Refuse);
// - a preview says what would change without changing anything.
//
// The steps: build a BulkPlan (by hand, or from CHANGE texts with
// parseBulkOperation), checkBulkPlan, planBulkChange over the records to
// change (its preview is what the user sees), then touchForBulk on the
// undo step's recorder and applyBulkChange. Records are visited in table
// order, and each record's operations in the plan's order: a later
// operation sees what an earlier one stored.
//
// Operations work on elements: a field of a list (FavouriteClubs) without an
// element number means each of its elements in turn.
//   Set       the value; numbers, text (Windows-1252), or the element's bytes
//             for dates, flags, codes and references
//   Add       N (negative to subtract); numbers only
//   Multiply  by P percent, rounded half away from zero to a whole number
//             (110% of 15 is 16.5 -> 17, of -15 -> -17); numbers only
//   Clamp     into [low, high]; numbers only
//   Copy      from another field element of the same record: numbers from
//             any number field (the value must fit), text from text (it must
//             fit), other kinds from a field of the same kind (references
//             of the same table, codes with the same captions)

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/editing/ChangeStep.h"
#include "db/editing/FieldChange.h"
#include "db/format/Database.h"
#include "db/format/FieldCatalog.h"

namespace db {

// What happens to a record with a value that does not fit its field.
enum class OverflowPolicy : std::uint8_t {
    Refuse,  // applying refuses the whole change (the preview lists them)
    Skip,    // such records are left unchanged
    Clamp    // the value becomes the nearest one the field holds; text is cut
};

struct BulkOperation {
    enum class Kind : std::uint8_t { Set, Add, Multiply, Clamp, Copy };
    // Multiply: percent = scaled / kPercentScale (4 decimals).
    static constexpr std::int64_t kPercentScale = 10000;

    Kind kind = Kind::Set;
    const FieldInfo* field = nullptr;  // a field of the plan's table
    int element = -1;                  // one element of a list; -1 for each element

    std::int64_t number = 0;            // Set on a number field: the value; Add: N; Multiply: scaled percent
    std::string text;                   // Set on a text field (Windows-1252; may be longer than the field)
    std::vector<std::uint8_t> bytes;    // Set on any other kind: the element's bytes (field->width)
    std::int64_t low = 0, high = 0;     // Clamp, low <= high
    const FieldInfo* source = nullptr;  // Copy: a field of the same record
    int sourceElement = 0;
};

struct BulkPlan {
    TableId table = TableId::Staff;
    std::vector<BulkOperation> operations;
    OverflowPolicy policy = OverflowPolicy::Refuse;
};

// Throws Error with one sentence when the plan cannot run: no operation, a
// refused field (bulkRefusal's sentence), an operation that does not suit
// its field, an element out of range, a clamp with low > high.
void checkBulkPlan(const BulkPlan& plan);

// One CHANGE of `quarndb-cli set` on table t (UTF-8 text):
//   Field=VALUE       a number, "double-quoted text" (a quote inside written
//                     twice; a text field's text, a
//                     referenced record's name, a code's caption, a date as
//                     d/m/y), or an unquoted <none>, Yes, No, d/m/y, caption
//   Field+=N, Field-=N, Field*=P% (up to 4 decimals), Field=clamp(LO,HI)
//   Field=OtherField  copy (an unquoted word naming a field of the table)
// Fields are named as the find language names them (aliases such as Nation
// and Club, elements as PlayerIds[3]), but only the table's own catalog
// fields can change. Throws Error with one sentence (Windows-1252, as
// every message of the core).
BulkOperation parseBulkOperation(const Database& d, TableId t, std::string_view change);

// "Wage = 1000", "Wage + 500", "Wage - 500", "Wage × 110%",
// "Wage clamp 0..5000", "Wage = Value", "Nation = Brazil" (Windows-1252).
std::string describeOperation(const Database& d, const BulkOperation& op);
// The undo step's text: "Change All: Wage × 110% (3,412 staff)"
// (Windows-1252; the window adds "Undo ").
std::string bulkCaption(const Database& d, const BulkPlan& plan, std::size_t changedRecords);

// ---- Working out and making the change ---------------------------------------

struct BulkValueChange {
    std::int32_t id = 0;
    std::string record;         // the record's name (Windows-1252), "#id" when it has none
    std::string field;          // "Wage", "FavouriteClubs[2]"
    std::string before, after;  // as the pages show them
};
struct BulkOverflow {
    std::int32_t id = 0;
    std::string record, field;
    std::string value;  // the value computed, which the field cannot hold
};
struct BulkLeftUnchanged {
    std::int32_t id = 0;
    std::string record;
    std::string reason;  // why a mirrored field's edit could not be made
};

struct BulkPreview {
    std::size_t records = 0;              // records given
    std::size_t changed = 0;              // records that change
    std::size_t values = 0;               // element values that change in them
    std::size_t skipped = 0;              // records left out for a value that does not fit (Skip, Refuse)
    std::vector<BulkValueChange> sample;  // the first changed values, in order
    std::vector<BulkOverflow> overflows;  // every value that does not fit
    std::vector<BulkLeftUnchanged> unchanged;  // every record a mirrored edit leaves alone
};

struct BulkRecordEdits {
    std::int32_t id = 0;
    std::vector<FieldEdit> edits;  // in the order they are made
};

// The edits a plan makes on a database as it is now.
struct BulkEdits {
    TableId table = TableId::Staff;
    OverflowPolicy policy = OverflowPolicy::Refuse;
    std::vector<BulkRecordEdits> records;  // the records that change, in table order
    BulkPreview preview;
};

inline constexpr std::size_t kBulkSampleSize = 20;

// Works out the plan on records `ids` of the plan's table (duplicates are
// taken once, in table order) without changing `d`. Checks the plan first
// (Error as checkBulkPlan); an id outside the table throws Error too.
BulkEdits planBulkChange(const Database& d, const BulkPlan& plan, std::span<const std::int32_t> ids,
                         std::size_t sampleSize = kBulkSampleSize);
inline BulkPreview previewBulkChange(const Database& d, const BulkPlan& plan,
                                     std::span<const std::int32_t> ids,
                                     std::size_t sampleSize = kBulkSampleSize)
{
    return planBulkChange(d, plan, ids, sampleSize).preview;
}

// Notes every record applyBulkChange(d, edits) may change: call it before
// applying, on the database the edits were planned on.
void touchForBulk(const RecordToucher& touch, const Database& d, const BulkEdits& edits);
void touchForBulk(ChangeRecorder& r, const Database& d, const BulkEdits& edits);

struct BulkResult {
    std::size_t changed = 0;  // records changed
    std::size_t values = 0;   // element values stored
    // Records found unchanged by applyFieldEdit after all (the database had
    // changed since the plan was made); empty normally.
    std::vector<BulkLeftUnchanged> unchanged;
};

// Makes the edits on the database they were planned on. With the Refuse
// policy and values that do not fit, throws Error naming the first few and
// changes nothing.
BulkResult applyBulkChange(Database& d, const BulkEdits& edits);

// "3,412".
std::string groupedNumber(std::size_t n);

}  // namespace db

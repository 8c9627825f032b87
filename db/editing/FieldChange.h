#pragma once

// How one field of one record is changed the way the windows change it, for
// operations that change fields without a page: a bulk change and a
// spreadsheet import. Most fields are a plain store of their bytes; the few
// that other records mirror move those records too:
// - a staff member's club (ClubContractedId) moves him as the Transfer
//   dialog does, keeping his job: the new club must have a free place for it;
// - his job at his club (JobForClub) moves his slots at that club: the old
//   job's slots are given up and the new job's taken, all or nothing;
// - his names (FirstNameId, SecondNameId, CommonNameId) move the usage counts
//   of the name records as the staff page's Confirm Changes does, and his
//   display name follows.
// Fields whose mirrors no single edit can keep in step (the clubs' staff
// slots, the links to attribute records, name usage counts, identifiers,
// reserved bytes, the index, tables File > Save never writes) are refused.

#include <cstdint>
#include <string>
#include <vector>

#include "db/editing/ChangeStep.h"
#include "db/format/Database.h"
#include "db/format/FieldCatalog.h"

namespace db {

// Why field `f` of table `t` cannot be changed by a bulk change or an import
// (one sentence, naming the field and what to use instead); empty when it can.
std::string bulkRefusal(TableId t, const FieldInfo& f);

// One element of one field of one record, with its new bytes (f.width bytes).
struct FieldEdit {
    std::int32_t id = 0;  // the record's position in its table
    const FieldInfo* field = nullptr;
    int element = 0;
    std::vector<std::uint8_t> bytes;  // the element's new bytes
};

// Notes on `r` every record applyFieldEdit may change for this edit (the
// record, and the records that mirror it: clubs' staff slots, name usage
// counts). Call it with the database as it is just before the edit.
void touchForEdit(ChangeRecorder& r, const Database& d, TableId t, const FieldEdit& e);

// Stores the edit, keeping the records that mirror the field in step as the
// pages do. Returns an empty string on success (an edit that changes nothing
// included), or one sentence why this record was left unchanged (e.g. the
// new club has no free place for his job); then nothing changed.
std::string applyFieldEdit(Database& d, TableId t, const FieldEdit& e);

// Whether applyFieldEdit would move other records than the edited one for
// field `f` of table `t` (a club, a job or a name of a staff member).
bool isMirroredField(TableId t, const FieldInfo& f);

// ---- The checks applyFieldEdit makes, on copies ------------------------------
// For callers that work out many edits before making any (a preview): they
// keep their own copies of the records concerned and ask these.

// Why staff member `staffId`, whose club is `fromClub` and job `job`, cannot
// move to `toClub` given the club records as they would be then (`from` and
// `to`, nullptr for no club; either may be changed on success, as a transfer
// changes them). Empty when he can.
std::string transferRefusal(const Database& d, std::int32_t staffId, std::int32_t toClub, int job,
                            ClubRecord* from, ClubRecord* to);
// Why staff member `staffId` with classification `classification` cannot change
// from job `oldJob` to `newJob` at `club` (nullptr for no club); on success
// `club`'s slots are moved.
std::string jobRefusal(std::int32_t staffId, std::uint8_t classification, int oldJob, int newJob,
                       ClubRecord* club);
// Why a staff member's name field `f` cannot hold `value`; empty when it can.
std::string nameRefusal(const Database& d, const FieldInfo& f, std::int64_t value);

}  // namespace db

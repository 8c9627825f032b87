#include "db/editing/FieldChange.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "db/editing/Transfer.h"

namespace db {

namespace {

bool named(const FieldInfo& f, std::string_view name)
{
    return f.name == name;
}

bool isStaffField(TableId t, const FieldInfo& f, I32Field field)
{
    return t == TableId::Staff && f.offset == field.offset && f.kind == FieldKind::Reference;
}

bool isClubField(TableId t, const FieldInfo& f)
{
    return t == TableId::Staff && f.offset == StaffRecord::ClubContractedId.offset;
}

bool isJobField(TableId t, const FieldInfo& f)
{
    return t == TableId::Staff && f.offset == StaffRecord::JobForClub.offset;
}

bool isNameField(TableId t, const FieldInfo& f)
{
    return isStaffField(t, f, StaffRecord::FirstNameId) || isStaffField(t, f, StaffRecord::SecondNameId) ||
           isStaffField(t, f, StaffRecord::CommonNameId);
}

// The club slots of a club record, which its staff members' clubs and jobs mirror.
constexpr std::string_view kClubSlots[] = {"ChairmanId", "DirectorIds", "ManagerId", "AssistantManagerId",
                                           "PlayerIds",  "CoachIds",    "ScoutIds",  "PhysioIds"};

std::string sentence(std::string_view field, std::string_view rest)
{
    return std::string(field) + " " + std::string(rest);
}

std::int32_t readI32(const std::vector<std::uint8_t>& bytes)
{
    return static_cast<std::int32_t>(readLittleEndian(bytes.data(), 4));
}

std::string jobName(int job)
{
    if (job >= 0 && static_cast<std::size_t>(job) < kJobNames.size()) return std::string(kJobNames[job]);
    return "job " + std::to_string(job);
}

std::string clubName(const ClubRecord& c)
{
    return c.text(ClubRecord::LongName);
}

bool isPlayingJob(int job)
{
    return job >= Job::Player && job <= 15;
}

// Gives up the slots `job` holds at `club`, like releaseFromClub, but a
// single slot (chairman, manager, assistant) only when it holds him: a job
// code that disagrees with the club's slots must not clear somebody else's.
void releaseOwnSlots(ClubRecord& club, std::int32_t staffId, int job)
{
    const ClubRecord before = club;
    releaseFromClub(club, staffId, job);
    for (I32Field single : {ClubRecord::ChairmanId, ClubRecord::ManagerId, ClubRecord::AssistantManagerId})
        if (before.get(single) != staffId) club.set(single, before.get(single));
}

}  // namespace

bool isMirroredField(TableId t, const FieldInfo& f)
{
    return isClubField(t, f) || isJobField(t, f) || isNameField(t, f);
}

std::string bulkRefusal(TableId t, const FieldInfo& f)
{
    const std::string name = f.named() ? std::string(f.name) : "Reserved" + std::to_string(f.offset);
    if (t >= TableId::Count) return "There is no such table.";
    if (t == TableId::Index)
        return sentence(name,
                        "is an index entry's, which the editor keeps in step with the tables itself; "
                        "change the tables' records instead.");
    if (!isSavedTable(t))
        return sentence(name, "belongs to " + std::string(tableName(t)) +
                                  ", which File > Save never writes; the change could not be kept.");
    if (f.identifier)
        return sentence(name,
                        "is the record's own identifier (its position in the table) and cannot change.");
    if (f.reserved || f.kind == FieldKind::Bytes || f.kind == FieldKind::Unnamed)
        return sentence(name, "holds bytes the game keeps and the editor never changes.");
    if (t == TableId::Clubs && std::any_of(std::begin(kClubSlots), std::end(kClubSlots),
                                           [&](std::string_view s) { return named(f, s); }))
        return sentence(name,
                        "is mirrored by each staff member's club; change the staff member's club "
                        "(ClubContractedId) instead.");
    if (t == TableId::Staff && (named(f, "PlayerId") || named(f, "NonPlayerId")))
        return sentence(name,
                        "links the staff member to his attribute record, made with him; it cannot be "
                        "changed.");
    if (t == TableId::Staff && named(f, "Classification"))
        return sentence(name,
                        "says which attribute records the staff member has (made with him) and is "
                        "mirrored by his PlayerId and NonPlayerId; it cannot be changed.");
    if (t == TableId::FirstNames || t == TableId::SecondNames || t == TableId::CommonNames) {
        if (named(f, "UsageCount"))
            return sentence(name,
                            "counts the staff members who use the name and follows their name fields; "
                            "change the staff members' FirstNameId, SecondNameId or CommonNameId instead.");
        if (named(f, "Name"))
            return sentence(name,
                            "is part of the display name of every staff member who uses it; add a new "
                            "name and give it to the staff members instead.");
    }
    return {};
}

std::string transferRefusal(const Database& d, std::int32_t staffId, std::int32_t toClub, int job,
                            ClubRecord* from, ClubRecord* to)
{
    if (toClub == kNoClub) {
        // A free transfer: the old club is left twice, as the dialog does.
        if (from) {
            releaseFromClub(*from, staffId, job);
            releaseFromClub(*from, staffId, job);
        }
        return {};
    }
    if (!to || !isValidRef(toClub, d.clubs.size()))
        return "ClubContractedId " + std::to_string(toClub) + " names no club (use <none> for no club).";
    ClubRecord placed = *to;
    if (!placeAtClub(placed, staffId, job)) {
        if (job == Job::None || job > 15)
            return "His job (" + jobName(job) + ") holds no place at a club; change his JobForClub first.";
        return clubName(*to) + " has no free place for his job (" + jobName(job) + ").";
    }
    *to = placed;
    if (from) releaseFromClub(*from, staffId, job);
    return {};
}

std::string jobRefusal(std::int32_t staffId, std::uint8_t classification, int oldJob, int newJob,
                       ClubRecord* club)
{
    if (newJob == oldJob) return {};
    if (isPlayingJob(newJob) && !Classification::hasPlayer(classification))
        return "He has no player record, so he cannot take the playing job " + jobName(newJob) + ".";
    if (!club) return {};
    ClubRecord moved = *club;
    releaseOwnSlots(moved, staffId, oldJob);
    if (!placeAtClub(moved, staffId, newJob)) {
        if (newJob == Job::None || newJob > 15)
            return "The job " + jobName(newJob) +
                   " holds no place at a club; give him a free transfer first.";
        return clubName(*club) + " has no free place for the job " + jobName(newJob) + ".";
    }
    *club = moved;
    return {};
}

std::string nameRefusal(const Database& d, const FieldInfo& f, std::int64_t value)
{
    if (isValidRef(value, tableSize(d, f.target))) return {};
    return std::string(f.name) + " " + std::to_string(value) + " names no record of " +
           std::string(tableName(f.target)) + "; a staff member's names must name one.";
}

void touchForEdit(ChangeRecorder& r, const Database& d, TableId t, const FieldEdit& e)
{
    r.touch(t, e.id);
    if (!e.field || !isMirroredField(t, *e.field) || !isValidRef(e.id, d.staff.size())) return;
    const StaffRecord& s = d.staff[static_cast<std::size_t>(e.id)];
    if (isClubField(t, *e.field)) {
        r.touch(TableId::Clubs, s.get(StaffRecord::ClubContractedId));
        if (e.bytes.size() == 4) r.touch(TableId::Clubs, readI32(e.bytes));
    } else if (isJobField(t, *e.field)) {
        r.touch(TableId::Clubs, s.get(StaffRecord::ClubContractedId));
    } else {
        r.touch(e.field->target, s.get(I32Field{e.field->offset}));
        if (e.bytes.size() == 4) r.touch(e.field->target, readI32(e.bytes));
    }
}

std::string applyFieldEdit(Database& d, TableId t, const FieldEdit& e)
{
    if (!e.field) return "No field was given.";
    const FieldInfo& f = *e.field;
    if (std::string why = bulkRefusal(t, f); !why.empty()) return why;
    if (!isValidRef(e.id, tableSize(d, t)))
        return std::string(tableName(t)) + " has no record " + std::to_string(e.id) + ".";
    if (e.element < 0 || e.element >= f.count || e.bytes.size() != f.width)
        return elementName(f, e.element) + " was given " + std::to_string(e.bytes.size()) +
               " bytes for an element of " + std::to_string(f.width) + ".";

    std::uint8_t* at = recordData(d, t, static_cast<std::size_t>(e.id)) + f.offset + f.width * e.element;
    if (std::memcmp(at, e.bytes.data(), f.width) == 0) return {};
    if (!isMirroredField(t, f)) {
        std::memcpy(at, e.bytes.data(), f.width);
        return {};
    }

    StaffRecord& s = d.staff[static_cast<std::size_t>(e.id)];
    const std::int32_t clubId = s.get(StaffRecord::ClubContractedId);
    ClubRecord* club =
        isValidRef(clubId, d.clubs.size()) ? &d.clubs[static_cast<std::size_t>(clubId)] : nullptr;

    if (isClubField(t, f)) {
        // Checked on copies first, so that the transfer itself cannot fail.
        const std::int32_t toClub = readI32(e.bytes);
        const int job = s.get(StaffRecord::JobForClub);
        std::optional<ClubRecord> from = club ? std::optional<ClubRecord>(*club) : std::nullopt;
        std::optional<ClubRecord> to;
        if (isValidRef(toClub, d.clubs.size()))
            to = d.clubs[static_cast<std::size_t>(toClub)];  // never his own club: that changes nothing
        if (std::string why =
                transferRefusal(d, e.id, toClub, job, from ? &*from : nullptr, to ? &*to : nullptr);
            !why.empty())
            return why;
        transferStaff(d, {e.id, clubId, toClub, static_cast<std::uint8_t>(job)});
        return {};
    }

    if (isJobField(t, f)) {
        std::optional<ClubRecord> moved = club ? std::optional<ClubRecord>(*club) : std::nullopt;
        if (std::string why =
                jobRefusal(e.id, s.get(StaffRecord::Classification), s.get(StaffRecord::JobForClub),
                           e.bytes[0], moved ? &*moved : nullptr);
            !why.empty())
            return why;
        if (club) *club = *moved;
        s.set(StaffRecord::JobForClub, e.bytes[0]);
        return {};
    }

    // A name: both usage counts move (a byte that wraps), the display name follows.
    const std::int32_t newId = readI32(e.bytes);
    if (std::string why = nameRefusal(d, f, newId); !why.empty()) return why;
    auto& table = d.names(f.target == TableId::FirstNames    ? NameKind::First
                          : f.target == TableId::SecondNames ? NameKind::Second
                                                             : NameKind::Common);
    const I32Field field{f.offset};
    const std::int32_t oldId = s.get(field);
    NameRecord& chosen = table[static_cast<std::size_t>(newId)];
    chosen.set(NameRecord::UsageCount, static_cast<std::uint8_t>(chosen.get(NameRecord::UsageCount) + 1));
    if (isValidRef(oldId, table.size())) {
        NameRecord& old = table[static_cast<std::size_t>(oldId)];
        old.set(NameRecord::UsageCount, static_cast<std::uint8_t>(old.get(NameRecord::UsageCount) - 1));
    }
    s.set(field, newId);
    s.displayName = d.buildDisplayName(s);
    return {};
}

}  // namespace db

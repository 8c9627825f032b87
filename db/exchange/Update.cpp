#include "db/exchange/Update.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace db {

namespace {

constexpr std::int64_t kMaxCount = INT32_MAX;

// The tables of kExchangeOrder that `saved` is `written` for.
template <bool Written>
constexpr auto exchanged()
{
    constexpr std::size_t n = static_cast<std::size_t>(
        std::count_if(kTables.begin(), kTables.end(), [](const TableInfo& t) { return t.saved == Written; }));
    std::array<TableId, n> out{};
    std::size_t k = 0;
    for (TableId t : kExchangeOrder)
        if (isSavedTable(t) == Written) out[k++] = t;
    return out;
}

// The tables an update changes, in the order their appends are applied, and
// the lookup tables it only counts.
constexpr auto kWritten = exchanged<true>();
constexpr auto kLookups = exchanged<false>();

// A value as update files and conflicts show it.
std::string show(const ByteField& f, const std::uint8_t* record)
{
    return formatValue(f.info(), 0, record, nullptr, ValueForm::Raw);
}

bool isNameTable(TableId t)
{
    return t == TableId::FirstNames || t == TableId::SecondNames || t == TableId::CommonNames;
}

// A name's UsageCount counts the staff using it, and both sides of an update
// may have added or renamed people: the update's change is carried as a
// difference (one byte, wrapping, as the editor counts), never as a conflict.
bool isUsageCount(TableId t, const ByteField& f)
{
    return isNameTable(t) && f.offset == NameRecord::UsageCount.offset && f.width == 1;
}

std::int32_t readI32(const std::uint8_t* p)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(p[i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

void writeI32(std::uint8_t* p, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The index fields appends keep: the counts of the written tables and the
// offsets of the last three staff tables. An update never carries them.
bool followsAppends(std::size_t entry, const ByteField& f)
{
    const TableInfo* table = tableAtEntry(static_cast<int>(entry));
    if (f.offset == IndexEntry::TableOffset.offset) return table && followsInFile(table->id);
    return f.offset == IndexEntry::RecordCount.offset && table && table->saved;
}

std::string tableLabel(TableId t, std::int64_t id)
{
    return std::string(tableLayout(t).name) + "[" + std::to_string(id) + "]";
}

// Names records the way the list of changes does (attribute records by
// their owner).
class Namer {
public:
    Namer(const Database& d, TableId t) : namer_(d), t_(t) {}
    std::string operator()(std::size_t i) const { return namer_.name(t_, i); }

private:
    RecordNamer namer_;
    TableId t_;
};

// Where appended records go: identifiers base..base+n-1 of the update become
// target..target+n-1.
class Remap {
public:
    Remap(const Database& target, const Update& u)
    {
        for (std::size_t k = 0; k < kTableCount; ++k) {
            const TableUpdate& t = u.tables[static_cast<std::size_t>(k)];
            from_[static_cast<std::size_t>(k)] = t.count;
            n_[static_cast<std::size_t>(k)] = static_cast<std::int64_t>(t.appended.size());
            to_[static_cast<std::size_t>(k)] =
                static_cast<std::int64_t>(tableSize(target, static_cast<TableId>(k)));
        }
    }
    std::int32_t operator()(int table, std::int32_t v) const
    {
        if (table < 0) return v;
        const auto k = static_cast<std::size_t>(table);
        // The table's count, one of the stored forms of none, stays none.
        if (v == from_[k] + n_[k]) return static_cast<std::int32_t>(to_[k] + n_[k]);
        if (v < from_[k] || v >= from_[k] + n_[k]) return v;
        return static_cast<std::int32_t>(v - from_[k] + to_[k]);
    }
    void apply(const ByteField& f, std::uint8_t* p) const
    {
        if (f.refTable >= 0 && f.kind == ByteField::Kind::Number && f.width == 4)
            writeI32(p, (*this)(f.refTable, readI32(p)));
    }

private:
    std::array<std::int64_t, kTableCount> from_{}, n_{}, to_{};
};

[[noreturn]] void fail(const std::string& what)
{
    throw Error(what);
}

void addOffset(IndexEntry& e, std::uint32_t delta)
{
    e.set(IndexEntry::TableOffset,
          static_cast<std::int32_t>(static_cast<std::uint32_t>(e.get(IndexEntry::TableOffset)) + delta));
}

// Appends one record and moves the index the way every append does: the
// entry's count follows the table, and the staff tables after it move by the
// record's size so that the four tables stay back to back.
void appendWithIndex(Database& d, TableId t, const std::uint8_t* bytes)
{
    const TableLayout& info = tableLayout(t);
    pushRecord(d, t, bytes);
    d.entry(info.entry).set(IndexEntry::RecordCount, static_cast<std::int32_t>(tableSize(d, t)));
    bool after = false;
    for (const TableInfo& later : kTables) {
        if (after && later.file == tableInfo(t).file)
            addOffset(d.entry(later.entry), static_cast<std::uint32_t>(info.recordSize));
        after = after || later.id == t;
    }
}

}  // namespace

std::string Conflict::line() const
{
    std::string s = table;
    if (record >= 0) s += "[" + std::to_string(record) + "]";
    if (!name.empty()) s += " (" + name + ")";
    return s + " " + field + ": expected " + expected + ", found " + found;
}

Update diffDatabases(const Database& before, const Database& after)
{
    if (!before.hasFullIndex() || !after.hasFullIndex()) fail("Both databases need their full index");
    Update u;
    u.base = fingerprintDatabase(before);
    for (TableId t : kLookups) {
        const TableLayout& info = tableLayout(t);
        const std::size_t n = tableSize(before, t);
        bool same = n == tableSize(after, t);
        for (std::size_t i = 0; same && i < n; ++i)
            same = std::memcmp(recordData(before, t, i), recordData(after, t, i), info.recordSize) == 0;
        if (!same)
            fail(std::string("The ") + info.name +
                 " differ between the two databases; an update carries only the tables the editor saves");
        u[t].count = static_cast<std::int64_t>(n);
    }
    for (TableId t : kWritten) {
        const TableLayout& info = tableLayout(t);
        const std::size_t n = tableSize(before, t), m = tableSize(after, t);
        if (m < n)
            fail(std::string("The new database has fewer ") + info.name + " than the old one (" +
                 std::to_string(m) + " against " + std::to_string(n) + "); records are never removed");
        if (static_cast<std::int64_t>(m) > kMaxCount) fail(std::string("Too many ") + info.name);
        TableUpdate& tu = u[t];
        tu.count = static_cast<std::int64_t>(n);
        const Namer oldName(before, t), newName(after, t);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t* a = recordData(before, t, i);
            const std::uint8_t* b = recordData(after, t, i);
            if (std::memcmp(a, b, info.recordSize) == 0) continue;
            RecordUpdate rc;
            rc.id = static_cast<std::int64_t>(i);
            for (std::size_t k = 0; k < info.fields.size(); ++k) {
                const ByteField& f = info.fields[k];
                if (std::memcmp(a + f.offset, b + f.offset, f.width) == 0) continue;
                if (t == TableId::Index && followsAppends(i, f)) continue;
                rc.fields.push_back({k, FieldBytes(a + f.offset, a + f.offset + f.width),
                                     FieldBytes(b + f.offset, b + f.offset + f.width)});
            }
            if (rc.fields.empty()) continue;
            rc.name = oldName(i);
            tu.changed.push_back(std::move(rc));
        }
        for (std::size_t i = n; i < m; ++i) {
            const std::uint8_t* b = recordData(after, t, i);
            tu.appended.push_back({newName(i), FieldBytes(b, b + info.recordSize)});
        }
    }
    return u;
}

void validateUpdate(const Update& u)
{
    std::array<std::int64_t, kTableCount> newCount{};
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const TableUpdate& t = u.tables[static_cast<std::size_t>(k)];
        const TableLayout& info = tableLayout(static_cast<TableId>(k));
        if (t.count < 0 || t.count > kMaxCount ||
            t.count + static_cast<std::int64_t>(t.appended.size()) > kMaxCount)
            fail(std::string("The update's count of ") + info.name + " is out of range");
        if (!info.written && !t.empty()) fail(std::string("An update cannot change the ") + info.name);
        newCount[static_cast<std::size_t>(k)] = t.count + static_cast<std::int64_t>(t.appended.size());
    }
    if (u[TableId::Index].count != Entry::Count || !u[TableId::Index].appended.empty())
        fail("The update's index must have 22 entries");

    // A reference names a record of its table, the table's count (none) or
    // is negative (none).
    auto checkRef = [&](TableId t, std::int64_t id, const ByteField& f, const std::uint8_t* p) {
        if (f.refTable < 0 || f.kind != ByteField::Kind::Number || f.width != 4) return;
        const std::int32_t v = readI32(p);
        const std::int64_t count = newCount[static_cast<std::size_t>(f.refTable)];
        if (v > count)
            fail(tableLabel(t, id) + " " + f.name + ": " + std::to_string(v) + " points outside " +
                 tableLayout(static_cast<TableId>(f.refTable)).name + " (" + std::to_string(count) +
                 " records)");
    };

    for (TableId t : kWritten) {
        const TableUpdate& tu = u[t];
        const TableLayout& info = tableLayout(t);
        std::int64_t last = -1;
        for (const RecordUpdate& rc : tu.changed) {
            if (rc.id < 0 || rc.id >= tu.count)
                fail(tableLabel(t, rc.id) + ": no such record in the old database (" +
                     std::to_string(tu.count) + " records)");
            if (rc.id <= last) fail(tableLabel(t, rc.id) + ": listed twice or out of order");
            last = rc.id;
            std::size_t lastField = 0;
            bool first = true;
            for (const FieldChange& fc : rc.fields) {
                if (fc.field >= info.fields.size()) fail(tableLabel(t, rc.id) + ": unknown field");
                const ByteField& f = info.fields[fc.field];
                if (!first && fc.field <= lastField)
                    fail(tableLabel(t, rc.id) + " " + f.name + ": listed twice");
                first = false;
                lastField = fc.field;
                if (fc.oldBytes.size() != f.width || fc.newBytes.size() != f.width)
                    fail(tableLabel(t, rc.id) + " " + f.name + ": value of the wrong width");
                if (t == TableId::Index && followsAppends(static_cast<std::size_t>(rc.id), f))
                    fail(tableLabel(t, rc.id) + " " + f.name +
                         ": follows the appended records and cannot be set");
                checkRef(t, rc.id, f, fc.newBytes.data());
            }
        }
        for (std::size_t k = 0; k < tu.appended.size(); ++k) {
            const std::int64_t id = tu.count + static_cast<std::int64_t>(k);
            const AppendedRecord& r = tu.appended[k];
            if (r.bytes.size() != info.recordSize) fail(tableLabel(t, id) + ": not a whole record");
            for (const ByteField& f : info.fields) checkRef(t, id, f, r.bytes.data() + f.offset);
        }
    }
}

std::vector<Conflict> findConflicts(const Database& target, const Update& u)
{
    std::vector<Conflict> out;
    for (TableId t : kLookups) {
        const auto have = static_cast<std::int64_t>(tableSize(target, t));
        if (have != u[t].count)
            out.push_back({tableLayout(t).name, -1, "", "count", std::to_string(u[t].count) + " records",
                           std::to_string(have) + " records"});
    }
    for (TableId t : kWritten) {
        const TableLayout& info = tableLayout(t);
        const TableUpdate& tu = u[t];
        const std::size_t size = tableSize(target, t);
        const Namer name(target, t);
        for (const RecordUpdate& rc : tu.changed) {
            const auto i = static_cast<std::size_t>(rc.id);
            if (i >= size) {
                out.push_back({info.name, rc.id, rc.name, "record", "present", "missing", true});
                continue;
            }
            const std::uint8_t* have = recordData(target, t, i);
            for (const FieldChange& fc : rc.fields) {
                const ByteField& f = info.fields[fc.field];
                if (isUsageCount(t, f)) continue;
                if (std::equal(fc.oldBytes.begin(), fc.oldBytes.end(), have + f.offset)) continue;
                std::vector<std::uint8_t> expected(info.recordSize);
                std::copy(fc.oldBytes.begin(), fc.oldBytes.end(), expected.begin() + f.offset);
                out.push_back({info.name, rc.id, name(i), f.name, show(f, expected.data()), show(f, have)});
            }
        }
    }
    // Every appended record already at the identifier it had in the new
    // database: the update was most likely applied before.
    bool anyAppended = false, allPresent = true;
    TableId first = TableId::Count;
    for (TableId t : kWritten) {
        const TableUpdate& tu = u[t];
        if (tu.appended.empty()) continue;
        if (!anyAppended) first = t;
        anyAppended = true;
        const auto base = static_cast<std::size_t>(tu.count);
        const std::size_t size = tableSize(target, t);
        for (std::size_t k = 0; allPresent && k < tu.appended.size(); ++k)
            allPresent =
                base + k < size && std::memcmp(recordData(target, t, base + k), tu.appended[k].bytes.data(),
                                               tableLayout(t).recordSize) == 0;
    }
    if (anyAppended && allPresent)
        out.push_back({tableLayout(first).name, u[first].count, u[first].appended.front().name, "record",
                       "no record", "the same record (is the update applied already?)"});
    return out;
}

ApplyResult applyUpdate(Database& target, const Update& u, ApplyOptions options)
{
    if (!target.hasFullIndex()) fail("The database has no full index");
    ApplyResult result;
    result.base = checkBase(target, u.base);
    if (result.base.match == BaseMatch::Different && !options.force) {
        result.conflicts.push_back({"database", -1, "", "fingerprint", "the update's base",
                                    "another database: " + result.base.reasonText()});
        return result;
    }
    result.conflicts = findConflicts(target, u);
    const bool fatal = std::any_of(result.conflicts.begin(), result.conflicts.end(),
                                   [](const Conflict& c) { return c.fatal; });
    if (fatal || (!result.conflicts.empty() && !options.force)) return result;

    const Remap remap(target, u);
    std::vector<std::size_t> staffTouched;
    bool namesChanged = false;
    std::vector<std::uint8_t> value;
    for (TableId t : kWritten) {
        const TableLayout& info = tableLayout(t);
        for (const RecordUpdate& rc : u[t].changed) {
            std::uint8_t* rec = recordData(target, t, static_cast<std::size_t>(rc.id));
            for (const FieldChange& fc : rc.fields) {
                const ByteField& f = info.fields[fc.field];
                if (isUsageCount(t, f) && !fc.oldBytes.empty() && !fc.newBytes.empty()) {
                    rec[f.offset] =
                        static_cast<std::uint8_t>(rec[f.offset] + fc.newBytes[0] - fc.oldBytes[0]);
                    ++result.changedFields;
                    continue;
                }
                std::copy(fc.newBytes.begin(), fc.newBytes.end(), rec + f.offset);
                remap.apply(f, rec + f.offset);
                namesChanged = namesChanged || (isNameTable(t) && f.kind == ByteField::Kind::Text);
                ++result.changedFields;
            }
            if (t == TableId::Staff) staffTouched.push_back(static_cast<std::size_t>(rc.id));
            ++result.changedRecords;
        }
    }
    for (TableId t : kWritten) {
        const TableLayout& info = tableLayout(t);
        for (const AppendedRecord& r : u[t].appended) {
            value = r.bytes;
            for (const ByteField& f : info.fields) remap.apply(f, value.data() + f.offset);
            if (t == TableId::Staff) staffTouched.push_back(target.staff.size());
            appendWithIndex(target, t, value.data());
            ++result.appendedRecords;
        }
    }
    // Display names are what a fresh load would build.
    if (namesChanged) {
        for (StaffRecord& s : target.staff) s.displayName = target.buildDisplayName(s);
    } else {
        for (std::size_t i : staffTouched)
            target.staff[i].displayName = target.buildDisplayName(target.staff[i]);
    }
    result.applied = true;
    return result;
}

std::vector<std::string> describeUpdate(const Database& target, const Update& u)
{
    std::vector<std::string> lines;
    const Remap remap(target, u);
    for (TableId t : kWritten) {
        const TableLayout& info = tableLayout(t);
        const TableUpdate& tu = u[t];
        const std::size_t size = tableSize(target, t);
        const Namer name(target, t);
        std::vector<std::uint8_t> rec(info.recordSize);
        for (const RecordUpdate& rc : tu.changed) {
            const auto i = static_cast<std::size_t>(rc.id);
            const std::string label = tableLabel(t, rc.id) + " (" + (i < size ? name(i) : rc.name) + ") ";
            for (const FieldChange& fc : rc.fields) {
                const ByteField& f = info.fields[fc.field];
                std::copy(fc.oldBytes.begin(), fc.oldBytes.end(), rec.begin() + f.offset);
                std::string line = label + f.name + ": " + show(f, rec.data()) + " -> ";
                std::copy(fc.newBytes.begin(), fc.newBytes.end(), rec.begin() + f.offset);
                remap.apply(f, rec.data() + f.offset);
                lines.push_back(line + show(f, rec.data()));
            }
        }
        for (std::size_t k = 0; k < tu.appended.size(); ++k)
            lines.push_back("append " + tableLabel(t, static_cast<std::int64_t>(size + k)) + " (" +
                            tu.appended[k].name + ")");
    }
    return lines;
}

UpdateCounts countUpdate(const Update& u)
{
    UpdateCounts c;
    for (TableId t : kWritten) {
        c.changedRecords += u[t].changed.size();
        for (const RecordUpdate& rc : u[t].changed) c.changedFields += rc.fields.size();
        c.appendedRecords += u[t].appended.size();
    }
    return c;
}

}  // namespace db

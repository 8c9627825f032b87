#include "db/exchange/Merge.h"

#include <algorithm>

namespace db {

namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw Error(what);
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

bool isReference(const ByteField& f)
{
    return f.refTable >= 0 && f.kind == ByteField::Kind::Number && f.width == 4;
}

// A name's UsageCount counts the people using it; each update's change is a
// difference, and the differences add up (as Update.cpp applies them).
bool isUsageCount(TableId t, const ByteField& f)
{
    return (t == TableId::FirstNames || t == TableId::SecondNames || t == TableId::CommonNames) &&
           f.offset == NameRecord::UsageCount.offset && f.width == 1;
}

// Where one update's appended records go in the merged update: after the
// records every earlier update appends. Its table count, the stored form of
// none in its new database, becomes the merged update's.
class Shift {
public:
    Shift(const Update& u, const std::array<std::int64_t, kTableCount>& offset,
          const std::array<std::int64_t, kTableCount>& total)
    {
        for (std::size_t k = 0; k < kTableCount; ++k) {
            count_[k] = u.tables[k].count;
            n_[k] = static_cast<std::int64_t>(u.tables[k].appended.size());
            offset_[k] = offset[k];
            total_[k] = total[k];
        }
    }
    // `p`: the field's bytes.
    void apply(const ByteField& f, std::uint8_t* p) const
    {
        if (!isReference(f)) return;
        const auto k = static_cast<std::size_t>(f.refTable);
        const std::int64_t v = readI32(p);
        if (v >= count_[k] && v < count_[k] + n_[k])
            writeI32(p, static_cast<std::int32_t>(v + offset_[k]));
        else if (v == count_[k] + n_[k])
            writeI32(p, static_cast<std::int32_t>(count_[k] + total_[k]));
    }

private:
    std::array<std::int64_t, kTableCount> count_{}, n_{}, offset_{}, total_{};
};

// Whether two updates carry the same changes (one file given twice).
bool sameChanges(const Update& a, const Update& b)
{
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const TableUpdate &x = a.tables[k], &y = b.tables[k];
        if (x.count != y.count || x.changed.size() != y.changed.size() ||
            x.appended.size() != y.appended.size())
            return false;
        for (std::size_t r = 0; r < x.changed.size(); ++r) {
            const RecordUpdate &p = x.changed[r], &q = y.changed[r];
            if (p.id != q.id || p.fields.size() != q.fields.size()) return false;
            for (std::size_t f = 0; f < p.fields.size(); ++f)
                if (p.fields[f].field != q.fields[f].field || p.fields[f].newBytes != q.fields[f].newBytes)
                    return false;
        }
        for (std::size_t r = 0; r < x.appended.size(); ++r)
            if (x.appended[r].bytes != y.appended[r].bytes) return false;
    }
    return true;
}

// Every update must have been made from `base`, and each once.
void checkInputs(const Database& base, const BaseFingerprint& fingerprint, const std::vector<MergeInput>& in)
{
    if (in.empty()) fail("There are no updates to merge");
    for (std::size_t i = 0; i < in.size(); ++i) {
        const Update& u = in[i].update;
        validateUpdate(u);
        for (std::size_t j = 0; j < i; ++j) {
            const Update& v = in[j].update;
            if (u.base.known && v.base.known && !(u.base == v.base))
                fail(in[j].name + " and " + in[i].name +
                     " were made from different databases (the fingerprints of their " +
                     tableLayout(firstDifference(u.base, v.base)).name + " differ)");
        }
    }
    for (std::size_t i = 0; i < in.size(); ++i) {
        const Update& u = in[i].update;
        const std::string& name = in[i].name;
        if (u.base.known) {
            const TableId t = firstDifference(u.base, fingerprint);
            if (t != TableId::Count)
                fail(name + " was not made from this base: the fingerprint of its " + tableLayout(t).name +
                     " does not match");
        } else {
            for (std::size_t k = 0; k < kTableCount; ++k)
                if (u.tables[k].count != fingerprint.counts[k])
                    fail(name + " was not made from this base: it counts " +
                         std::to_string(u.tables[k].count) + " " + tableLayout(static_cast<TableId>(k)).name +
                         ", the base " + std::to_string(fingerprint.counts[k]));
        }
        // Same fingerprint or not: each old value must be the base's.
        const std::vector<Conflict> c = findConflicts(base, u);
        if (!c.empty()) fail(name + " does not fit the base: " + c.front().line());
        const UpdateCounts n = countUpdate(u);
        for (std::size_t j = 0; j < i && n.changedFields + n.appendedRecords > 0; ++j)
            if (sameChanges(in[j].update, u)) fail(name + " is the same update as " + in[j].name);
    }
}

struct Side {
    std::size_t input;
    const RecordUpdate* record;
};

struct FieldSide {
    std::size_t field;
    std::size_t input;
    const RecordUpdate* record;
    const FieldChange* change;
};

}  // namespace

const char* policyName(MergePolicy p)
{
    switch (p) {
        case MergePolicy::First:
            return "first";
        case MergePolicy::Last:
            return "last";
        case MergePolicy::None:
            break;
    }
    return "none";
}

MergeResult mergeUpdates(const Database& base, const std::vector<MergeInput>& inputs, MergePolicy policy)
{
    if (!base.hasFullIndex()) fail("The base database has no full index");
    const BaseFingerprint fingerprint = fingerprintDatabase(base);
    checkInputs(base, fingerprint, inputs);

    MergeResult result;
    Update& out = result.merged;
    out.base = fingerprint;
    for (std::size_t k = 0; k < kTableCount; ++k) out.tables[k].count = fingerprint.counts[k];

    // Appended records, one update's after the other's.
    std::array<std::int64_t, kTableCount> total{};
    std::vector<std::array<std::int64_t, kTableCount>> offsets(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i)
        for (std::size_t k = 0; k < kTableCount; ++k) {
            offsets[i][k] = total[k];
            const auto n = static_cast<std::int64_t>(inputs[i].update.tables[k].appended.size());
            if (n > 0 && total[k] > 0)
                result.renumbered.push_back(
                    {i, static_cast<TableId>(k), fingerprint.counts[k], fingerprint.counts[k] + total[k], n});
            total[k] += n;
        }
    std::vector<Shift> shifts;
    for (std::size_t i = 0; i < inputs.size(); ++i) shifts.emplace_back(inputs[i].update, offsets[i], total);

    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const TableLayout& info = tableLayout(t);
        if (!info.written) continue;
        TableUpdate& merged = out.tables[k];

        // The changed records of every update, by identifier, in update order.
        std::vector<Side> sides;
        for (std::size_t i = 0; i < inputs.size(); ++i)
            for (const RecordUpdate& rc : inputs[i].update.tables[k].changed) sides.push_back({i, &rc});
        std::stable_sort(sides.begin(), sides.end(),
                         [](const Side& a, const Side& b) { return a.record->id < b.record->id; });
        std::vector<FieldSide> fields;
        std::vector<FieldBytes> values;
        for (std::size_t s = 0; s < sides.size();) {
            std::size_t e = s;
            fields.clear();
            for (; e < sides.size() && sides[e].record->id == sides[s].record->id; ++e)
                for (const FieldChange& fc : sides[e].record->fields)
                    fields.push_back({fc.field, sides[e].input, sides[e].record, &fc});
            std::stable_sort(fields.begin(), fields.end(),
                             [](const FieldSide& a, const FieldSide& b) { return a.field < b.field; });
            RecordUpdate rc;
            rc.id = sides[s].record->id;
            rc.name = sides[s].record->name;
            for (std::size_t a = 0; a < fields.size();) {
                std::size_t b = a;
                while (b < fields.size() && fields[b].field == fields[a].field) ++b;
                const ByteField& f = info.fields[fields[a].field];
                FieldChange fc{fields[a].field, fields[a].change->oldBytes, {}};
                if (isUsageCount(t, f)) {
                    int sum = fc.oldBytes[0];
                    for (std::size_t x = a; x < b; ++x)
                        sum += fields[x].change->newBytes[0] - fields[x].change->oldBytes[0];
                    fc.newBytes = {static_cast<std::uint8_t>(sum)};
                    if (fc.newBytes != fc.oldBytes) rc.fields.push_back(std::move(fc));
                    a = b;
                    continue;
                }
                values.clear();
                bool agree = true;
                for (std::size_t x = a; x < b; ++x) {
                    values.push_back(fields[x].change->newBytes);
                    shifts[fields[x].input].apply(f, values.back().data());
                    agree = agree && values.back() == values.front();
                }
                if (agree) {
                    fc.newBytes = values.front();
                } else {
                    MergeConflict c{t, rc.id, fc.field, fc.oldBytes, {}, -1};
                    for (std::size_t x = a; x < b; ++x)
                        c.sides.push_back({fields[x].input, fields[x].record->name, values[x - a]});
                    if (policy == MergePolicy::First) c.kept = 0;
                    if (policy == MergePolicy::Last) c.kept = static_cast<int>(c.sides.size()) - 1;
                    if (c.kept >= 0) fc.newBytes = c.sides[static_cast<std::size_t>(c.kept)].value;
                    result.conflicts.push_back(std::move(c));
                }
                if (!fc.newBytes.empty()) rc.fields.push_back(std::move(fc));
                a = b;
            }
            if (!rc.fields.empty()) merged.changed.push_back(std::move(rc));
            s = e;
        }

        for (std::size_t i = 0; i < inputs.size(); ++i)
            for (const AppendedRecord& r : inputs[i].update.tables[k].appended) {
                AppendedRecord a = r;
                for (const ByteField& f : info.fields) shifts[i].apply(f, a.bytes.data() + f.offset);
                merged.appended.push_back(std::move(a));
            }
    }
    validateUpdate(out);
    return result;
}

std::string MergeConflict::line(const std::vector<MergeInput>& inputs) const
{
    const TableLayout& info = tableLayout(table);
    const ByteField& f = info.fields[field];
    std::vector<std::uint8_t> rec(info.recordSize);
    auto text = [&](const FieldBytes& b) {
        std::copy(b.begin(), b.end(), rec.begin() + f.offset);
        return formatValue(f.info(), 0, rec.data(), nullptr, ValueForm::Raw);
    };
    std::string s = std::string(info.name) + "[" + std::to_string(record) + "]";
    if (!sides.empty() && !sides.front().recordName.empty()) s += " (" + sides.front().recordName + ")";
    s += " " + f.name + ": base " + text(base);
    for (const MergeSide& side : sides) s += "; " + inputs[side.input].name + " " + text(side.value);
    return s + (kept < 0 ? " -> left out"
                         : " -> kept " + inputs[sides[static_cast<std::size_t>(kept)].input].name);
}

}  // namespace db

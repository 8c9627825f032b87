#include "db/editing/BulkChange.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "db/editing/Transfer.h"

namespace db {

namespace {

using Kind = BulkOperation::Kind;

std::string fieldLabel(const FieldInfo& f, int element)
{
    return element >= 0 ? elementName(f, element) : std::string(f.name);
}

// The values a number field of this width and signedness holds.
std::pair<std::int64_t, std::int64_t> rangeOf(const FieldInfo& f)
{
    const int bits = 8 * f.width;
    if (f.isSigned) return {-(std::int64_t{1} << (bits - 1)), (std::int64_t{1} << (bits - 1)) - 1};
    return {0, (std::int64_t{1} << bits) - 1};
}

bool sameCaptions(const FieldInfo& a, const FieldInfo& b)
{
    return std::equal(a.captions.begin(), a.captions.end(), b.captions.begin(), b.captions.end());
}

// Why `op` does not suit its field; empty when it does.
std::string unsuitable(TableId t, const BulkOperation& op)
{
    if (!op.field) return "An operation names no field.";
    const FieldInfo& f = *op.field;
    const auto fields = fieldsOf(t);
    if (&f < fields.data() || &f >= fields.data() + fields.size())
        return std::string(f.name) + " is not a field of " + std::string(tableName(t)) + ".";
    if (std::string why = bulkRefusal(t, f); !why.empty()) return why;
    if (op.element < -1 || op.element >= f.count)
        return std::string(f.name) + " has elements 1 to " + std::to_string(f.count) + ".";
    const std::string name = fieldLabel(f, op.element);
    switch (op.kind) {
        case Kind::Add:
        case Kind::Multiply:
        case Kind::Clamp:
            if (f.kind != FieldKind::Number) return name + " is not a number; it can only be set or copied.";
            if (op.kind == Kind::Clamp && op.low > op.high)
                return "The clamp of " + name + " needs its lower bound first.";
            if (op.kind == Kind::Multiply && (op.number > 100000 * BulkOperation::kPercentScale ||
                                              op.number < -100000 * BulkOperation::kPercentScale))
                return "The percentage for " + name + " must lie between -100000% and 100000%.";
            if (op.kind == Kind::Add &&
                (op.number > (std::int64_t{1} << 40) || op.number < -(std::int64_t{1} << 40)))
                return "The number added to " + name + " is far beyond any field.";
            return {};
        case Kind::Set:
            if (f.kind == FieldKind::Text || f.kind == FieldKind::Number) return {};
            if (op.bytes.size() != f.width) return "The value for " + name + " is not one of its values.";
            return {};
        case Kind::Copy: {
            if (!op.source) return "The copy into " + name + " names no field to copy from.";
            const FieldInfo& s = *op.source;
            if (&s < fields.data() || &s >= fields.data() + fields.size())
                return std::string(s.name) + " is not a field of " + std::string(tableName(t)) + ".";
            if (op.sourceElement < 0 || op.sourceElement >= s.count)
                return std::string(s.name) + " has elements 1 to " + std::to_string(s.count) + ".";
            if (f.count > 1 && op.element < 0)
                return name + " is a list; copy into one element of it, as " + elementName(f, 0) + ".";
            const bool fits = s.kind == f.kind && (f.kind != FieldKind::Reference || s.target == f.target) &&
                              (f.kind != FieldKind::Code || sameCaptions(f, s)) &&
                              f.kind != FieldKind::Bytes && f.kind != FieldKind::Unnamed;
            if (!fits)
                return elementName(s, op.sourceElement) + " cannot be copied into " + name +
                       ": they hold different kinds of values.";
            return {};
        }
    }
    return {};
}

std::int64_t roundedPercent(std::int64_t value, std::int64_t scaled)
{
    constexpr std::int64_t den = 100 * BulkOperation::kPercentScale;
    const std::int64_t n = value * scaled;  // |value| < 2^33 and |scaled| <= 10^9: no overflow
    std::int64_t q = n / den;
    const std::int64_t r = n % den;
    if (2 * (r < 0 ? -r : r) >= den) q += n < 0 ? -1 : 1;
    return q;
}

void putNumber(std::uint8_t* p, std::size_t width, std::int64_t v)
{
    for (std::size_t i = 0; i < width; ++i)
        p[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
}

std::string textIn(const FieldInfo& f, int element, const std::uint8_t* record)
{
    const auto* p = reinterpret_cast<const char*>(record + f.offset + f.width * element);
    std::size_t n = 0;
    while (n < f.width && p[n] != 0) ++n;
    return std::string(p, n);
}

// Works out one record after another, keeping copies of the clubs that the
// transfers and job changes so far have moved.
class Planner {
public:
    Planner(const Database& d, const BulkPlan& plan, std::size_t sampleSize)
        : d_(d), plan_(plan), sampleSize_(sampleSize), namer_(d)
    {
        work_.resize(tableInfo(plan.table).recordSize);
    }

    void record(std::int32_t id, BulkEdits& out)
    {
        const TableId t = plan_.table;
        std::memcpy(work_.data(), recordData(d_, t, static_cast<std::size_t>(id)), work_.size());
        BulkRecordEdits edits{id, {}};
        pendingSample_.clear();
        saved_.clear();
        bool overflow = false;
        std::string refusal;
        for (const BulkOperation& op : plan_.operations) {
            const int first = op.element >= 0 ? op.element : 0;
            const int last = op.element >= 0 ? op.element : op.field->count - 1;
            for (int el = first; el <= last && refusal.empty(); ++el) {
                std::vector<std::uint8_t> bytes;
                if (!compute(op, el, id, bytes, overflow, out)) continue;
                std::uint8_t* at = work_.data() + op.field->offset + op.field->width * el;
                if (std::memcmp(at, bytes.data(), bytes.size()) == 0) continue;
                FieldEdit e{id, op.field, el, std::move(bytes)};
                if (isMirroredField(t, *op.field)) refusal = simulate(e);
                if (!refusal.empty()) break;
                if (pendingSample_.size() + out.preview.sample.size() < sampleSize_) {
                    BulkValueChange c{id,
                                      {},
                                      elementName(*op.field, el),
                                      formatValue(*op.field, el, work_.data(), &d_),
                                      {}};
                    std::memcpy(at, e.bytes.data(), e.bytes.size());
                    c.after = formatValue(*op.field, el, work_.data(), &d_);
                    pendingSample_.push_back(std::move(c));
                } else {
                    std::memcpy(at, e.bytes.data(), e.bytes.size());
                }
                edits.edits.push_back(std::move(e));
            }
            if (!refusal.empty()) break;
        }
        if (!refusal.empty()) {
            out.preview.unchanged.push_back({id, name(id), refusal});
            restoreClubs();
            return;
        }
        if (overflow && plan_.policy != OverflowPolicy::Clamp) {
            ++out.preview.skipped;
            restoreClubs();
            return;
        }
        if (edits.edits.empty()) return;
        ++out.preview.changed;
        out.preview.values += edits.edits.size();
        for (BulkValueChange& c : pendingSample_) {
            c.record = name(id);
            out.preview.sample.push_back(std::move(c));
        }
        out.records.push_back(std::move(edits));
    }

private:
    std::string name(std::int32_t id) const
    {
        std::string n = namer_.name(plan_.table, static_cast<std::size_t>(id));
        return n.empty() ? "#" + std::to_string(id) : n;
    }

    void overflowed(std::int32_t id, const FieldInfo& f, int el, std::string value, bool& overflow,
                    BulkEdits& out)
    {
        overflow = true;
        out.preview.overflows.push_back({id, name(id), elementName(f, el), std::move(value)});
    }

    // The element's new bytes; false when there are none (a Skip or Refuse
    // overflow: the record is left out, but the rest is still worked out so
    // that every value that does not fit is listed).
    bool compute(const BulkOperation& op, int el, std::int32_t id, std::vector<std::uint8_t>& bytes,
                 bool& overflow, BulkEdits& out)
    {
        const FieldInfo& f = *op.field;
        const bool clamp = plan_.policy == OverflowPolicy::Clamp;
        if (f.kind == FieldKind::Number) {
            const std::int64_t old = numberValue(f, el, work_.data());
            std::int64_t v = old;
            switch (op.kind) {
                case Kind::Set:
                    v = op.number;
                    break;
                case Kind::Add:
                    v = old + op.number;
                    break;
                case Kind::Multiply:
                    v = roundedPercent(old, op.number);
                    break;
                case Kind::Clamp:
                    v = std::clamp(old, op.low, op.high);
                    break;
                case Kind::Copy:
                    v = numberValue(*op.source, op.sourceElement, work_.data());
                    break;
            }
            const auto [lo, hi] = rangeOf(f);
            if (v < lo || v > hi) {
                overflowed(id, f, el, std::to_string(v), overflow, out);
                if (!clamp) return false;
                v = std::clamp(v, lo, hi);
            }
            bytes.resize(f.width);
            putNumber(bytes.data(), f.width, v);
            return true;
        }
        if (f.kind == FieldKind::Text) {
            std::string text =
                op.kind == Kind::Copy ? textIn(*op.source, op.sourceElement, work_.data()) : op.text;
            if (text.size() > f.width) {
                overflowed(id, f, el, text, overflow, out);
                if (!clamp) return false;
                text.resize(f.width);
            }
            bytes.assign(f.width, 0);
            std::memcpy(bytes.data(), text.data(), text.size());
            return true;
        }
        if (op.kind == Kind::Copy) {
            const std::uint8_t* from = work_.data() + op.source->offset + op.source->width * op.sourceElement;
            bytes.assign(from, from + f.width);
        } else {
            bytes = op.bytes;
        }
        return true;
    }

    ClubRecord* club(std::int32_t clubId)
    {
        if (!isValidRef(clubId, d_.clubs.size())) return nullptr;
        auto it = clubs_.find(clubId);
        if (it == clubs_.end()) it = clubs_.emplace(clubId, d_.clubs[static_cast<std::size_t>(clubId)]).first;
        if (std::none_of(saved_.begin(), saved_.end(), [&](const auto& s) { return s.first == clubId; }))
            saved_.emplace_back(clubId, it->second);
        return &it->second;
    }

    void restoreClubs()
    {
        for (const auto& [clubId, before] : saved_) clubs_[clubId] = before;
        saved_.clear();
    }

    // The checks applyFieldEdit makes, on the copies; moves the copies on success.
    std::string simulate(const FieldEdit& e)
    {
        auto staff = [&](I32Field f) {
            return static_cast<std::int32_t>(readLittleEndian(work_.data() + f.offset, 4));
        };
        const std::int32_t clubId = staff(StaffRecord::ClubContractedId);
        const int job = work_[StaffRecord::JobForClub.offset];
        const auto value = static_cast<std::int32_t>(readLittleEndian(e.bytes.data(), e.bytes.size()));
        if (e.field->offset == StaffRecord::ClubContractedId.offset)
            return transferRefusal(d_, e.id, value, job, club(clubId), club(value));
        if (e.field->offset == StaffRecord::JobForClub.offset)
            return jobRefusal(e.id, work_[StaffRecord::Classification.offset], job, value, club(clubId));
        return nameRefusal(d_, *e.field, value);
    }

    const Database& d_;
    const BulkPlan& plan_;
    std::size_t sampleSize_;
    RecordNamer namer_;
    std::vector<std::uint8_t> work_;
    std::vector<BulkValueChange> pendingSample_;
    std::unordered_map<std::int32_t, ClubRecord> clubs_;
    std::vector<std::pair<std::int32_t, ClubRecord>> saved_;  // the copies as this record found them
};

}  // namespace

void checkBulkPlan(const BulkPlan& plan)
{
    if (plan.table >= TableId::Count) throw Error("There is no such table.");
    if (plan.operations.empty()) throw Error("Give at least one change to make.");
    for (const BulkOperation& op : plan.operations)
        if (std::string why = unsuitable(plan.table, op); !why.empty()) throw Error(why);
}

BulkEdits planBulkChange(const Database& d, const BulkPlan& plan, std::span<const std::int32_t> ids,
                         std::size_t sampleSize)
{
    checkBulkPlan(plan);
    const std::size_t size = tableSize(d, plan.table);
    std::vector<std::int32_t> order(ids.begin(), ids.end());
    if (!std::is_sorted(order.begin(), order.end())) std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (std::int32_t id : order)
        if (!isValidRef(id, size))
            throw Error(std::string(tableName(plan.table)) + " has no record " + std::to_string(id) + ".");

    BulkEdits out;
    out.table = plan.table;
    out.policy = plan.policy;
    out.preview.records = order.size();
    Planner planner(d, plan, sampleSize);
    for (std::int32_t id : order) planner.record(id, out);
    return out;
}

void touchForBulk(const RecordToucher& touch, const Database& d, const BulkEdits& edits)
{
    for (const BulkRecordEdits& r : edits.records)
        for (const FieldEdit& e : r.edits) touchForEdit(touch, d, edits.table, e);
}

void touchForBulk(ChangeRecorder& r, const Database& d, const BulkEdits& edits)
{
    touchForBulk([&r](TableId t, std::int64_t position) { r.touch(t, position); }, d, edits);
}

BulkResult applyBulkChange(Database& d, const BulkEdits& edits)
{
    const auto& overflows = edits.preview.overflows;
    if (edits.policy == OverflowPolicy::Refuse && !overflows.empty()) {
        std::string list;
        for (std::size_t k = 0; k < overflows.size() && k < 3; ++k)
            list +=
                (k ? "; " : "") + overflows[k].record + " " + overflows[k].field + " " + overflows[k].value;
        throw Error(groupedNumber(overflows.size()) + (overflows.size() == 1 ? " value does" : " values do") +
                    " not fit the field (" + list + (overflows.size() > 3 ? "; ..." : "") +
                    "); nothing was changed. Choose to skip those records or to clamp the values.");
    }
    BulkResult result;
    for (const BulkRecordEdits& r : edits.records) {
        std::size_t made = 0;
        for (const FieldEdit& e : r.edits) {
            const std::string why = applyFieldEdit(d, edits.table, e);
            if (!why.empty()) {
                result.unchanged.push_back(
                    {r.id, RecordNamer(d).name(edits.table, static_cast<std::size_t>(r.id)), why});
                break;
            }
            ++made;
        }
        result.values += made;
        result.changed += made > 0;
    }
    return result;
}

std::string groupedNumber(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

}  // namespace db

#include "db/exchange/Fingerprint.h"

#include <xxhash.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace db {

namespace {

struct StateFree {
    void operator()(XXH3_state_t* s) const { XXH3_freeState(s); }
};

const char* kindOf(TableMatch m)
{
    switch (m) {
        case TableMatch::Same:
            return "the same";
        case TableMatch::Appended:
            return "appended to";
        case TableMatch::Edited:
            return "edited";
        case TableMatch::Shrunk:
            break;
    }
    return "shorter";
}

}  // namespace

std::uint64_t hashRecords(const Database& d, TableId t, std::size_t n)
{
    const std::size_t size = tableLayout(t).recordSize;
    if (n == 0) return XXH3_64bits(nullptr, 0);
    // Most tables hold their records back to back: one call.
    const std::uint8_t* first = recordData(d, t, 0);
    if (recordData(d, t, n - 1) == first + (n - 1) * size) return XXH3_64bits(first, n * size);

    const std::unique_ptr<XXH3_state_t, StateFree> state(XXH3_createState());
    if (!state) throw Error("Out of memory");
    XXH3_64bits_reset(state.get());
    // Others do not (people carry their display names), so their records
    // are gathered into blocks: one hash call per record would cost more than
    // the hashing itself. Both ways hash the same bytes.
    const std::size_t perBlock = std::max<std::size_t>(1, (64u << 10) / size);
    std::vector<std::uint8_t> block(perBlock * size);
    for (std::size_t i = 0; i < n;) {
        const std::size_t k = std::min(perBlock, n - i);
        for (std::size_t j = 0; j < k; ++j)
            std::memcpy(block.data() + j * size, recordData(d, t, i + j), size);
        XXH3_64bits_update(state.get(), block.data(), k * size);
        i += k;
    }
    return XXH3_64bits_digest(state.get());
}

BaseFingerprint fingerprintDatabase(const Database& d)
{
    BaseFingerprint f;
    f.known = true;
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const std::size_t n = tableSize(d, t);
        f.counts[k] = static_cast<std::int64_t>(n);
        f.hashes[k] = hashRecords(d, t, n);
    }
    return f;
}

TableId firstDifference(const BaseFingerprint& a, const BaseFingerprint& b)
{
    for (std::size_t k = 0; k < kTableCount; ++k)
        if (a.counts[k] != b.counts[k] || a.hashes[k] != b.hashes[k]) return static_cast<TableId>(k);
    return TableId::Count;
}

BaseCheck checkBase(const Database& target, const BaseFingerprint& base)
{
    BaseCheck c;
    if (!base.known) return c;
    bool same = true;
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const auto have = static_cast<std::int64_t>(tableSize(target, t));
        TableMatch& m = c.tables[k];
        if (have < base.counts[k] || base.counts[k] < 0)
            m = TableMatch::Shrunk;
        else if (hashRecords(target, t, static_cast<std::size_t>(base.counts[k])) != base.hashes[k])
            m = TableMatch::Edited;
        else
            m = have == base.counts[k] ? TableMatch::Same : TableMatch::Appended;
        same = same && m == TableMatch::Same;
        const bool foreign = m == TableMatch::Shrunk || (!tableLayout(t).written && m != TableMatch::Same);
        if (foreign && c.reason == TableId::Count) c.reason = t;
    }
    c.match = same ? BaseMatch::Same : c.reason != TableId::Count ? BaseMatch::Different : BaseMatch::Edited;
    return c;
}

std::string BaseCheck::describe(const std::string& folder) const
{
    switch (match) {
        case BaseMatch::Unknown:
            return "The update names no base (it was written before updates did); its old values are "
                   "checked against " +
                   folder + " field by field.";
        case BaseMatch::Same:
            return folder + " is the database the update was made from.";
        case BaseMatch::Edited: {
            std::string s = folder + " is the database the update was made from, with other edits (";
            bool first = true;
            for (TableMatch kind : {TableMatch::Edited, TableMatch::Appended}) {
                std::string names;
                for (std::size_t k = 0; k < kTableCount; ++k)
                    if (tables[k] == kind)
                        names += (names.empty() ? "" : ", ") + std::string(tableLayout(TableId(k)).name);
                if (names.empty()) continue;
                s += (first ? "" : "; ") + std::string(kindOf(kind)) + ": " + names;
                first = false;
            }
            return s + "); its old values are checked field by field.";
        }
        case BaseMatch::Different:
            break;
    }
    return folder + " is not the database the update was made from: " + reasonText() + ".";
}

std::string BaseCheck::reasonText() const
{
    const std::size_t k = static_cast<std::size_t>(reason);
    if (k >= kTableCount) return "";
    return std::string("its ") + tableLayout(reason).name +
           (tables[k] == TableMatch::Shrunk ? " have fewer records than the update's base"
                                            : " differ from the update's base") +
           (!tableLayout(reason).written ? " (the editor never changes them)" : "");
}

std::string hashText(std::uint64_t h)
{
    static const char* digits = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) s[static_cast<std::size_t>(i)] = digits[h & 15];
    return s;
}

bool parseHashText(const std::string& text, std::uint64_t& h)
{
    if (text.size() != 16) return false;
    h = 0;
    for (char c : text) {
        int v = -1;
        if (c >= '0' && c <= '9') v = c - '0';
        if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        if (v < 0) return false;
        h = h << 4 | static_cast<std::uint64_t>(v);
    }
    return true;
}

}  // namespace db

#pragma once

// Reading the columns of one table's records in place, for the query, the
// sort and the result columns: no record is copied. Players and non-players
// reach the staff record that owns them (the first whose link names them).

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "db/query/Query.h"

namespace db {

class RecordAccess {
public:
    RecordAccess(const Database& d, TableId t, QueryDate today);

    const Database& database() const { return db_; }
    TableId table() const { return table_; }
    std::size_t size() const { return size_; }

    // The bytes a column reads for record i: the record itself, its owner's
    // staff record, or nullptr when it has no owner.
    const std::uint8_t* source(const Column& c, std::size_t i) const
    {
        if (!c.viaOwner) return base_ + i * stride_;
        const std::int32_t o = owner(i);
        return o < 0 ? nullptr : staffBase_ + static_cast<std::size_t>(o) * staffStride_;
    }
    std::int32_t owner(std::size_t i) const;

    // Element `k` of a number, flag, code, reference or date field as one
    // comparable number: flags as 0 or 1, dates as year * 65536 + day.
    static std::int64_t number(const FieldInfo& f, int k, const std::uint8_t* p);
    // A text field's bytes up to its first NUL.
    static std::string_view text(const FieldInfo& f, const std::uint8_t* p);

    // The record's name (Column::Source::Name), empty when it has none.
    std::string_view name(std::size_t i) const;
    // Whole years on the reference date; nullopt without a birth date to read.
    std::optional<std::int64_t> age(const Column& c, std::size_t i) const;

    // The name of record `id` of `target` as references compare by it.
    std::string_view targetName(TableId target, std::size_t id, std::string& scratch) const;

private:
    const Database& db_;
    TableId table_;
    QueryDate today_;
    const std::uint8_t* base_ = nullptr;
    std::size_t stride_ = 0;
    std::size_t size_ = 0;
    const std::uint8_t* staffBase_ = nullptr;
    std::size_t staffStride_ = sizeof(StaffRecord);
    const FieldInfo* nameField_ = nullptr;  // the text field that names a club or lookup record
    mutable std::vector<std::int32_t> owners_;
    mutable bool ownersBuilt_ = false;
};

}  // namespace db

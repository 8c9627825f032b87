#include "db/query/RecordAccess.h"

namespace db {

RecordAccess::RecordAccess(const Database& d, TableId t, QueryDate today) : db_(d), table_(t), today_(today)
{
    withTable(d, t, [this](const auto& table) {
        using R = typename std::decay_t<decltype(table)>::value_type;
        base_ = table.empty() ? nullptr : table.data()->data();
        stride_ = sizeof(R);
        size_ = table.size();
    });
    if (!d.staff.empty()) staffBase_ = d.staff.data()->data();
    // A club goes by its long name, a lookup record by its one text field.
    if (t != TableId::Staff)
        for (const FieldInfo& f : fieldsOf(t))
            if (f.kind == FieldKind::Text && (t != TableId::Clubs || f.name == "LongName")) {
                nameField_ = &f;
                break;
            }
}

std::int32_t RecordAccess::owner(std::size_t i) const
{
    if (!ownersBuilt_) {
        ownersBuilt_ = true;
        const I32Field link = table_ == TableId::Players ? StaffRecord::PlayerId : StaffRecord::NonPlayerId;
        owners_.assign(size_, -1);
        if (table_ == TableId::Players || table_ == TableId::NonPlayers)
            for (std::size_t s = 0; s < db_.staff.size(); ++s) {
                const std::int32_t id = db_.staff[s].get(link);
                if (isValidRef(id, size_) && owners_[static_cast<std::size_t>(id)] < 0)
                    owners_[static_cast<std::size_t>(id)] = static_cast<std::int32_t>(s);
            }
    }
    return i < owners_.size() ? owners_[i] : -1;
}

std::int64_t RecordAccess::number(const FieldInfo& f, int k, const std::uint8_t* p)
{
    p += f.offset + static_cast<std::size_t>(f.width) * static_cast<std::size_t>(k);
    switch (f.kind) {
        case FieldKind::Flag:
            return *p != 0;
        case FieldKind::Code:
            return *p;
        case FieldKind::Date:
            return static_cast<std::int64_t>(static_cast<std::int16_t>(readLittleEndian(p + 2, 2))) * 65536 +
                   readLittleEndian(p, 2);
        default:
            break;
    }
    const std::uint32_t raw = readLittleEndian(p, f.width);
    if (!f.isSigned) return raw;
    if (f.width == 1) return static_cast<std::int8_t>(raw);
    if (f.width == 2) return static_cast<std::int16_t>(raw);
    return static_cast<std::int32_t>(raw);
}

std::string_view RecordAccess::text(const FieldInfo& f, const std::uint8_t* p)
{
    const char* s = reinterpret_cast<const char*>(p + f.offset);
    std::size_t len = 0;
    while (len < f.width && s[len] != '\0') ++len;
    return {s, len};
}

std::string_view RecordAccess::name(std::size_t i) const
{
    if (i >= size_) return {};
    switch (table_) {
        case TableId::Staff:
            return db_.staff[i].displayName.view();
        case TableId::Players:
        case TableId::NonPlayers: {
            const std::int32_t o = owner(i);
            return o < 0 ? std::string_view() : db_.staff[static_cast<std::size_t>(o)].displayName.view();
        }
        default:
            break;
    }
    return nameField_ ? text(*nameField_, base_ + i * stride_) : std::string_view();
}

std::optional<std::int64_t> RecordAccess::age(const Column& c, std::size_t i) const
{
    const std::uint8_t* p = source(c, i);
    if (!p) return std::nullopt;
    const DateField dob = StaffRecord::DateOfBirth;
    const auto day = static_cast<std::uint16_t>(readLittleEndian(p + dob.offset, 2));
    const auto year = static_cast<std::int16_t>(readLittleEndian(p + dob.offset + 2, 2));
    std::int64_t years = static_cast<std::int64_t>(today_.year) - year;
    if (today_.dayOfYear < day) --years;
    return years;
}

std::string_view RecordAccess::targetName(TableId target, std::size_t id, std::string& scratch) const
{
    switch (target) {
        case TableId::Staff:
            return db_.staff[id].displayName.view();
        case TableId::Clubs:
            scratch = db_.clubs[id].text(ClubRecord::LongName);
            return scratch;
        default:
            break;
    }
    scratch = RecordNamer(db_).name(target, id);
    return scratch;
}

}  // namespace db

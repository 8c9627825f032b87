// The names records go by, as each table's RecordNaming says.

#include "db/format/FieldCatalog.h"

namespace db {

namespace {

// The first text field of table t's records, or nullptr.
const FieldInfo* textFieldOf(TableId t)
{
    for (const FieldInfo& f : fieldsOf(t))
        if (f.kind == FieldKind::Text) return &f;
    return nullptr;
}

// The staff field that links a person to a record of table t (PlayerId,
// NonPlayerId), or nullptr.
const FieldInfo* ownerLinkOf(TableId t)
{
    for (const FieldInfo& f : fieldsOf(TableId::Staff))
        if (f.kind == FieldKind::Number && f.target == t) return &f;
    return nullptr;
}

}  // namespace

std::int64_t RecordNamer::ownerOf(TableId t, std::size_t position) const
{
    const FieldInfo* link = tableInfo(t).naming == RecordNaming::Owner ? ownerLinkOf(t) : nullptr;
    if (!link) return -1;
    std::vector<std::int32_t>& owners = owners_[static_cast<std::size_t>(t)];
    const std::size_t size = tableSize(db_, t);
    if (owners.size() != size) {
        // The staff member of each record: the first whose link names it.
        owners.assign(size, -1);
        const NumField field(link->offset, static_cast<std::uint8_t>(link->width), link->isSigned);
        for (std::size_t i = 0; i < db_.staff.size(); ++i) {
            const std::int64_t id = db_.staff[i].number(field);
            if (isValidRef(id, size) && owners[static_cast<std::size_t>(id)] < 0)
                owners[static_cast<std::size_t>(id)] = static_cast<std::int32_t>(i);
        }
    }
    if (position >= owners.size()) return -1;
    return owners[position];
}

std::string RecordNamer::name(TableId t, std::size_t position) const
{
    if (t >= TableId::Count || position >= tableSize(db_, t)) return {};
    switch (tableInfo(t).naming) {
        case RecordNaming::None:
            return {};
        case RecordNaming::Entry: {
            const TableInfo* described = tableAtEntry(static_cast<int>(position));
            return described ? std::string(described->title) : std::string();
        }
        case RecordNaming::Person:
            return db_.staff[position].displayName;
        case RecordNaming::Owner: {
            const std::int64_t owner = ownerOf(t, position);
            return owner >= 0 ? db_.staff[static_cast<std::size_t>(owner)].displayName : std::string();
        }
        case RecordNaming::Text:
            break;
    }
    const FieldInfo* text = textFieldOf(t);
    if (!text) return {};
    return formatValue(*text, 0, recordData(db_, t, position), &db_, ValueForm::Page);
}

std::int64_t RecordNamer::find(TableId t, std::string_view name) const
{
    if (t >= TableId::Count || name.empty()) return -1;
    std::int64_t found = -1;
    const std::size_t n = tableSize(db_, t);
    for (std::size_t i = 0; i < n; ++i) {
        if (this->name(t, i) != name) continue;
        if (found >= 0) return -2;
        found = static_cast<std::int64_t>(i);
    }
    return found;
}

}  // namespace db

#include "db/exchange/SheetColumns.h"

#include <array>

#include "db/query/Query.h"

namespace db {

namespace {

std::vector<SheetColumn> build(TableId t)
{
    using Role = SheetColumn::Role;
    std::vector<SheetColumn> out;
    const FieldInfo* id = nullptr;
    for (const FieldInfo& f : fieldsOf(t))
        if (f.identifier) id = &f;
    out.push_back({id ? std::string(id->name) : "Id", Role::Id, id, 0});
    const RecordNaming naming = tableInfo(t).naming;
    if (naming == RecordNaming::Person) out.push_back({"Name (read-only)", Role::PersonName});
    if (naming == RecordNaming::Owner) {
        out.push_back({"Owner StaffId (read-only)", Role::OwnerId});
        out.push_back({"Owner name (read-only)", Role::OwnerName});
    }
    for (const FieldInfo& f : fieldsOf(t)) {
        if (!f.named() || f.reserved || f.identifier) continue;
        for (int e = 0; e < f.count; ++e) {
            const std::string name = elementName(f, e);
            out.push_back({name, Role::Value, &f, e});
            if (f.kind == FieldKind::Reference)
                out.push_back({name + " name (read-only)", Role::RecordName, &f, e});
            if (f.kind == FieldKind::Code)
                out.push_back({name + " caption (read-only)", Role::Caption, &f, e});
        }
    }
    return out;
}

}  // namespace

const std::vector<std::string>& sheetTableNames()
{
    return queryTableNames();
}

std::optional<TableId> sheetTableByName(std::string_view name)
{
    return queryTableByName(name);
}

const std::vector<SheetColumn>& sheetColumns(TableId t)
{
    static const std::array<std::vector<SheetColumn>, kTableCount> all = [] {
        std::array<std::vector<SheetColumn>, kTableCount> out;
        for (std::size_t k = 0; k < kTableCount; ++k) out[k] = build(static_cast<TableId>(k));
        return out;
    }();
    static const std::vector<SheetColumn> none;
    return t < TableId::Count ? all[static_cast<std::size_t>(t)] : none;
}

}  // namespace db

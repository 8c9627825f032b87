#include "db/query/WhereUsed.h"

#include "db/query/CheckSupport.h"

namespace db {

namespace {

// The fields that hold records of `target`: references and the attribute
// links shown as numbers.
std::vector<const FieldInfo*> fieldsReferring(TableId from, TableId target)
{
    std::vector<const FieldInfo*> out;
    for (const FieldInfo& f : fieldsOf(from))
        if (f.target == target && f.width == 4 &&
            (f.kind == FieldKind::Reference || f.kind == FieldKind::Number))
            out.push_back(&f);
    return out;
}

}  // namespace

std::string Use::text() const
{
    std::string s =
        std::string(tableLayout(table).name) + "[" + std::to_string(record) + "] " + std::string(field->name);
    if (element >= 0) s += "[" + std::to_string(element) + "]";
    return s;
}

bool isReferenced(TableId t)
{
    for (std::size_t ti = 0; ti < kTableCount; ++ti)
        if (!fieldsReferring(static_cast<TableId>(ti), t).empty()) return true;
    return false;
}

std::vector<Use> whereUsed(const Database& db, TableId target, std::size_t id)
{
    std::vector<Use> uses;
    if (target == TableId::Count || id >= tableSize(db, target)) return uses;
    const auto wanted = static_cast<std::int32_t>(id);
    for (std::size_t ti = 0; ti < kTableCount; ++ti) {
        const auto t = static_cast<TableId>(ti);
        const std::vector<const FieldInfo*> fields = fieldsReferring(t, target);
        if (fields.empty()) continue;
        withTable(db, t, [&](const auto& table) {
            for (std::size_t i = 0; i < table.size(); ++i) {
                const std::uint8_t* bytes = table[i].data();
                for (const FieldInfo* f : fields)
                    for (int k = 0; k < f->count; ++k)
                        if (readI32(bytes + f->offset + 4 * k) == wanted)
                            uses.push_back({t, i, f, f->count > 1 ? k : -1});
            }
        });
    }
    return uses;
}

}  // namespace db

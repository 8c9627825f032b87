// The byte-for-byte view of the field catalog that database updates use.

#include <algorithm>

#include "db/format/FieldCatalog.h"

namespace db {

namespace {

ByteField piece(std::string name, std::size_t offset, std::size_t width, ByteField::Kind kind,
                bool isSigned = false, int refTable = -1, bool selfId = false)
{
    return {std::move(name),
            static_cast<std::uint16_t>(offset),
            static_cast<std::uint16_t>(width),
            kind,
            isSigned,
            refTable,
            selfId};
}

// The catalog's fields of `t` as pieces.
std::vector<ByteField> layoutOf(TableId t)
{
    using K = ByteField::Kind;
    std::vector<ByteField> out;
    for (const FieldInfo& f : fieldsOf(t)) {
        const std::string name(f.name);
        const int ref = f.identifier                 ? static_cast<int>(t)
                        : f.target != TableId::Count ? static_cast<int>(f.target)
                                                     : -1;
        switch (f.kind) {
            case FieldKind::Text:
                out.push_back(piece(name, f.offset, f.width, K::Text));
                break;
            case FieldKind::Bytes:
                out.push_back(piece(name, f.offset, f.width, K::Bytes));
                break;
            case FieldKind::Unnamed:
                out.push_back(piece("Reserved" + std::to_string(f.offset), f.offset, f.width, K::Bytes));
                break;
            case FieldKind::Date:
                out.push_back(piece(name + ".DayOfYear", f.offset, 2, K::Number));
                out.push_back(piece(name + ".Year", f.offset + 2u, 2, K::Number, true));
                out.push_back(piece(name + ".Reserved", f.offset + 4u, 4, K::Bytes));
                break;
            case FieldKind::Number:
            case FieldKind::Flag:
            case FieldKind::Code:
            case FieldKind::Reference:
                for (int k = 0; k < f.count; ++k)
                    out.push_back(piece(elementName(f, k), f.offset + std::size_t(f.width) * k, f.width,
                                        K::Number, f.isSigned, f.width == 4 ? ref : -1, f.identifier));
                break;
        }
    }
    return out;
}

std::vector<TableLayout> buildLayouts()
{
    std::vector<TableLayout> out;
    for (const TableInfo& t : kTables)
        out.push_back({t.id, t.name.data(), t.recordSize, t.entry, t.saved, layoutOf(t.id)});
    return out;
}

}  // namespace

const TableLayout& tableLayout(TableId t)
{
    static const std::vector<TableLayout> layouts = buildLayouts();
    return layouts[static_cast<std::size_t>(t)];
}

const TableLayout* tableByName(std::string_view name)
{
    const TableInfo* t = tableNamed(name);
    return t ? &tableLayout(t->id) : nullptr;
}

FieldInfo ByteField::info() const
{
    switch (kind) {
        case Kind::Number:
            return numberField(name, num());
        case Kind::Text:
            return textField(name, TextField{offset, width});
        case Kind::Bytes:
            break;
    }
    return bytesField(name, BytesField{offset, width});
}

const ByteField* fieldByName(const TableLayout& t, std::string_view name)
{
    for (const ByteField& f : t.fields)
        if (f.name == name) return &f;
    return nullptr;
}

const std::uint8_t* recordData(const Database& d, TableId t, std::size_t i)
{
    return withTable(d, t, [i](const auto& table) -> const std::uint8_t* { return table[i].data(); });
}

std::uint8_t* recordData(Database& d, TableId t, std::size_t i)
{
    return withTable(d, t, [i](auto& table) -> std::uint8_t* { return table[i].data(); });
}

void pushRecord(Database& d, TableId t, const std::uint8_t* bytes)
{
    withTable(d, t, [bytes](auto& table) {
        table.emplace_back();
        std::copy_n(bytes, table.back().bytes.size(), table.back().bytes.data());
    });
}

}  // namespace db

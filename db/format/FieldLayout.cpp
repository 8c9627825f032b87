// The byte-for-byte view of the field catalog that database updates use.

#include <algorithm>
#include <cstdlib>

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

// The catalog's fields of `t` as pieces, with the gaps between them filled.
std::vector<ByteField> layoutOf(TableId t, std::size_t size)
{
    using K = ByteField::Kind;
    std::vector<FieldInfo> fields(fieldsOf(t).begin(), fieldsOf(t).end());
    std::sort(fields.begin(), fields.end(),
              [](const FieldInfo& a, const FieldInfo& b) { return a.offset < b.offset; });
    std::vector<ByteField> out;
    std::size_t at = 0;
    auto gap = [&](std::size_t to) {
        if (to > at) out.push_back(piece("Reserved" + std::to_string(at), at, to - at, K::Bytes));
    };
    for (const FieldInfo& f : fields) {
        // Overlapping fields or fields past the record are a programming error.
        if (f.offset < at || f.end() > size) std::abort();
        gap(f.offset);
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
        at = f.end();
    }
    gap(size);
    return out;
}

struct Shape {
    const char* name;
    std::size_t size;
    int entry;
};

Shape shapeOf(TableId t)
{
    switch (t) {
        case TableId::Index:
            return {"index", IndexEntry::Size, -1};
        case TableId::Cities:
            return {"cities", CityRecord::Size, Entry::Cities};
        case TableId::Clubs:
            return {"clubs", ClubRecord::Size, Entry::Clubs};
        case TableId::ClubComps:
            return {"competitions", ClubCompRecord::Size, Entry::ClubComps};
        case TableId::Colours:
            return {"colours", ColourRecord::Size, Entry::Colours};
        case TableId::FirstNames:
            return {"first-names", NameRecord::Size, Entry::FirstNames};
        case TableId::SecondNames:
            return {"second-names", NameRecord::Size, Entry::SecondNames};
        case TableId::CommonNames:
            return {"common-names", NameRecord::Size, Entry::CommonNames};
        case TableId::Nations:
            return {"nations", NationRecord::Size, Entry::Nations};
        case TableId::Stadiums:
            return {"stadiums", StadiumRecord::Size, Entry::Stadiums};
        case TableId::Staff:
            return {"staff", StaffRecord::Size, Entry::Staff};
        case TableId::StaffExtra:
            return {"staff-extra", StaffExtraRecord::Size, Entry::StaffExtra};
        case TableId::NonPlayers:
            return {"non-players", NonPlayerRecord::Size, Entry::NonPlayers};
        case TableId::Players:
        case TableId::Count:
            break;
    }
    return {"players", PlayerRecord::Size, Entry::Players};
}

std::vector<TableLayout> buildLayouts()
{
    std::vector<TableLayout> out;
    for (std::size_t k = 0; k < kTableCount; ++k) {
        const auto t = static_cast<TableId>(k);
        const Shape s = shapeOf(t);
        out.push_back({t, s.name, s.size, s.entry, isSavedTable(t), layoutOf(t, s.size)});
    }
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
    for (std::size_t k = 0; k < kTableCount; ++k)
        if (name == tableLayout(static_cast<TableId>(k)).name) return &tableLayout(static_cast<TableId>(k));
    return nullptr;
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

#include "Export.h"

#include <algorithm>

#include "db/format/Codes.h"
#include "db/format/FieldCatalog.h"
#include "db/rules/Win1252.h"

namespace cli {

namespace {

using db::Database;
using db::FieldInfo;
using db::FieldKind;
using db::TableId;

// Collects one row; the first row also names the columns.
class Row {
public:
    Row(ExportTable& table, bool header) : table_(table), header_(header) {}
    ~Row()
    {
        if (!header_) table_.rows.push_back(std::move(cells_));
    }
    bool header() const { return header_; }

    void cell(const std::string& column, Cell value)
    {
        if (header_)
            table_.columns.push_back(column);
        else
            cells_.push_back(std::move(value));
    }

private:
    ExportTable& table_;
    bool header_;
    std::vector<Cell> cells_;
};

Cell utf8(const std::string& raw)
{
    return Cell(db::win1252ToUtf8(raw));
}

// The columns of a reference: the field's name, and the name of the record
// it names ("NationId", "NationName"; "FirstNameId", "FirstName"). List
// elements are numbered: "DirectorId1", "DirectorName1" for a list named
// "...Ids", "RivalClub1", "RivalClubName1" for one in the plural,
// "FavouriteStaff1", "FavouriteStaffName1" otherwise.
std::pair<std::string, std::string> referenceColumns(const FieldInfo& f, int element)
{
    const std::string_view name = f.name;
    if (f.count == 1) {
        const std::string_view base = name.ends_with("Id") ? name.substr(0, name.size() - 2) : name;
        return {std::string(name), std::string(base) + (base.ends_with("Name") ? "" : "Name")};
    }
    const std::string n = std::to_string(element + 1);
    if (name.ends_with("Ids")) {
        const std::string base(name.substr(0, name.size() - 3));
        return {base + "Id" + n, base + "Name" + n};
    }
    const std::string base(name.ends_with("s") ? name.substr(0, name.size() - 1) : name);
    return {base + n, base + "Name" + n};
}

// The person named by a record: his staff position and display name.
void person(Row& row, const Database& db, const std::string& idColumn, const std::string& nameColumn,
            std::int64_t staff)
{
    const bool known = db::isValidRef(staff, db.staff.size());
    row.cell(idColumn, known ? Cell(staff) : Cell());
    row.cell(nameColumn, known ? utf8(db.staff[static_cast<std::size_t>(staff)].displayName) : Cell());
}

// The cells of record i of table t (`rec` its bytes; a zeroed record for
// the header), one or two per field the catalog names and does not reserve:
// references followed by the name of their record, codes by their caption,
// flags as 0 or 1, dates as the staff page shows them. The identifier comes
// first, or the record's position ("Id") in a table without one; people are
// followed by their display name, attribute records by their owner.
void fill(Row& row, const Database& db, const db::RecordNamer& namer, TableId t, std::size_t i,
          const std::uint8_t* rec)
{
    const std::span<const FieldInfo> fields = db::fieldsOf(t);
    const db::RecordNaming naming = db::tableInfo(t).naming;
    // The identifier first, then the fields in record order.
    std::vector<const FieldInfo*> order;
    for (const FieldInfo& f : fields)
        if (f.identifier) order.push_back(&f);
    if (order.empty()) row.cell("Id", static_cast<std::int64_t>(i));
    for (const FieldInfo& f : fields)
        if (!f.identifier) order.push_back(&f);
    for (const FieldInfo* field : order) {
        const FieldInfo& f = *field;
        if (f.reserved) continue;
        const std::string name(f.name);
        switch (f.kind) {
            case FieldKind::Number:
                row.cell(name, db::numberValue(f, 0, rec));
                break;
            case FieldKind::Text:
                row.cell(name, utf8(db::formatValue(f, 0, rec, nullptr)));
                break;
            case FieldKind::Date:
                row.cell(name, db::formatValue(f, 0, rec, nullptr));
                break;
            case FieldKind::Flag:
                row.cell(name, std::int64_t{db::numberValue(f, 0, rec) != 0});
                break;
            case FieldKind::Code: {
                // A code past the caption table has no caption, so its column
                // shows the code itself rather than nothing.
                const std::int64_t v = db::numberValue(f, 0, rec);
                row.cell(name, v);
                const auto k = static_cast<std::size_t>(v);
                row.cell(name + "Name",
                         std::string(k < f.captions.size() ? f.captions[k] : std::to_string(v)));
                break;
            }
            case FieldKind::Reference:
                for (int e = 0; e < f.count; ++e) {
                    const auto [idColumn, nameColumn] = referenceColumns(f, e);
                    const std::int64_t v = db::numberValue(f, e, rec);
                    row.cell(idColumn, v);
                    const bool named = !row.header() && db::isValidRef(v, db::tableSize(db, f.target));
                    row.cell(nameColumn,
                             named ? utf8(namer.name(f.target, static_cast<std::size_t>(v))) : Cell());
                }
                break;
            case FieldKind::Bytes:
            case FieldKind::Unnamed:
                break;
        }
        if (!f.identifier) continue;
        if (naming == db::RecordNaming::Person)
            row.cell("Name", row.header() ? Cell() : utf8(db.staff[i].displayName));
        if (naming == db::RecordNaming::Owner)
            person(row, db, "StaffId", "StaffName", row.header() ? -1 : namer.ownerOf(t, i));
    }
}

ExportTable build(const Database& db, TableId t)
{
    ExportTable out;
    const db::RecordNamer namer(db);
    {
        const std::vector<std::uint8_t> zero(db::tableInfo(t).recordSize);
        Row header(out, true);
        fill(header, db, namer, t, 0, zero.data());
    }
    const std::size_t n = db::tableSize(db, t);
    out.rows.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        Row row(out, false);
        fill(row, db, namer, t, i, db::recordData(db, t, i));
    }
    return out;
}

}  // namespace

const std::vector<std::string>& exportTableNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const TableId t : db::kExportOrder) out.emplace_back(db::tableInfo(t).name);
        return out;
    }();
    return names;
}

std::optional<ExportTable> exportTable(const Database& db, std::string_view name)
{
    const db::TableInfo* t = db::tableNamed(name);
    if (!t || t->exportOrder < 0) return std::nullopt;
    return build(db, t->id);
}

std::string formatDate(std::uint16_t dayOfYear, std::int16_t year)
{
    return db::formatGameDate(dayOfYear, year);
}

}  // namespace cli

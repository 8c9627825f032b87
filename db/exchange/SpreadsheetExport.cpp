#include "db/exchange/SpreadsheetExport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ostream>
#include <set>

#include "db/rules/Win1252.h"

namespace db {

namespace {

using Role = SheetColumn::Role;

// The cells of one record after another, the names of referenced records
// converted to UTF-8 once per table.
class SheetRows {
public:
    SheetRows(const Database& d, TableId t) : d_(d), t_(t), namer_(d), columns_(sheetColumns(t)) {}

    const std::vector<SheetColumn>& columns() const { return columns_; }

    void fill(std::size_t i, std::vector<Cell>& cells)
    {
        cells.resize(columns_.size());
        const std::uint8_t* rec = recordData(d_, t_, i);
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const SheetColumn& col = columns_[c];
            Cell& cell = cells[c];
            switch (col.role) {
                case Role::Id:
                    setNumber(cell, static_cast<std::int64_t>(i));
                    break;
                case Role::Value:
                    value(cell, *col.field, col.element, rec);
                    break;
                case Role::RecordName: {
                    const std::int64_t v = numberValue(*col.field, col.element, rec);
                    if (isValidRef(v, tableSize(d_, col.field->target)))
                        setText(cell, nameOf(col.field->target, static_cast<std::size_t>(v)));
                    else
                        cell.kind = Cell::Kind::Empty;
                    break;
                }
                case Role::Caption: {
                    const auto k = static_cast<std::size_t>(numberValue(*col.field, 0, rec));
                    if (k < col.field->captions.size() && !col.field->captions[k].empty())
                        setText(cell, col.field->captions[k]);
                    else
                        cell.kind = Cell::Kind::Empty;
                    break;
                }
                case Role::PersonName:
                    setText(cell, nameOf(TableId::Staff, i));
                    break;
                case Role::OwnerId:
                case Role::OwnerName: {
                    const std::int64_t owner = namer_.ownerOf(t_, i);
                    if (owner < 0)
                        cell.kind = Cell::Kind::Empty;
                    else if (col.role == Role::OwnerId)
                        setNumber(cell, owner);
                    else
                        setText(cell, nameOf(TableId::Staff, static_cast<std::size_t>(owner)));
                    break;
                }
            }
        }
    }

private:
    static void setNumber(Cell& c, std::int64_t n)
    {
        c.kind = Cell::Kind::Number;
        c.number = n;
    }
    static void setText(Cell& c, std::string_view s)
    {
        c.kind = Cell::Kind::Text;
        c.text.assign(s);
    }

    static void value(Cell& cell, const FieldInfo& f, int element, const std::uint8_t* rec)
    {
        switch (f.kind) {
            case FieldKind::Number:
            case FieldKind::Flag:
            case FieldKind::Code:
            case FieldKind::Reference:
                setNumber(cell, numberValue(f, element, rec));
                return;
            case FieldKind::Text: {
                const char* p = reinterpret_cast<const char*>(rec + f.offset);
                cell.kind = Cell::Kind::Text;
                cell.text.clear();
                for (std::size_t k = 0; k < f.width && p[k] != 0; ++k) {
                    const auto b = static_cast<std::uint8_t>(p[k]);
                    if (b < 0x80) {
                        cell.text += p[k];
                    } else {
                        const char16_t u = win1252ToUnicode(b);
                        if (u < 0x800) {
                            cell.text += static_cast<char>(0xC0 | (u >> 6));
                        } else {
                            cell.text += static_cast<char>(0xE0 | (u >> 12));
                            cell.text += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                        }
                        cell.text += static_cast<char>(0x80 | (u & 0x3F));
                    }
                }
                return;
            }
            case FieldKind::Date:
            case FieldKind::Bytes:
            case FieldKind::Unnamed:
                setText(cell, formatValue(f, element, rec, nullptr));
                return;
        }
    }

    const std::string& nameOf(TableId target, std::size_t id)
    {
        auto& names = names_[static_cast<std::size_t>(target)];
        const std::size_t n = tableSize(d_, target);
        if (names.size() != n) {
            names.resize(n);
            for (std::size_t k = 0; k < n; ++k) names[k] = win1252ToUtf8(namer_.name(target, k));
        }
        return names[id];
    }

    const Database& d_;
    TableId t_;
    RecordNamer namer_;
    const std::vector<SheetColumn>& columns_;
    std::array<std::vector<std::string>, kTableCount> names_;
};

template <typename F>
void forEachRecord(const Database& d, TableId t, const RecordSelection& which, F&& f)
{
    const std::size_t n = tableSize(d, t);
    if (which.all) {
        for (std::size_t i = 0; i < n; ++i) f(i);
        return;
    }
    for (const std::int32_t id : which.ids)
        if (isValidRef(id, n)) f(static_cast<std::size_t>(id));
}

void appendCsvField(std::string& out, std::string_view text)
{
    // Quoted also when it begins or ends with a space or tab, which some
    // readers drop from unquoted cells.
    const bool padded = !text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                                          text.back() == '\t');
    if (!padded && text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendNumber(std::string& out, std::int64_t n)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, r.ptr);
}

void appendCsvRow(std::string& out, const std::vector<Cell>& row)
{
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i) out += ',';
        if (row[i].kind == Cell::Kind::Number)
            appendNumber(out, row[i].number);
        else if (row[i].kind == Cell::Kind::Text)
            appendCsvField(out, row[i].text);
    }
    out += "\r\n";
}

void appendJsonString(std::string& out, std::string_view s)
{
    static const char* hex = "0123456789abcdef";
    out += '"';
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 15];
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
}

void appendJsonRow(std::string& out, const std::vector<std::string>& columns, const std::vector<Cell>& row,
                   bool first)
{
    out += first ? "\n  {" : ",\n  {";
    for (std::size_t i = 0; i < row.size() && i < columns.size(); ++i) {
        if (i) out += ", ";
        appendJsonString(out, columns[i]);
        out += ": ";
        if (row[i].kind == Cell::Kind::Number)
            appendNumber(out, row[i].number);
        else if (row[i].kind == Cell::Kind::Text)
            appendJsonString(out, row[i].text);
        else
            out += "null";
    }
    out += '}';
}

std::vector<std::string> headers(TableId t)
{
    std::vector<std::string> out;
    for (const SheetColumn& c : sheetColumns(t)) out.push_back(c.header);
    return out;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::vector<std::int32_t> changedRecords(const std::vector<ChangeEntry>& changes, TableId t)
{
    std::set<std::int32_t> ids;
    for (const ChangeEntry& e : changes)
        if (e.table == t) ids.insert(static_cast<std::int32_t>(e.record));
    return {ids.begin(), ids.end()};
}

std::string exportCsv(const Database& d, TableId t, const RecordSelection& which)
{
    std::string out(kByteOrderMark);
    std::vector<Cell> header;
    for (const std::string& h : headers(t)) header.emplace_back(h);
    appendCsvRow(out, header);
    SheetRows rows(d, t);
    std::vector<Cell> cells;
    // Room for the whole file, judged from its first rows: growing a large
    // string by doubling costs more than writing it.
    const std::size_t total = which.all ? tableSize(d, t) : which.ids.size();
    std::size_t written = 0;
    const std::size_t start = out.size();
    forEachRecord(d, t, which, [&](std::size_t i) {
        rows.fill(i, cells);
        appendCsvRow(out, cells);
        if (++written == 256 && total > written)
            out.reserve(out.size() + (out.size() - start) / written * (total - written) * 21 / 20);
    });
    return out;
}

std::string exportJson(const Database& d, TableId t, const RecordSelection& which)
{
    const std::vector<std::string> columns = headers(t);
    std::string out = "[";
    SheetRows rows(d, t);
    std::vector<Cell> cells;
    bool first = true;
    forEachRecord(d, t, which, [&](std::size_t i) {
        rows.fill(i, cells);
        appendJsonRow(out, columns, cells, first);
        first = false;
    });
    out += first ? "]\n" : "\n]\n";
    return out;
}

ExportTable exportTable(const Database& d, TableId t, const RecordSelection& which)
{
    ExportTable out;
    out.columns = headers(t);
    SheetRows rows(d, t);
    forEachRecord(d, t, which, [&](std::size_t i) { rows.fill(i, out.rows.emplace_back()); });
    return out;
}

const std::vector<std::string>& exportTableNames()
{
    return sheetTableNames();
}

std::optional<ExportTable> exportTable(const Database& d, std::string_view name)
{
    const auto t = sheetTableByName(name);
    if (!t) return std::nullopt;
    return exportTable(d, *t);
}

void writeCsv(const ExportTable& table, std::ostream& out, bool byteOrderMark)
{
    std::string s(byteOrderMark ? kByteOrderMark : "");
    std::vector<Cell> header;
    for (const std::string& h : table.columns) header.emplace_back(h);
    appendCsvRow(s, header);
    for (const auto& row : table.rows) appendCsvRow(s, row);
    out << s;
}

void writeJson(const ExportTable& table, std::ostream& out)
{
    std::string s = "[";
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        appendJsonRow(s, table.columns, table.rows[r], r == 0);
    s += table.rows.empty() ? "]\n" : "\n]\n";
    out << s;
}

std::string formatDate(std::uint16_t dayOfYear, std::int16_t year)
{
    return formatGameDate(dayOfYear, year);
}

}  // namespace db

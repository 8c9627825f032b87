// Writing an exported table as CSV or JSON.

#include <ostream>

#include "Export.h"
#include "db/rules/TextRules.h"

namespace cli {

namespace {

std::string cellText(const Cell& c)
{
    switch (c.kind) {
        case Cell::Kind::Number:
            return std::to_string(c.number);
        case Cell::Kind::Text:
            return c.text;
        case Cell::Kind::Empty:
            break;
    }
    return {};
}

std::string jsonString(const std::string& s)
{
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (char ch : s) {
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
    return out;
}

}  // namespace

void writeCsv(const ExportTable& table, std::ostream& out)
{
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        out << (i ? "," : "") << db::csvField(table.columns[i]);
    out << "\r\n";
    for (const auto& row : table.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) out << (i ? "," : "") << db::csvField(cellText(row[i]));
        out << "\r\n";
    }
}

void writeJson(const ExportTable& table, std::ostream& out)
{
    out << "[";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        out << (r ? ",\n  {" : "\n  {");
        const auto& row = table.rows[r];
        for (std::size_t i = 0; i < row.size() && i < table.columns.size(); ++i) {
            out << (i ? ", " : "") << jsonString(table.columns[i]) << ": ";
            const Cell& c = row[i];
            if (c.kind == Cell::Kind::Number)
                out << c.number;
            else if (c.kind == Cell::Kind::Text)
                out << jsonString(c.text);
            else
                out << "null";
        }
        out << "}";
    }
    out << (table.rows.empty() ? "]\n" : "\n]\n");
}

}  // namespace cli

#include "db/exchange/SheetReader.h"

#include <csv.h>

#include <array>
#include <exception>
#include <memory>

#include "db/format/Database.h"
#include "db/rules/Win1252.h"

namespace db {

namespace {

constexpr std::string_view kMark = "\xEF\xBB\xBF";

// The separator of the header line: the one of comma, semicolon and tab met
// most often outside quotes (a comma when none is).
char sniffSeparator(std::string_view text)
{
    std::array<std::size_t, 3> seen{};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        if (c == ',') ++seen[0];
        if (c == ';') ++seen[1];
        if (c == '\t') ++seen[2];
    }
    if (seen[1] > seen[0] && seen[1] >= seen[2]) return ';';
    if (seen[2] > seen[0] && seen[2] > seen[1]) return '\t';
    return ',';
}

// Collects the fields of a row from libcsv's callbacks and hands on each
// complete row with its number.
struct Rows {
    const SheetRowFunction& out;
    std::string buffer;             // the row's cells back to back
    std::vector<std::size_t> ends;  // where each cell ends in buffer
    std::vector<std::string_view> cells;
    std::size_t number = 1;      // the row being read
    int lastEnd = 0;             // the character that ended the last line
    std::exception_ptr failure;  // thrown by `out`: no exception may cross libcsv's C frames

    static void field(void* s, std::size_t len, void* data)
    {
        auto* r = static_cast<Rows*>(data);
        if (len > 0) r->buffer.append(static_cast<const char*>(s), len);
        r->ends.push_back(r->buffer.size());
    }

    static void rowEnd(int c, void* data)
    {
        auto* r = static_cast<Rows*>(data);
        if (r->ends.empty()) {
            // The LF of a CRLF, or a blank line.
            if (!(c == '\n' && r->lastEnd == '\r') && c != -1) ++r->number;
            r->lastEnd = c;
            return;
        }
        r->lastEnd = c;
        r->cells.clear();
        std::size_t start = 0;
        bool blank = true;
        for (const std::size_t end : r->ends) {
            r->cells.emplace_back(r->buffer.data() + start, end - start);
            blank = blank && end == start;
            start = end;
        }
        if (!blank && !r->failure) {
            try {
                r->out(r->number, r->cells);
            } catch (...) {
                r->failure = std::current_exception();
            }
        }
        ++r->number;
        r->buffer.clear();
        r->ends.clear();
    }
};

// Spaces and tabs are part of the cell: libcsv would drop them around
// unquoted cells, and a name may begin or end with one.
int noSpace(unsigned char)
{
    return 0;
}

struct ParserDeleter {
    void operator()(csv_parser* p) const
    {
        csv_free(p);
        delete p;
    }
};

}  // namespace

bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len = 0;
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i < len) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

SheetFormat readSheet(std::string_view bytes, const SheetRowFunction& row)
{
    SheetFormat format;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        throw Error("The file is UTF-16 text; save the sheet as CSV (UTF-8 or Windows-1252)");
    std::string converted;
    if (bytes.starts_with(kMark)) {
        bytes.remove_prefix(kMark.size());
        format.encoding = SheetFormat::Encoding::Utf8WithMark;
    } else if (!isValidUtf8(bytes)) {
        converted = win1252ToUtf8(bytes);
        bytes = converted;
        format.encoding = SheetFormat::Encoding::Windows1252;
    }

    format.separator = sniffSeparator(bytes);
    bool sepLine = false;
    if (bytes.size() >= 5 && bytes.starts_with("sep=") &&
        (bytes.size() == 5 || bytes[5] == '\r' || bytes[5] == '\n')) {
        format.separator = bytes[4];
        std::size_t skip = 5;
        if (skip < bytes.size() && bytes[skip] == '\r') ++skip;
        if (skip < bytes.size() && bytes[skip] == '\n') ++skip;
        bytes.remove_prefix(skip);
        sepLine = true;
    }
    if (sepLine && format.separator != ',' && format.separator != ';' && format.separator != '\t')
        throw Error("Row 1: the separator line names neither a comma, a semicolon nor a tab");

    std::unique_ptr<csv_parser, ParserDeleter> parser(new csv_parser);
    if (csv_init(parser.get(), CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) {
        delete parser.release();
        throw Error("Out of memory reading the file");
    }
    csv_set_delim(parser.get(), static_cast<unsigned char>(format.separator));
    csv_set_space_func(parser.get(), noSpace);
    Rows rows{row, {}, {}, {}, 1, 0, nullptr};
    const std::size_t done =
        csv_parse(parser.get(), bytes.data(), bytes.size(), Rows::field, Rows::rowEnd, &rows);
    const bool read = done == bytes.size() && csv_fini(parser.get(), Rows::field, Rows::rowEnd, &rows) == 0;
    if (rows.failure) std::rethrow_exception(rows.failure);
    if (!read) {
        const bool open = csv_error(parser.get()) == CSV_EPARSE;
        throw Error("Row " + std::to_string(rows.number) + ": " +
                    (open
                         ? "a quote is out of place (a quoted cell must be closed, and a quote inside a cell "
                           "doubled)"
                         : std::string(csv_strerror(csv_error(parser.get())))));
    }
    return format;
}

}  // namespace db

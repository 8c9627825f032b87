#include "Find.h"

#include <algorithm>
#include <ostream>

#include "Args.h"
#include "Cli.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/query/Query.h"
#include "db/rules/Win1252.h"

namespace cli {

const char* const kFindHelp =
    "Usage: quarndb-cli find GAMEDIR TABLE [WHERE] [--columns A,B,...] [--sort [-]A,...]\n"
    "                        [--format table|csv|json] [--date YYYY-MM-DD]\n"
    "Lists the records of TABLE that the condition WHERE matches (every record\n"
    "without one), the record's identifier first, then the columns. WHERE is\n"
    "conditions on any field by its name in the field catalog (Wage,\n"
    "ClubContractedId, PlayerIds for any element, PlayerIds[3] for one) joined\n"
    "with and, or, not and parentheses; keywords in any case. For example:\n"
    "  Wage > 5000 and Nation = \"Brazil\" and Age < 21\n"
    "  Cash between 0 and 1000000 or Division is none\n"
    "  Name contains \"jose\" and Club in (\"Man Utd\", 12)\n"
    "Operators: = <> < <= > >=, between A and B, in (A, B, ...), contains \"...\",\n"
    "starts with \"...\" (text compared without case or accents), is none and\n"
    "is not none (a reference that names no record); not before between, in,\n"
    "contains and starts with. A reference compares with a number by identifier\n"
    "and with text by the name of the record it names. Dates are \"d/m/y\" or\n"
    "\"YYYY-MM-DD\". Name is the display name and Age the whole years on --date\n"
    "(1998-07-01 when not given, the start of the game's first season); Nation and\n"
    "Club stand for NationId and ClubContractedId, and players and non-players also\n"
    "have the fields of their staff record. Several WHERE words are joined with\n"
    "spaces.\n"
    "  --columns A,B,...  the columns to show (a sensible set per table by default)\n"
    "  --sort [-]A,...    sort by these columns in turn, '-' for descending\n"
    "  --format F         table (the default), csv (as 'export' writes it) or json\n"
    "  --date YYYY-MM-DD  the date ages are counted on\n"
    "TABLE is one of: clubs staff players non-players nations stadiums cities\n"
    "competitions colours first-names second-names common-names\n"
    "Exit status: 0 matches found, 1 none, 2 a bad query (its position and what\n"
    "was expected there), bad arguments or a database that cannot be read.\n";

namespace {

int badText(std::ostream& err, const std::string& what, const db::QueryError& e)
{
    err << "quarndb-cli: bad " << what << " at position " << e.position() + 1 << ": " << e.message() << "\n";
    return kExitError;
}

std::size_t width(const std::string& utf8)
{
    return static_cast<std::size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void writeTable(const db::ExportTable& t, std::ostream& out)
{
    std::vector<std::vector<std::string>> cells;
    std::vector<std::size_t> widths;
    for (const std::string& c : t.columns) widths.push_back(width(c));
    for (const auto& row : t.rows) {
        std::vector<std::string>& line = cells.emplace_back();
        for (std::size_t i = 0; i < row.size(); ++i) {
            line.push_back(row[i].kind == db::Cell::Kind::Number ? std::to_string(row[i].number)
                                                                 : row[i].text);
            widths[i] = std::max(widths[i], width(line.back()));
        }
    }
    auto put = [&](const std::vector<std::string>& line) {
        std::string s;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i) s += "  ";
            s += line[i];
            if (i + 1 < line.size()) s.append(widths[i] - width(line[i]), ' ');
        }
        out << s << "\n";
    };
    put(t.columns);
    for (const auto& line : cells) put(line);
}

}  // namespace

int findCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CommandArgs a("find", false);
    std::string columnsText, sortText, format = "table", dateText;
    a.option("--columns", columnsText, "--columns needs a list of columns");
    a.option("--sort", sortText, "--sort needs a list of columns");
    a.option("--format", format, "--format needs table, csv or json");
    a.option("--date", dateText, "--date needs a date as YYYY-MM-DD");
    if (!a.parse(args, err)) return kExitError;
    const auto& pos = a.positional();
    if (pos.size() < 2) return usageError(err, "find needs GAMEDIR and TABLE", "find");
    const auto table = db::queryTableByName(pos[1]);
    if (!table) return usageError(err, "unknown table '" + pos[1] + "'", "find");
    if (format != "table" && format != "csv" && format != "json")
        return usageError(err, "unknown format '" + format + "' (table, csv or json)", "find");
    db::QueryDate date = db::kDefaultReferenceDate;
    if (!dateText.empty()) {
        const auto d = db::parseQueryDate(dateText);
        if (!d) return usageError(err, "--date needs a date as YYYY-MM-DD, not '" + dateText + "'", "find");
        date = *d;
    }
    std::string where;
    for (std::size_t i = 2; i < pos.size(); ++i) where += (i > 2 ? " " : "") + pos[i];

    // The query and the columns are read before the database is.
    db::Query query;
    std::vector<db::Column> columns;
    std::vector<db::SortKey> sort;
    try {
        query = db::Query::parse(*table, where);
    } catch (const db::QueryError& e) {
        return badText(err, "query", e);
    }
    try {
        columns = columnsText.empty() ? db::defaultColumns(*table) : db::parseColumns(*table, columnsText);
    } catch (const db::QueryError& e) {
        return badText(err, "--columns", e);
    }
    try {
        if (!sortText.empty()) sort = db::parseSort(*table, sortText);
    } catch (const db::QueryError& e) {
        return badText(err, "--sort", e);
    }
    columns.insert(columns.begin(), db::resolveColumn(*table, "Id"));

    db::Database d;
    if (!openDatabase(pos[0], d, err)) return kExitError;
    std::vector<std::int32_t> ids = query.run(d, date);
    db::sortRecords(d, *table, ids, sort, date);

    db::ExportTable result;
    for (const db::Column& c : columns) result.columns.push_back(c.name);
    const db::ColumnReader reader(d, *table, date);
    result.rows.reserve(ids.size());
    for (std::int32_t id : ids) {
        std::vector<db::Cell>& row = result.rows.emplace_back();
        for (const db::Column& c : columns) {
            if (!db::columnIsNumber(c)) {
                row.push_back(db::Cell(db::win1252ToUtf8(reader.text(c, id))));
            } else if (const auto n = reader.number(c, id)) {
                row.push_back(db::Cell(*n));
            } else {
                row.push_back(db::Cell());  // a player nobody owns has no wage to show
            }
        }
    }
    if (format == "csv")
        db::writeCsv(result, out);
    else if (format == "json")
        db::writeJson(result, out);
    else
        writeTable(result, out);
    return ids.empty() ? kExitProblems : kExitOk;
}

}  // namespace cli

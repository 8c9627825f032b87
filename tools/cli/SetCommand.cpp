#include "SetCommand.h"

#include <numeric>
#include <ostream>

#include "Args.h"
#include "Cli.h"
#include "WriteFolder.h"
#include "db/editing/BulkChange.h"
#include "db/query/Query.h"
#include "db/rules/Win1252.h"
#include "db/storage/Backup.h"
#include "db/storage/Recovery.h"

namespace cli {

const char* const kSetHelp =
    "Usage: quarndb-cli set GAMEDIR TABLE WHERE --set CHANGE [--set CHANGE ...]\n"
    "                       [--clamp|--skip] [--dry-run]\n"
    "Changes fields of every record of TABLE that WHERE matches, and saves the\n"
    "data files the way the editor saves them, after a dated backup copy of the\n"
    "originals. WHERE is a condition as 'find' takes it, or all for every record.\n"
    "Each CHANGE is one of:\n"
    "  Field=VALUE        a number, or \"text\" in double quotes (a quote inside\n"
    "                     written twice): a text field's text, a referenced\n"
    "                     record's name, a code's caption or a date as d/m/y\n"
    "                     (also <none>, Yes and No unquoted)\n"
    "  Field+=N, Field-=N add or subtract a whole number\n"
    "  Field*=P%          multiply by P percent (up to 4 decimals), rounded to a\n"
    "                     whole number half away from zero\n"
    "  Field=clamp(LO,HI) bring the value into LO..HI\n"
    "  Field=OtherField   copy another field of the same record\n"
    "Fields are named as 'find' names them (Nation, Club, PlayerIds[3]; a list\n"
    "without [k] means each element). The changes are made in the order given,\n"
    "record by record. A staff member's club is changed as a transfer (keeping\n"
    "his job; a club without a free place for it leaves him where he is), his\n"
    "job moves his places at his club, and his names move their usage counts.\n"
    "Fields that other records mirror (a club's staff places, the links to\n"
    "attribute records, usage counts), identifiers and reserved bytes are\n"
    "refused. A value that does not fit its field is never wrapped:\n"
    "  --clamp    store the nearest value the field holds (text is cut)\n"
    "  --skip     leave the records with such a value unchanged\n"
    "Without either, such values are listed and nothing is written.\n"
    "  --dry-run  show what would change and write nothing\n"
    "TABLE is one of: clubs staff players non-players stadiums first-names\n"
    "second-names common-names (the others are never saved).\n"
    "Exit status: 0 changed (or would change, or nothing needed changing), 1 no\n"
    "record matches, 2 bad arguments, a bad query or change, a refused field,\n"
    "values that do not fit, an unreadable folder or a failed save.\n";

namespace {

constexpr std::size_t kListed = 20;

int fail(std::ostream& err, const std::string& message)
{
    err << "quarndb-cli: " << message << "\n";
    return kExitError;
}

std::string utf8(const std::string& raw)
{
    return db::win1252ToUtf8(raw);
}

// What the plan does, as the preview says it.
void report(const db::BulkPreview& p, const std::string& tableTitle, std::ostream& out)
{
    out << db::groupedNumber(p.records) << " " << tableTitle << " matched; " << db::groupedNumber(p.changed)
        << (p.changed == 1 ? " record changes" : " records change") << " (" << db::groupedNumber(p.values)
        << (p.values == 1 ? " value" : " values") << ").\n";
    for (const db::BulkValueChange& c : p.sample)
        out << "  " << utf8(c.record) << ": " << c.field << " " << utf8(c.before) << " -> " << utf8(c.after)
            << "\n";
    if (p.changed > 0 && p.sample.size() < p.values) out << "  ...\n";
    auto listed = [&](std::size_t n) {
        if (n > kListed) out << "  ... and " << db::groupedNumber(n - kListed) << " more\n";
    };
    if (!p.overflows.empty()) {
        out << db::groupedNumber(p.overflows.size())
            << (p.overflows.size() == 1 ? " value does" : " values do") << " not fit the field:\n";
        for (std::size_t k = 0; k < p.overflows.size() && k < kListed; ++k)
            out << "  " << utf8(p.overflows[k].record) << ": " << p.overflows[k].field << " "
                << utf8(p.overflows[k].value) << "\n";
        listed(p.overflows.size());
    }
    if (!p.unchanged.empty()) {
        out << db::groupedNumber(p.unchanged.size())
            << (p.unchanged.size() == 1 ? " record is" : " records are") << " left unchanged:\n";
        for (std::size_t k = 0; k < p.unchanged.size() && k < kListed; ++k)
            out << "  " << utf8(p.unchanged[k].record) << ": " << utf8(p.unchanged[k].reason) << "\n";
        listed(p.unchanged.size());
    }
}

}  // namespace

int setCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> changes;
    bool clamp = false, skip = false, dryRun = false;
    CommandArgs a("set", false);
    a.repeated("--set", changes, "--set needs a change, as Wage+=500");
    a.flag("--clamp", clamp);
    a.flag("--skip", skip);
    a.flag("--dry-run", dryRun);
    if (!a.parse(args, err)) return kExitError;
    const auto& pos = a.positional();
    if (pos.size() < 3)
        return usageError(err, "set needs GAMEDIR, TABLE and WHERE (a condition, or all)", "set");
    const std::string& dir = pos[0];
    const auto table = db::queryTableByName(pos[1]);
    if (!table) return usageError(err, "unknown table '" + pos[1] + "'", "set");
    if (changes.empty()) return usageError(err, "set needs at least one --set CHANGE", "set");
    if (clamp && skip) return usageError(err, "--clamp and --skip cannot be given together", "set");
    std::string where;
    for (std::size_t i = 2; i < pos.size(); ++i) where += (i > 2 ? " " : "") + pos[i];
    const bool all = where == "all" || where == "ALL" || where == "All";
    if (!all && where.find_first_not_of(' ') == std::string::npos)
        return usageError(err, "WHERE is empty; give a condition, or all for every record", "set");

    db::Query query;
    if (!all) {
        try {
            query = db::Query::parse(*table, where);
        } catch (const db::QueryError& e) {
            return fail(err,
                        "bad query at position " + std::to_string(e.position() + 1) + ": " + e.message());
        }
    }

    db::Database d;
    if (!openForWriting(dir, d, err)) return kExitError;

    db::BulkPlan plan{*table,
                      {},
                      clamp  ? db::OverflowPolicy::Clamp
                      : skip ? db::OverflowPolicy::Skip
                             : db::OverflowPolicy::Refuse};
    try {
        for (const std::string& c : changes) plan.operations.push_back(db::parseBulkOperation(d, *table, c));
    } catch (const db::Error& e) {
        return fail(err, utf8(e.what()) + " Nothing was written.");
    }

    std::vector<std::int32_t> ids;
    if (all) {
        ids.resize(db::tableSize(d, *table));
        std::iota(ids.begin(), ids.end(), 0);
    } else {
        ids = query.run(d);
    }
    const std::string title = db::queryTableName(*table);
    if (ids.empty()) {
        err << "quarndb-cli: no record of " << title << " matches; nothing was written.\n";
        return kExitProblems;
    }

    db::BulkEdits edits;
    try {
        edits = db::planBulkChange(d, plan, ids);
    } catch (const db::Error& e) {
        return fail(err, utf8(e.what()) + " Nothing was written.");
    }
    report(edits.preview, title, out);
    if (const auto& over = edits.preview.overflows;
        plan.policy == db::OverflowPolicy::Refuse && !over.empty()) {
        std::string first;
        for (std::size_t k = 0; k < over.size() && k < 3; ++k)
            first += (k ? "; " : "") + utf8(over[k].record) + " " + over[k].field + " " + utf8(over[k].value);
        return fail(err, db::groupedNumber(over.size()) + (over.size() == 1 ? " value does" : " values do") +
                             " not fit the field (" + first + (over.size() > 3 ? "; ..." : "") +
                             "); nothing was written. Use --clamp or --skip.");
    }
    // The undo step's caption without its "Change All: ".
    std::string caption = utf8(db::bulkCaption(d, plan, edits.preview.changed));
    caption.erase(0, caption.find(": ") + 2);
    if (dryRun) {
        out << "Would change: " << caption << ". Nothing was written.\n";
        return kExitOk;
    }
    if (edits.records.empty()) {
        out << "Nothing needed changing; nothing was written.\n";
        return kExitOk;
    }

    try {
        db::applyBulkChange(d, edits);
    } catch (const db::Error& e) {
        return fail(err, "cannot change " + dir + ": " + utf8(e.what()));
    }
    return saveFolder(d, dir, "Changed: " + caption + ".", out, err) ? kExitOk : kExitError;
}

}  // namespace cli

#include "MergeCommand.h"

#include <filesystem>
#include <fstream>
#include <ostream>

#include "Cli.h"
#include "db/exchange/Merge.h"
#include "db/exchange/json/MergeJson.h"
#include "db/exchange/json/UpdateJson.h"
#include "db/rules/Win1252.h"

namespace cli {

const char* const kMergeHelp =
    "Usage: quarndb-cli merge BASEDIR UPDATE... -o OUT [--prefer first|last|none]\n"
    "                         [--report FILE]\n"
    "Merges updates written by 'diff' from the database of BASEDIR into one\n"
    "update, OUT, which applies like any other. Each update must have been made\n"
    "from BASEDIR: its fingerprint and every old value it holds must match.\n"
    "Changes are merged field by field. The records several updates append are\n"
    "all kept, in the order the updates are given, with their identifiers\n"
    "renumbered and every reference to them inside each update following. A\n"
    "field two updates change to different values is a conflict:\n"
    "  --prefer first  keep the value of the first update given that changes it\n"
    "  --prefer last   keep the value of the last one\n"
    "  --prefer none   leave the field out (the default)\n"
    "Every conflict is printed with the base's and each update's value, and a\n"
    "JSON report of the merge (conflicts, renumbered records) is written to\n"
    "OUT.report.json, or FILE. Name usage counts add up and never conflict.\n"
    "BASEDIR is only read.\n"
    "Exit status: 0 merged, 2 bad arguments, an unreadable folder, or an update\n"
    "that is damaged or was not made from BASEDIR (nothing is written then).\n";

namespace {

int fail(std::ostream& err, const std::string& message)
{
    err << "quarndb-cli: " << message << "\n"
        << "Run 'quarndb-cli merge --help' for usage.\n";
    return kExitError;
}

bool writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    return file.write(text.data(), static_cast<std::streamsize>(text.size())) && file.flush();
}

std::string plural(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int mergeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> positional;
    std::string outFile, reportFile, prefer = "none";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output" || a == "--prefer" || a == "--report") {
            if (i + 1 >= args.size()) return fail(err, a + " needs a value");
            (a == "--prefer" ? prefer : a == "--report" ? reportFile : outFile) = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return fail(err, "unknown option '" + a + "'");
        } else {
            positional.push_back(a);
        }
    }
    db::MergePolicy policy = db::MergePolicy::None;
    if (prefer == "first")
        policy = db::MergePolicy::First;
    else if (prefer == "last")
        policy = db::MergePolicy::Last;
    else if (prefer != "none")
        return fail(err, "--prefer takes first, last or none, not '" + prefer + "'");
    if (positional.size() < 2) return fail(err, "merge needs BASEDIR and at least one UPDATE");
    if (outFile.empty()) return fail(err, "merge needs -o OUT");
    if (reportFile.empty()) reportFile = outFile + ".report.json";

    // The updates first: a damaged one is named before the folder is read.
    std::vector<db::MergeInput> inputs;
    for (std::size_t i = 1; i < positional.size(); ++i) {
        try {
            inputs.push_back({positional[i], db::readUpdateFile(positional[i])});
        } catch (const db::Error& e) {
            err << "quarndb-cli: " << positional[i] << ": " << e.what() << "\nNothing was written.\n";
            return kExitError;
        }
    }
    db::Database base;
    if (!openDatabase(positional[0], base, err)) return kExitError;

    db::MergeResult result;
    std::string text, report;
    try {
        result = db::mergeUpdates(base, inputs, policy);
        text = db::encodeUpdate(result.merged);
        report = db::encodeMergeReport(positional[0], policy, inputs, result);
    } catch (const db::Error& e) {
        err << "quarndb-cli: " << db::win1252ToUtf8(e.what()) << "\nNothing was written.\n";
        return kExitError;
    }
    if (!writeFile(outFile, text) || !writeFile(reportFile, report)) {
        std::error_code ec;
        std::filesystem::remove(std::filesystem::path(outFile), ec);
        std::filesystem::remove(std::filesystem::path(reportFile), ec);
        err << "quarndb-cli: cannot write " << outFile << " or " << reportFile << "\n";
        return kExitError;
    }

    for (const db::Renumbering& r : result.renumbered)
        out << "renumbered: " << inputs[r.input].name << " " << db::tableLayout(r.table).name << "[" << r.from
            << ".." << r.from + r.count - 1 << "] -> [" << r.to << ".." << r.to + r.count - 1 << "]\n";
    for (const db::MergeConflict& c : result.conflicts)
        out << "conflict: " << db::win1252ToUtf8(c.line(inputs)) << "\n";
    const db::UpdateCounts n = db::countUpdate(result.merged);
    out << "Merged " << plural(inputs.size(), "update", "updates") << ": "
        << plural(n.changedFields, "field", "fields") << " in "
        << plural(n.changedRecords, "record", "records") << " changed, "
        << plural(n.appendedRecords, "record", "records") << " appended; "
        << plural(result.conflicts.size(), "conflict", "conflicts");
    if (!result.conflicts.empty())
        out << (policy == db::MergePolicy::None    ? " (left out)"
                : policy == db::MergePolicy::First ? " (the first update's value kept)"
                                                   : " (the last update's value kept)");
    out << ".\nWritten to " << outFile << "; the report to " << reportFile << ".\n";
    return kExitOk;
}

}  // namespace cli

#include "ImportCommand.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "Args.h"
#include "Cli.h"
#include "WriteFolder.h"
#include "db/exchange/SheetColumns.h"
#include "db/exchange/SpreadsheetImport.h"
#include "db/rules/Win1252.h"
#include "db/storage/Backup.h"
#include "db/storage/Recovery.h"

namespace cli {

const char* const kImportHelp =
    "Usage: quarndb-cli import GAMEDIR TABLE FILE [--dry-run]\n"
    "Reads FILE, a spreadsheet saved as CSV (as 'export' writes it, or edited in a\n"
    "spreadsheet program), into TABLE of GAMEDIR. The identifier column says which\n"
    "record each row changes; any other columns export writes may be present, in\n"
    "any order, and the read-only ones are skipped. Cells are separated by commas,\n"
    "semicolons or tabs (taken from the header line); the text is UTF-8, with or\n"
    "without a byte-order mark, or Windows-1252. A row with an empty identifier\n"
    "adds a club or a staff member (who needs a Classification and a JobForClub)\n"
    "as Edit > Add New does, then takes the row's values.\n"
    "Every row is checked before anything changes: unknown or repeated columns,\n"
    "identifiers not in the table or repeated, numbers that do not parse or fit,\n"
    "bad dates and codes, references to no record, text too long for its field or\n"
    "without a Windows-1252 form, fields the editor never changes from a list.\n"
    "On any fault the faults are listed (the first hundred, then how many) and\n"
    "nothing is written. Otherwise the changes are listed and the data files saved\n"
    "the way the editor saves them, after a dated backup copy of the originals.\n"
    "  --dry-run  check and list the changes; write nothing\n"
    "TABLE is one of: clubs staff players non-players nations stadiums cities\n"
    "competitions colours first-names second-names common-names (only the tables\n"
    "the editor saves can change).\n"
    "Exit status: 0 applied (or a dry run found no fault), 2 faults in the file,\n"
    "bad arguments, an unreadable folder or file, or a failed save.\n";

int importCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    bool dryRun = false;
    CommandArgs a("import", false);
    a.flag("--dry-run", dryRun);
    if (!a.parse(args, err)) return kExitError;
    const std::vector<std::string>& positional = a.positional();
    if (positional.size() != 3) return usageError(err, "import needs GAMEDIR, TABLE and FILE", "import");
    const std::string& dir = positional[0];
    const auto table = db::sheetTableByName(positional[1]);
    if (!table) return usageError(err, "unknown table '" + positional[1] + "'", "import");

    std::ifstream in(std::filesystem::path(positional[2]), std::ios::binary);
    if (!in) {
        err << "quarndb-cli: " << positional[2] << ": cannot read the file\n";
        return kExitError;
    }
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        err << "quarndb-cli: " << positional[2] << ": cannot read the file\n";
        return kExitError;
    }

    db::Database target;
    if (!openForWriting(dir, target, err)) return kExitError;

    const db::ImportPlan plan = db::planImport(target, *table, file);
    if (!plan.ok()) {
        for (const db::ImportFault& f : plan.faults) err << db::faultLine(f) << "\n";
        if (plan.faultCount > plan.faults.size())
            err << "... and " << plan.faultCount - plan.faults.size() << " more.\n";
        err << "quarndb-cli: " << plan.faultCount << (plan.faultCount == 1 ? " fault" : " faults") << " in "
            << positional[2] << "; nothing was written.\n";
        return kExitError;
    }
    for (const db::ChangeText& c : plan.changes)
        out << db::win1252ToUtf8(
                   c.table + " " + c.record + " " + c.name + ": " + c.field +
                   (c.oldValue.empty() && c.newValue.empty() ? "" : " " + c.oldValue + " -> " + c.newValue))
            << "\n";
    const std::string counts = std::to_string(plan.rows) + (plan.rows == 1 ? " row" : " rows") + ", " +
                               std::to_string(plan.changedRecords) + " records changed, " +
                               std::to_string(plan.newRecords) + " added";
    if (dryRun) {
        out << "Would import: " << counts << ". Nothing was written.\n";
        return kExitOk;
    }
    if (plan.step.empty()) {
        out << "Nothing to change: " << counts << ". Nothing was written.\n";
        return kExitOk;
    }
    try {
        db::applyImport(target, plan);
    } catch (const db::Error& e) {
        err << "quarndb-cli: cannot import into " << dir << ": " << e.what() << "\n";
        return kExitError;
    }
    return saveFolder(target, dir, "Imported: " + counts + ".", out, err) ? kExitOk : kExitError;
}

}  // namespace cli

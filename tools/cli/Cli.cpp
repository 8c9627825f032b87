#include "Cli.h"

#include <filesystem>
#include <iomanip>
#include <ostream>

#include "Check.h"
#include "Export.h"
#include "Load.h"
#include "MergeCommand.h"
#include "Recover.h"
#include "UpdateCommands.h"
#include "db/query/Search.h"
#include "db/rules/Win1252.h"

namespace cli {

namespace {

const char* const kProgram = "quarndb-cli";

const char* const kUsage =
    "Usage: quarndb-cli COMMAND GAMEDIR [ARGUMENTS]\n"
    "Inspect, check, export and search a Championship Manager 3 database, and\n"
    "write and apply updates of it.\n"
    "GAMEDIR is the game's installation folder, the one that holds the data folder.\n"
    "Only 'apply' and 'recover' write to a game folder (apply the way the editor\n"
    "saves, after a backup).\n"
    "\n"
    "Commands:\n"
    "  info GAMEDIR                         the index entries, table and file sizes\n"
    "  check GAMEDIR                        report damaged records and files\n"
    "  export GAMEDIR TABLE [--format csv|json]\n"
    "                                       print every record of a table\n"
    "  search GAMEDIR staff|clubs TEXT      find staff or clubs by name\n"
    "  diff OLDGAMEDIR NEWGAMEDIR [-o FILE] write the update from one database to another\n"
    "  apply GAMEDIR UPDATE [--dry-run] [--force]\n"
    "                                       apply an update to a database\n"
    "  merge BASEDIR UPDATE... -o OUT [--prefer first|last|none]\n"
    "                                       merge updates made from one database\n"
    "  recover GAMEDIR                      finish or undo an interrupted save\n"
    "\n"
    "Run 'quarndb-cli COMMAND --help' for more about a command.\n";

const char* const kInfoHelp =
    "Usage: quarndb-cli info GAMEDIR\n"
    "Prints the 22 entries of data/index.dat (record count and table offset), the\n"
    "size of each table and of each data file, and whether the four tables of\n"
    "staff.dat lie back to back as their offsets say. Reads only the index and\n"
    "the file sizes, so it works on databases too damaged to load.\n"
    "Exit status: 0, or 2 when the index cannot be read.\n";

const char* const kCheckHelp =
    "Usage: quarndb-cli check GAMEDIR\n"
    "Loads the database and prints one line per problem, as TABLE[RECORD] FIELD: what.\n"
    "Looks for identifiers that differ from their record's position; club staff\n"
    "slots holding someone contracted elsewhere or in a job the slot does not\n"
    "hold; people contracted to a club that lists them in no slot;\n"
    "classifications whose PlayerId or NonPlayerId link is missing or outside its\n"
    "table; two people sharing one attribute record; name usage counts that\n"
    "disagree with the staff using the name; staff.dat table offsets that disagree\n"
    "with the layout; files shorter than the index counts need. First of all it\n"
    "looks for a save that was interrupted: one that left the files between the\n"
    "old and the new set is reported as such, and the records are not checked\n"
    "('quarndb-cli recover' makes the folder whole); leftovers are reported.\n"
    "Then lists, apart, references outside their table: the game and the editor\n"
    "read them as none, like -1, -2 and the table's count, so they are no damage.\n"
    "Exit status: 0 no damage, 1 damage found, 2 the database could not be read.\n";

std::string exportHelp()
{
    std::string s =
        "Usage: quarndb-cli export GAMEDIR TABLE [--format csv|json]\n"
        "Prints every record of TABLE on standard output, one column per field.\n"
        "References are followed by the name of the record they name (empty or null\n"
        "when they name none), coded fields by their caption (the code itself when it\n"
        "has none), dates are day/month/year as the editor shows them, and text is\n"
        "UTF-8. CSV (the default) follows RFC 4180 with CRLF line ends; JSON is an\n"
        "array of objects.\n"
        "TABLE is one of:";
    for (const std::string& t : exportTableNames()) s += " " + t;
    s += "\nExit status: 0, or 2 on bad arguments or a database that cannot be read.\n";
    return s;
}

const char* const kSearchHelp =
    "Usage: quarndb-cli search GAMEDIR staff|clubs TEXT\n"
    "Lists the staff whose name, or the clubs whose long name (else short name),\n"
    "contains TEXT, with the letters a-z matched in either case, exactly as the\n"
    "editor's Search buttons do. Prints one 'IDENTIFIER<TAB>NAME' line per match.\n"
    "Exit status: 0 matches found, 1 none, 2 bad arguments or unreadable database.\n";

bool isHelp(const std::string& a)
{
    return a == "--help" || a == "-h" || a == "help";
}

int usageError(std::ostream& err, const std::string& message, const char* command)
{
    err << kProgram << ": " << message << "\n";
    err << "Run '" << kProgram << (command ? std::string(" ") + command : std::string())
        << " --help' for usage.\n";
    return kExitError;
}

// The folder must exist; a data folder given in place of the game folder is
// a common slip worth naming.
bool gameFolderExists(const std::string& dir, std::ostream& err)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        err << kProgram << ": " << dir << ": no such folder\n";
        return false;
    }
    if (!std::filesystem::exists(std::filesystem::path(gameFilePath(dir, "index.dat")), ec) &&
        std::filesystem::exists(std::filesystem::path(dir) / "index.dat", ec)) {
        err << kProgram << ": " << dir
            << " looks like the data folder itself; give the game folder that holds it\n";
        return false;
    }
    return true;
}

bool openIndex(const std::string& dir, db::Database& db, std::ostream& err)
{
    if (!gameFolderExists(dir, err)) return false;
    std::string error;
    if (!readGameIndex(dir, db, error)) {
        err << kProgram << ": cannot read the index of " << dir << ": " << error << "\n";
        return false;
    }
    return true;
}

}  // namespace

bool openDatabase(const std::string& dir, db::Database& db, std::ostream& err)
{
    if (!openIndex(dir, db, err)) return false;
    std::string error;
    if (!loadGameTables(dir, db, error)) {
        err << kProgram << ": cannot load " << dir << ": " << error << "\n"
            << "Run '" << kProgram << " check' to see what is wrong.\n";
        return false;
    }
    return true;
}

namespace {

// ---- info -------------------------------------------------------------------

const char* tableName(int entry)
{
    switch (entry) {
        case db::Entry::Clubs:
            return "clubs";
        case db::Entry::Colours:
            return "colours";
        case db::Entry::Nations:
            return "nations";
        case db::Entry::Stadiums:
            return "stadiums";
        case db::Entry::Staff:
            return "staff";
        case db::Entry::StaffExtra:
            return "staff-extra";
        case db::Entry::NonPlayers:
            return "non-players";
        case db::Entry::Players:
            return "players";
        case db::Entry::Cities:
            return "cities";
        case db::Entry::ClubComps:
            return "competitions";
        case db::Entry::FirstNames:
            return "first-names";
        case db::Entry::SecondNames:
            return "second-names";
        case db::Entry::CommonNames:
            return "common-names";
        default:
            return "-";
    }
}

const char* fileOf(int entry)
{
    for (const DataFile& f : dataFiles())
        for (int k : f.entries)
            if (k == entry) return f.name;
    return "-";
}

int info(const std::string& dir, std::ostream& out, std::ostream& err)
{
    db::Database db;
    if (!openIndex(dir, db, err)) return kExitError;
    const FileSizes sizes = readFileSizes(dir);

    // One separator throughout, whatever the folder was typed with.
    const std::string index = std::filesystem::path(gameFilePath(dir, "index.dat")).make_preferred().string();
    out << "Index: " << index << "\n\n";
    out << std::left << std::setw(6) << "entry" << std::setw(14) << "table" << std::setw(18) << "file"
        << std::right << std::setw(12) << "count" << std::setw(12) << "offset" << std::setw(8) << "bytes"
        << std::setw(14) << "table size"
        << "\n";
    for (int k = 0; k < db::Entry::Count; ++k) {
        const db::IndexEntry& e = db.entry(k);
        const std::int32_t count = e.get(db::IndexEntry::RecordCount);
        const std::size_t size = recordSize(k);
        out << std::left << std::setw(6) << k << std::setw(14) << tableName(k) << std::setw(18) << fileOf(k)
            << std::right << std::setw(12) << count << std::setw(12) << e.get(db::IndexEntry::TableOffset);
        if (size > 0)
            out << std::setw(8) << size << std::setw(14)
                << (count > 0 ? static_cast<std::int64_t>(count) * static_cast<std::int64_t>(size) : 0);
        out << "\n";
    }

    out << "\nFiles:\n";
    for (const auto& [name, size] : sizes) {
        out << "  " << std::left << std::setw(18) << name << std::right;
        if (size)
            out << std::setw(12) << *size << " bytes\n";
        else
            out << std::setw(12) << "missing"
                << "\n";
    }

    bool backToBack = true;
    for (int k = db::Entry::StaffExtra; k <= db::Entry::Players; ++k)
        if (db.entry(k).get(db::IndexEntry::TableOffset) != expectedStaffOffset(db, k)) backToBack = false;
    out << "\nStaff tables back to back: " << (backToBack ? "yes" : "no") << "\n";
    if (!backToBack)
        for (int k = db::Entry::StaffExtra; k <= db::Entry::Players; ++k)
            out << "  entry " << k << ": TableOffset " << db.entry(k).get(db::IndexEntry::TableOffset)
                << ", tables before it end at " << expectedStaffOffset(db, k) << "\n";
    return kExitOk;
}

// ---- check ------------------------------------------------------------------

int check(const std::string& dir, std::ostream& out, std::ostream& err)
{
    if (!gameFolderExists(dir, err)) return kExitError;
    int found = 0;
    if (reportInterruptedSave(dir, out, found)) return kExitProblems;
    db::Database db;
    if (!openIndex(dir, db, err)) return kExitError;
    std::vector<Problem> problems = checkLayout(db, readFileSizes(dir));

    std::string error;
    if (!loadGameTables(dir, db, error)) {
        // A file too short for its counts, or a table placed outside its
        // file, stops the loader; that is the problem to report. Any other
        // failure means we could not read.
        if (problems.empty()) {
            err << kProgram << ": cannot load " << dir << ": " << error << "\n";
            return kExitError;
        }
        for (const Problem& p : problems) out << p.line() << "\n";
        out << problems.size() << (problems.size() == 1 ? " problem" : " problems")
            << " found; loading stopped (" << error << "), so the records were not checked.\n";
        return kExitProblems;
    }

    // Damage first, and only damage decides the exit status; then the
    // references that merely read as none.
    std::vector<Problem> notes;
    for (Problem& p : checkRecords(db)) (p.readsAsNone ? notes : problems).push_back(std::move(p));
    for (const Problem& p : problems) out << db::win1252ToUtf8(p.line()) << "\n";
    const std::size_t total = problems.size() + static_cast<std::size_t>(found);
    if (total == 0)
        out << "No problems found.\n";
    else
        out << total << (total == 1 ? " problem" : " problems") << " found.\n";
    if (!notes.empty()) {
        out << notes.size() << (notes.size() == 1 ? " reference names" : " references name")
            << " no record and will read as none:\n";
        for (const Problem& p : notes) out << db::win1252ToUtf8(p.line()) << "\n";
    }
    return total == 0 ? kExitOk : kExitProblems;
}

// ---- export -----------------------------------------------------------------

int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string dir, table, format = "csv";
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--format") {
            if (i + 1 >= args.size()) return usageError(err, "--format needs csv or json", "export");
            format = args[++i];
        } else if (a.rfind("--format=", 0) == 0) {
            format = a.substr(9);
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(err, "unknown option '" + a + "'", "export");
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return usageError(err, "export needs GAMEDIR and TABLE", "export");
    dir = positional[0];
    table = positional[1];
    if (format != "csv" && format != "json")
        return usageError(err, "unknown format '" + format + "' (csv or json)", "export");
    bool known = false;
    for (const std::string& t : exportTableNames()) known = known || t == table;
    if (!known) return usageError(err, "unknown table '" + table + "'", "export");

    db::Database db;
    if (!openDatabase(dir, db, err)) return kExitError;
    const auto rows = exportTable(db, table);
    if (format == "json")
        writeJson(*rows, out);
    else
        writeCsv(*rows, out);
    return kExitOk;
}

// ---- search -----------------------------------------------------------------

int search(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 4) return usageError(err, "search needs GAMEDIR, staff or clubs, and TEXT", "search");
    const std::string& dir = args[1];
    const std::string& what = args[2];
    if (what != "staff" && what != "clubs")
        return usageError(err, "search looks for staff or clubs, not '" + what + "'", "search");

    db::Database db;
    if (!openDatabase(dir, db, err)) return kExitError;
    const std::string needle = db::utf8ToWin1252(args[3]);
    const bool staff = what == "staff";
    const std::vector<std::int32_t> found = staff ? db::searchStaff(db, needle) : db::searchClubs(db, needle);
    for (std::int32_t id : found) {
        const auto i = static_cast<std::size_t>(id);
        const std::string name = staff ? db.staff[i].displayName : db.clubs[i].text(db::ClubRecord::LongName);
        out << id << "\t" << db::win1252ToUtf8(name) << "\n";
    }
    return found.empty() ? kExitProblems : kExitOk;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << kUsage;
        return kExitError;
    }
    const std::string& command = args[0];
    if (isHelp(command)) {
        out << kUsage;
        return kExitOk;
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] != "--help" && args[i] != "-h") continue;
        if (command == "info")
            out << kInfoHelp;
        else if (command == "check")
            out << kCheckHelp;
        else if (command == "export")
            out << exportHelp();
        else if (command == "search")
            out << kSearchHelp;
        else if (command == "diff")
            out << kDiffHelp;
        else if (command == "apply")
            out << kApplyHelp;
        else if (command == "merge")
            out << kMergeHelp;
        else if (command == "recover")
            out << kRecoverHelp;
        else
            break;
        return kExitOk;
    }

    if (command == "info" || command == "check") {
        if (args.size() != 2) return usageError(err, command + " needs exactly one GAMEDIR", command.c_str());
        return command == "info" ? info(args[1], out, err) : check(args[1], out, err);
    }
    if (command == "recover") {
        if (args.size() != 2) return usageError(err, "recover needs exactly one GAMEDIR", "recover");
        return gameFolderExists(args[1], err) ? recover(args[1], out, err) : kExitError;
    }
    if (command == "export") return exportCommand(args, out, err);
    if (command == "search") return search(args, out, err);
    if (command == "diff") return diffCommand(args, out, err);
    if (command == "apply") return applyCommand(args, out, err);
    if (command == "merge") return mergeCommand(args, out, err);
    return usageError(err, "unknown command '" + command + "'", nullptr);
}

}  // namespace cli

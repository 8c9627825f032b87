#include "Cli.h"

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <ostream>

#include "Args.h"
#include "Check.h"
#include "Find.h"
#include "ImportCommand.h"
#include "Load.h"
#include "MergeCommand.h"
#include "Recover.h"
#include "Refs.h"
#include "SetCommand.h"
#include "UpdateCommands.h"
#include "Version.h"
#include "db/exchange/SpreadsheetExport.h"
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
    "Only 'apply', 'set', 'import' and 'recover' write to a game folder (apply,\n"
    "set and import the way the editor saves, after a backup).\n"
    "\n"
    "Commands:\n"
    "  info GAMEDIR                         the index entries, table and file sizes\n"
    "  check GAMEDIR                        report damaged records and files\n"
    "  export GAMEDIR TABLE [--format csv|json]\n"
    "                                       print every record of a table\n"
    "  search GAMEDIR staff|clubs TEXT      find staff or clubs by name\n"
    "  find GAMEDIR TABLE [WHERE] [--columns A,B] [--sort [-]A] [--format table|csv|json]\n"
    "                                       the records a condition on any field matches\n"
    "  refs GAMEDIR TABLE ID                list the fields that refer to one record\n"
    "  diff OLDGAMEDIR NEWGAMEDIR [-o FILE]\n"
    "                                       write the update from one database to another\n"
    "  apply GAMEDIR UPDATE [--dry-run] [--force]\n"
    "                                       apply an update to a database\n"
    "  merge BASEDIR UPDATE... -o OUT [--prefer first|last|none]\n"
    "                                       merge updates made from one database\n"
    "  set GAMEDIR TABLE WHERE --set CHANGE... [--clamp|--skip] [--dry-run]\n"
    "                                       change a field of every matching record\n"
    "  import GAMEDIR TABLE FILE [--dry-run]\n"
    "                                       check a spreadsheet file and read it into a table\n"
    "  recover GAMEDIR                      finish or undo an interrupted save\n"
    "\n"
    "Options:\n"
    "  -h, --help                           print this help, or a command's help after it\n"
    "  --version                            print the version\n"
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
    "Loads the database and prints one line per problem, as\n"
    "GRADE TABLE[RECORD] FIELD: what. GRADE is 'damage' (the game may crash or\n"
    "misread), 'inconsistent' (two records disagree) or 'unusual' (a value the\n"
    "game's own database never holds).\n"
    "Damage: identifiers that differ from their record's position;\n"
    "classifications whose PlayerId or NonPlayerId link is missing or outside its\n"
    "table; two people sharing one attribute record; staff.dat table offsets that\n"
    "disagree with the layout; files shorter than the index counts need.\n"
    "Inconsistent: club staff slots holding someone contracted elsewhere, in a\n"
    "job the slot does not hold, or twice; people contracted to a club that lists\n"
    "them in no slot; name usage counts that disagree with the staff using the name.\n"
    "Unusual: attributes above 20, abilities outside 0-200 or above the potential,\n"
    "players younger than 10 or older than 60 when the game starts, wages and club\n"
    "cash beyond every normal range. First of all it looks for a save that was\n"
    "interrupted: one that left the files between the old and the new set is\n"
    "reported as such, and the records are not checked ('quarndb-cli recover'\n"
    "makes the folder whole); leftovers are reported.\n"
    "Then lists, apart, references outside their table: the game and the editor\n"
    "read them as none, like -1, -2 and the table's count, so they are only unusual.\n"
    "Exit status: 0 no damage, 1 damage found, 2 the database could not be read.\n";

std::string exportHelp()
{
    std::string s =
        "Usage: quarndb-cli export GAMEDIR TABLE [--format csv|json]\n"
        "Prints every record of TABLE on standard output, the file File > Export to\n"
        "Spreadsheet... writes: the record's identifier first, then one column per\n"
        "field named as the field catalog names it (PlayerIds[1] for an element of a\n"
        "list). Each reference is followed by a column with the name of the record it\n"
        "names, each code by its caption; their headers end in '(read-only)' and\n"
        "'import' skips them. Numbers, references, flags and codes are decimal, dates\n"
        "day/month/year as the editor shows them, text UTF-8: importing the file back\n"
        "changes nothing. CSV (the default) is UTF-8 with a byte-order mark, CRLF line\n"
        "ends and RFC 4180 quoting; JSON is an array of objects.\n"
        "TABLE is one of:";
    for (const std::string& t : db::exportTableNames()) s += " " + t;
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

std::string_view tableName(int entry)
{
    const db::TableInfo* t = db::tableAtEntry(entry);
    return t ? t->name : "-";
}

std::string_view fileOf(int entry)
{
    const db::TableInfo* t = db::tableAtEntry(entry);
    return t ? t->file : "-";
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

// "damage clubs[1] ClubId: identifier 7 differs from its position 1", in UTF-8.
std::string checkLine(const Problem& p)
{
    return std::string(db::gradeWord(p.grade)) + " " + db::win1252ToUtf8(p.line());
}

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
        for (const Problem& p : problems) out << checkLine(p) << "\n";
        out << problems.size() << (problems.size() == 1 ? " problem" : " problems")
            << " found; loading stopped (" << error << "), so the records were not checked.\n";
        return kExitProblems;
    }

    // The problems in the checker's order, the references that merely read
    // as none (its last) apart; only damage decides the exit status.
    std::vector<Problem> notes;
    for (Problem& p : checkRecords(db)) (p.readsAsNone ? notes : problems).push_back(std::move(p));
    bool damage = found > 0;
    for (const Problem& p : problems) {
        out << checkLine(p) << "\n";
        damage = damage || p.grade == db::Grade::Damage;
    }
    const std::size_t total = problems.size() + static_cast<std::size_t>(found);
    if (total == 0)
        out << "No problems found.\n";
    else
        out << total << (total == 1 ? " problem" : " problems") << " found.\n";
    if (!notes.empty()) {
        out << notes.size() << (notes.size() == 1 ? " reference names" : " references name")
            << " no record and will read as none:\n";
        for (const Problem& p : notes) out << checkLine(p) << "\n";
    }
    return damage ? kExitProblems : kExitOk;
}

// ---- export -----------------------------------------------------------------

int exportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string format = "csv";
    CommandArgs a("export", false);
    a.option("--format", format, "--format needs csv or json");
    if (!a.parse(args, err)) return kExitError;
    if (a.positional().size() != 2) return usageError(err, "export needs GAMEDIR and TABLE", "export");
    const std::string& dir = a.positional()[0];
    const std::string& table = a.positional()[1];
    if (format != "csv" && format != "json")
        return usageError(err, "unknown format '" + format + "' (csv or json)", "export");
    const auto t = db::sheetTableByName(table);
    if (!t) return usageError(err, "unknown table '" + table + "'", "export");

    db::Database db;
    if (!openDatabase(dir, db, err)) return kExitError;
    out << (format == "json" ? db::exportJson(db, *t) : db::exportCsv(db, *t));
    return kExitOk;
}

// ---- search -----------------------------------------------------------------

int search(const std::vector<std::string>& all, std::ostream& out, std::ostream& err)
{
    CommandArgs a("search", true);
    if (!a.parse(all, err)) return kExitError;
    std::vector<std::string> args = a.positional();
    args.insert(args.begin(), "search");
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

// A command that takes exactly one GAMEDIR and nothing else.
template <int (*Body)(const std::string&, std::ostream&, std::ostream&)>
int oneFolder(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    CommandArgs a(args[0].c_str(), true);
    if (!a.parse(args, err)) return kExitError;
    if (a.positional().size() != 1)
        return usageError(err, args[0] + " needs exactly one GAMEDIR", args[0].c_str());
    return Body(a.positional()[0], out, err);
}

int recoverFolder(const std::string& dir, std::ostream& out, std::ostream& err)
{
    return gameFolderExists(dir, err) ? recover(dir, out, err) : kExitError;
}

// The commands: name, help, and the body that reads the arguments (the
// command's name first) and runs. One line per command.
struct Command {
    const char* name;
    std::string (*help)();
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

template <const char* const* Text>
std::string fixedHelp()
{
    return *Text;
}

const Command kCommands[] = {
    {"info", fixedHelp<&kInfoHelp>, oneFolder<info>},
    {"check", fixedHelp<&kCheckHelp>, oneFolder<check>},
    {"export", exportHelp, exportCommand},
    {"search", fixedHelp<&kSearchHelp>, search},
    {"find", fixedHelp<&kFindHelp>, findCommand},
    {"refs", fixedHelp<&kRefsHelp>, refsCommand},
    {"diff", fixedHelp<&kDiffHelp>, diffCommand},
    {"apply", fixedHelp<&kApplyHelp>, applyCommand},
    {"merge", fixedHelp<&kMergeHelp>, mergeCommand},
    {"set", fixedHelp<&kSetHelp>, setCommand},
    {"import", fixedHelp<&kImportHelp>, importCommand},
    {"recover", fixedHelp<&kRecoverHelp>, oneFolder<recoverFolder>},
};

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << kUsage;
        return kExitError;
    }
    const std::string& name = args[0];
    if (isHelp(name)) {
        out << kUsage;
        return kExitOk;
    }
    if (name == "--version") {
        out << kProgram << " " << quarndb::kVersion << "\n";
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (name != c.name) continue;
        if (std::any_of(args.begin() + 1, args.end(),
                        [](const std::string& a) { return a == "--help" || a == "-h"; })) {
            out << c.help();
            return kExitOk;
        }
        return c.run(args, out, err);
    }
    return usageError(err, "unknown command '" + name + "'", nullptr);
}

}  // namespace cli

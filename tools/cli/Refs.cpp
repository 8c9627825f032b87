#include "Refs.h"

#include <charconv>
#include <ostream>

#include "Cli.h"
#include "db/query/WhereUsed.h"

namespace cli {

const char* const kRefsHelp =
    "Usage: quarndb-cli refs GAMEDIR TABLE ID\n"
    "Lists every record field that refers to record ID of TABLE, one\n"
    "'TABLE[ID] Field' line each (list elements counted from 0), table by table.\n"
    "TABLE is a table other records refer to: clubs, staff, first-names,\n"
    "second-names, common-names, stadiums, nations, cities, competitions,\n"
    "colours, players or non-players.\n"
    "Exit status: 0 references found, 1 none, 2 bad arguments or unreadable database.\n";

namespace {

int refsError(std::ostream& err, const std::string& message)
{
    err << "quarndb-cli: " << message << "\nRun 'quarndb-cli refs --help' for usage.\n";
    return kExitError;
}

}  // namespace

int refsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 4) return refsError(err, "refs needs GAMEDIR, TABLE and ID");
    const std::string& name = args[2];
    const db::TableLayout* table = db::tableByName(name);
    if (!table || !db::isReferenced(table->id))
        return refsError(err, "no record refers to a table called '" + name + "'");
    const std::string& idText = args[3];
    std::int64_t id = -1;
    const auto [end, ec] = std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (ec != std::errc() || end != idText.data() + idText.size() || id < 0)
        return refsError(err, "the ID must be a record number, not '" + idText + "'");

    db::Database db;
    if (!openDatabase(args[1], db, err)) return kExitError;
    const std::size_t count = db::tableSize(db, table->id);
    if (static_cast<std::uint64_t>(id) >= count) {
        err << "quarndb-cli: " << name << " has no record " << id << " (" << count << " records)\n";
        return kExitError;
    }
    const std::vector<db::Use> uses = db::whereUsed(db, table->id, static_cast<std::size_t>(id));
    for (const db::Use& u : uses) out << u.text() << "\n";
    return uses.empty() ? kExitProblems : kExitOk;
}

}  // namespace cli

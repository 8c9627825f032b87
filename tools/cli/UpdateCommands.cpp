#include "UpdateCommands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "Args.h"
#include "Cli.h"
#include "WriteFolder.h"
#include "db/exchange/json/UpdateJson.h"
#include "db/rules/Win1252.h"
#include "db/storage/Backup.h"
#include "db/storage/Recovery.h"

namespace cli {

const char* const kDiffHelp =
    "Usage: quarndb-cli diff OLDGAMEDIR NEWGAMEDIR [-o FILE]\n"
    "Writes the update that turns the database of OLDGAMEDIR into that of\n"
    "NEWGAMEDIR: every changed field of every record (by table, identifier and\n"
    "field name, with old and new value) and every appended record in full, as\n"
    "JSON, on standard output or into FILE. Reserved bytes are carried as hex.\n"
    "The same two folders always give the same bytes. Both folders are only read.\n"
    "Exit status: 0, or 2 when a folder cannot be read or the difference is one\n"
    "an update cannot carry (removed records, changed nations, cities,\n"
    "competitions or colours).\n";

const char* const kApplyHelp =
    "Usage: quarndb-cli apply GAMEDIR UPDATE [--dry-run] [--force]\n"
    "Applies an update written by 'diff' to the database of GAMEDIR. First it\n"
    "says whether GAMEDIR is the database the update was made from (its base),\n"
    "the base with other edits, or a different database, which stops it (the\n"
    "update's fingerprint of the base: every table's count and hash). Every old\n"
    "value of the update is then compared with GAMEDIR; when any differs, each\n"
    "conflict is listed (record, field, expected, found) and nothing is written.\n"
    "Appended records take the next free identifiers of GAMEDIR, and references\n"
    "to them inside the update follow. The data files are saved the way the\n"
    "editor saves them, after a dated backup copy of the originals. A folder\n"
    "with an interrupted save is refused until 'recover' has made it whole.\n"
    "  --dry-run  print what would change; write nothing\n"
    "  --force    apply over conflicts (the update's new values win) and to a\n"
    "             different database; a record the update changes must still exist\n"
    "Exit status: 0 applied (or would apply), 1 conflicts or a different\n"
    "database, 2 a bad update,\n"
    "an unreadable folder or a failed save.\n";

namespace {

int fail(std::ostream& err, const std::string& message, const char* command)
{
    err << "quarndb-cli: " << message << "\n"
        << "Run 'quarndb-cli " << command << " --help' for usage.\n";
    return kExitError;
}

std::string summary(const db::UpdateCounts& c)
{
    return std::to_string(c.changedFields) + (c.changedFields == 1 ? " field" : " fields") + " in " +
           std::to_string(c.changedRecords) + (c.changedRecords == 1 ? " record" : " records") +
           " changed, " + std::to_string(c.appendedRecords) +
           (c.appendedRecords == 1 ? " record" : " records") + " appended";
}

}  // namespace

int diffCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    std::string outFile;
    CommandArgs a("diff", false);
    a.option("-o,--output", outFile, "{} needs a file name");
    if (!a.parse(args, err)) return kExitError;
    const std::vector<std::string>& positional = a.positional();
    if (positional.size() != 2) return fail(err, "diff needs OLDGAMEDIR and NEWGAMEDIR", "diff");

    db::Database before, after;
    if (!openDatabase(positional[0], before, err) || !openDatabase(positional[1], after, err))
        return kExitError;
    std::string text;
    try {
        text = db::encodeUpdate(db::diffDatabases(before, after));
    } catch (const db::Error& e) {
        err << "quarndb-cli: " << e.what() << "\n";
        return kExitError;
    }
    if (outFile.empty()) {
        out << text;
        return kExitOk;
    }
    std::ofstream file(std::filesystem::path(outFile), std::ios::binary | std::ios::trunc);
    if (!file.write(text.data(), static_cast<std::streamsize>(text.size())) || !file.flush()) {
        err << "quarndb-cli: cannot write " << outFile << "\n";
        return kExitError;
    }
    return kExitOk;
}

int applyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    bool dryRun = false, force = false;
    CommandArgs a("apply", false);
    a.flag("--dry-run", dryRun);
    a.flag("--force", force);
    if (!a.parse(args, err)) return kExitError;
    const std::vector<std::string>& positional = a.positional();
    if (positional.size() != 2) return fail(err, "apply needs GAMEDIR and UPDATE", "apply");
    const std::string& dir = positional[0];

    // The update first: a bad one is reported without touching the folder.
    db::Update update;
    try {
        update = db::readUpdateFile(positional[1]);
    } catch (const db::Error& e) {
        err << "quarndb-cli: " << positional[1] << ": " << e.what() << "\n";
        return kExitError;
    }
    db::Database target;
    if (!openForWriting(dir, target, err)) return kExitError;

    // Which database the folder is, said before anything else: another
    // database than the update's base stops here unless forced.
    const db::BaseCheck base = db::checkBase(target, update.base);
    if (base.match == db::BaseMatch::Different && !force) {
        err << "quarndb-cli: " << base.describe(dir)
            << " Nothing was written. Use --force to apply the update anyway.\n";
        return kExitProblems;
    }
    out << base.describe(dir) << (base.match == db::BaseMatch::Different ? " Applying anyway (--force)." : "")
        << "\n";

    if (dryRun) {
        for (const std::string& line : db::describeUpdate(target, update))
            out << db::win1252ToUtf8(line) << "\n";
    }
    // A dry run only checks; otherwise the check and the changes are one call,
    // which changes nothing when it finds conflicts it may not pass.
    db::ApplyResult result;
    try {
        if (dryRun)
            result.conflicts = db::findConflicts(target, update);
        else
            result = db::applyUpdate(target, update, {force});
    } catch (const db::Error& e) {
        err << "quarndb-cli: cannot apply the update to " << dir << ": " << e.what() << "\n";
        return kExitError;
    }
    const std::vector<db::Conflict>& conflicts = result.conflicts;
    for (const db::Conflict& c : conflicts) out << "conflict: " << db::win1252ToUtf8(c.line()) << "\n";
    const bool fatal =
        std::any_of(conflicts.begin(), conflicts.end(), [](const db::Conflict& c) { return c.fatal; });
    if (!conflicts.empty() && (!force || fatal)) {
        err << "quarndb-cli: " << conflicts.size() << (conflicts.size() == 1 ? " conflict" : " conflicts")
            << " with " << dir << "; nothing was written"
            << (fatal ? " (a record the update changes is missing there).\n"
                      : ". Use --force to apply the update's values anyway.\n");
        return kExitProblems;
    }
    if (dryRun) {
        out << "Would apply: " << summary(db::countUpdate(update)) << ". Nothing was written.\n";
        return kExitOk;
    }
    if (!result.applied) {
        err << "quarndb-cli: the update was not applied; nothing was written.\n";
        return kExitError;
    }

    return saveFolder(target, dir, "Applied: " + summary(db::countUpdate(update)) + ".", out, err)
               ? kExitOk
               : kExitError;
}

}  // namespace cli

#include "Recover.h"

#include <ostream>

#include "Cli.h"
#include "db/storage/Recovery.h"

namespace cli {

const char* const kRecoverHelp =
    "Usage: quarndb-cli recover GAMEDIR\n"
    "Makes the game folder whole after a save or a backup that was interrupted\n"
    "(the editor killed, the machine switched off), as the editor does when it\n"
    "starts: a save whose new files were all written is finished, any other puts\n"
    "every original file back; the leftovers are removed only then. Says what it\n"
    "found and did. The only command that writes to the game folder.\n"
    "Exit status: 0 the folder is whole, 2 it cannot be made whole (nothing was\n"
    "changed) or cannot be read.\n";

int recover(const std::string& dir, std::ostream& out, std::ostream& err)
{
    const db::RecoveryReport report = db::recoverGameFolder(dir);
    if (!report.whole()) {
        err << "quarndb-cli: " << report.text() << "\n";
        return kExitError;
    }
    out << (report.foundAnything() ? report.text() : "Nothing to recover: no interrupted save or backup.")
        << "\n";
    return kExitOk;
}

bool reportInterruptedSave(const std::string& dir, std::ostream& out, int& problems)
{
    using O = db::RecoveryReport::Outcome;
    const db::RecoveryReport report = db::recoverGameFolder(dir, false);
    if (!report.foundAnything()) return false;
    ++problems;
    if (report.outcome == O::RolledForward || report.outcome == O::RolledBack ||
        report.outcome == O::NotWhole) {
        out << "Interrupted save: " << report.text() << "\n";
        if (report.whole())
            out << "Run 'quarndb-cli recover " << dir << "' (or start the editor) to do so; the records were "
                << "not checked.\n";
        return true;
    }
    out << "Leftovers: " << report.text() << "\n";
    return false;
}

}  // namespace cli

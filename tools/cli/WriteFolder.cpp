#include "WriteFolder.h"

#include <ostream>

#include "Cli.h"
#include "db/storage/Backup.h"
#include "db/storage/Recovery.h"
#include "db/storage/Storage.h"

namespace cli {

bool openForWriting(const std::string& dir, db::Database& d, std::ostream& err)
{
    // A folder an interrupted save left behind is made whole first: read now
    // it could mix the files of two saves, and a save over it would lose the
    // way back.
    using Outcome = db::RecoveryReport::Outcome;
    const Outcome pending = db::recoverGameFolder(dir, false).outcome;
    if (pending != Outcome::Nothing && pending != Outcome::Tidied) {
        err << "quarndb-cli: " << dir << " holds an interrupted save; run 'quarndb-cli recover " << dir
            << "' first. Nothing was written.\n";
        return false;
    }
    if (!openDatabase(dir, d, err)) return false;
    // Every table a save writes was read whole; the wizard's templates, which
    // no command uses, are the editor's own and never saved.
    d.markStepComplete(db::LoadStep::WizardTemplates);
    return true;
}

bool saveFolder(const db::Database& d, const std::string& dir, const std::string& done, std::ostream& out,
                std::ostream& err)
{
    try {
        db::SaveSession session;
        db::NullProgress progress;
        const std::string backup = session.save(d, dir, progress);
        out << done << "\n";
        if (!backup.empty()) out << "The original data files were copied to " << backup << "\n";
    } catch (const db::Error& e) {
        err << "quarndb-cli: cannot save " << dir << ": " << e.what() << "\n";
        return false;
    }
    return true;
}

}  // namespace cli

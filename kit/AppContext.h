#pragma once

// What every window of the program shares: the game database with the notice
// of its changes, the message boxes, the platform layer and the navigation
// between windows. The window pointers are the start-up's register of the
// windows it made (once, in a fixed order, alive until exit): only the
// start-up and navigation code use them; windows reach each other through
// the navigation and hear of changes through `events`.

#include <QString>

#include "kit/DatabaseEvents.h"
#include "kit/Navigation.h"
#include "db/format/Database.h"

class MessageSink;
class Platform;
class MainForm;
class StatusForm;
class FindClubForm;
class FindStaffForm;
class TransferForm;
class NamesForm;
class AddStaffForm;
class WizForm;
class AboutForm;
class CheckForm;
class WhereUsedForm;
class FindForm;
class ExportSheetForm;
class ImportSheetForm;
class ClubPage;
class StaffPage;
class EditHistory;

struct AppContext {
    db::Database db;
    MessageSink* messages = nullptr;
    Platform* platform = nullptr;

    // The player wizard templates are looked for here (the current directory
    // unless a test says otherwise); likewise the notes text.
    QString wizardPath = QStringLiteral("wizard.quarn");
    QString notesPath = QStringLiteral("quarndb.txt");

    MainForm* mainForm = nullptr;
    StatusForm* statusForm = nullptr;
    FindClubForm* findClubForm = nullptr;
    FindStaffForm* findStaffForm = nullptr;
    TransferForm* transferForm = nullptr;
    NamesForm* namesForm = nullptr;
    AddStaffForm* addStaffForm = nullptr;
    WizForm* wizForm = nullptr;
    AboutForm* aboutForm = nullptr;
    CheckForm* checkForm = nullptr;
    WhereUsedForm* whereUsedForm = nullptr;
    FindForm* findForm = nullptr;
    ExportSheetForm* exportSheetForm = nullptr;
    ImportSheetForm* importSheetForm = nullptr;

    // The two editor pages inside the main window's tabs.
    ClubPage* clubPage = nullptr;
    StaffPage* staffPage = nullptr;

    // Undo, redo and the list of changes (owned by the main window).
    EditHistory* history = nullptr;

    // Every change of the database is announced here; windows listen.
    DatabaseEvents events;

    // How one page brings up another: the shell's jumps to the pages above,
    // unless a test puts its own in.
    PageNavigation pageNavigation{*this};
    Navigation* navigation = &pageNavigation;

    AppContext() = default;
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;
};

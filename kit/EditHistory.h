#pragma once

// The editing history of a run: every step since loading on a QUndoStack,
// the Edit menu's Undo, Redo and Changes... items, the fingerprints of the
// loaded tables that the list of changes is checked against, and the point
// of the last save, which tells whether quitting would lose anything.

#include <QObject>
#include <QString>
#include <functional>
#include <future>
#include <vector>

#include "db/editing/ChangeStep.h"
#include "db/editing/LoadedBaseline.h"

struct AppContext;
class ChangesForm;
class MessageSink;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QUndoStack;

class EditHistory : public QObject {
    Q_OBJECT
public:
    explicit EditHistory(AppContext& ctx, QObject* parent = nullptr);
    ~EditHistory() override;

    // Adds Undo, Redo and Changes... at the end of `edit`, and the
    // "unsaved changes" note at the right end of `bar` (which leaves the
    // caption and the window's size alone).
    void install(QMenu* edit, QMenuBar* bar);

    // A complete load: starts an empty history, and the fingerprints of the
    // loaded tables on a second thread (a pass over the data that File > Open
    // does not wait for).
    void loaded();
    // Every change goes through here before it touches a record: the
    // fingerprints must describe the tables as loaded, so a change waits for
    // them (they take a few milliseconds per 100 MB).
    void beforeChange();
    // A save that succeeded: what is on disk now matches the tables.
    void saved();
    // Confirmed changes, additions or transfers that no save has written.
    bool hasUnsavedChanges() const;

    // Asks "Save the changes to the game database before you quit?" when
    // there is something to lose; `save` runs File > Save. True when the
    // program may end.
    bool confirmQuit(const std::function<void()>& save);

    // Adds a step that has already been performed; an empty step is dropped.
    void push(const QString& text, db::ChangeStep step);

    // Undo / Redo of the Edit menu. A step whose records changed in a way the
    // history does not know is refused with a message and stays where it is.
    void undo();
    void redo();
    void showChanges();

    QUndoStack* stack() const { return stack_; }
    // The steps in effect, oldest first.
    std::vector<const db::ChangeStep*> appliedSteps() const;
    // What the list of changes compares with, for the steps in effect
    // (`steps` must outlive it). Blocks of records changed behind the
    // history's back are logged; their loaded bytes are read back from the
    // game folder while no save has replaced its files.
    db::LoadedBaseline baseline(const std::vector<const db::ChangeStep*>& steps);
    // Before a save: checks that every change to be written is explained by
    // a step, and logs any that is not.
    void checkBeforeSave();
    // How the loaded bytes of records are read back from the game folder,
    // for the blocks changed behind the history's back (the start-up sets it).
    void setLoadedReader(db::LoadedBaseline::LoadedReader reader) { reader_ = std::move(reader); }
    // Work on the loaded tables that runs beside the fingerprints after every
    // load (the damage the files already had, say); like them, it is done
    // before the first change, so it always sees the tables as loaded.
    void whenLoaded(std::function<void(const db::Database&)> task) { loadTasks_.push_back(std::move(task)); }
    AppContext& context() const { return ctx_; }

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    QAction* changesAction() const { return changes_; }
    QLabel* unsavedLabel() const { return unsaved_; }

    // After a step was undone (true) or done again: announces it to the windows.
    void stepApplied(const db::ChangeStep& step, bool undone);

signals:
    // The tables changed through the history (a push, an undo, a redo).
    void changed();

private:
    // Undo (back) or redo the step next to the stack's index, unless its
    // records were changed behind the history's back.
    void takeStep(bool back);
    void updateActions();
    MessageSink& messages();

    AppContext& ctx_;
    QUndoStack* stack_;
    const db::LoadedFingerprints& fingerprints();

    db::LoadedFingerprints fingerprints_;
    std::future<db::LoadedFingerprints> fingerprintJob_;
    bool hasLoaded_ = false;
    bool savedSinceLoad_ = false;
    db::LoadedBaseline::LoadedReader reader_;
    std::vector<std::function<void(const db::Database&)>> loadTasks_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* changes_ = nullptr;
    QLabel* unsaved_ = nullptr;
    ChangesForm* changesForm_ = nullptr;
};

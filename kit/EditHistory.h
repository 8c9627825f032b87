#pragma once

// The editing history of a run: every step since loading on a QUndoStack,
// the Edit menu's Undo, Redo and Changes... items, the loaded copy of the
// saved tables that the list of changes is computed against, and the point
// of the last save, which tells whether quitting would lose anything.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "db/editing/ChangeStep.h"

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

    // A complete load: starts an empty history. The copy of the loaded
    // tables is taken when it is first wanted (the first change, or the list
    // of changes), not here: a full copy would add half a load's time to
    // File > Open for every database, edited or not.
    void loaded();
    // Every change goes through here before it touches a record: takes the
    // loaded copy if it is still to be taken.
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
    const db::DatabaseImage& loadedImage()
    {
        beforeChange();
        return loaded_;
    }
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
    db::DatabaseImage loaded_;
    bool copyPending_ = false;  // loaded, and no change yet
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* changes_ = nullptr;
    QLabel* unsaved_ = nullptr;
    ChangesForm* changesForm_ = nullptr;
};

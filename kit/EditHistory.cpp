#include "EditHistory.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include "kit/AppContext.h"
#include "kit/ChangesForm.h"
#include "kit/Messages.h"
#include "db/format/FieldCatalog.h"

namespace {

// A step already performed: the first redo (QUndoStack's push) does nothing.
class StepCommand : public QUndoCommand {
public:
    StepCommand(EditHistory& history, const QString& text, db::ChangeStep step)
        : QUndoCommand(text), history_(history), step_(std::move(step))
    {
    }
    const db::ChangeStep& step() const { return step_; }

    void undo() override
    {
        step_.undo(history_.context().db);
        history_.stepApplied(step_, true);
    }
    void redo() override
    {
        if (pushed_) {
            pushed_ = false;
            return;
        }
        step_.redo(history_.context().db);
        history_.stepApplied(step_, false);
    }

private:
    EditHistory& history_;
    db::ChangeStep step_;
    bool pushed_ = true;
};

const StepCommand* commandAt(const QUndoStack* stack, int k)
{
    return k >= 0 && k < stack->count() ? static_cast<const StepCommand*>(stack->command(k)) : nullptr;
}

QString menuText(const QString& verb, const QString& step)
{
    if (step.isEmpty()) return verb;
    QString escaped = step;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return verb + QLatin1Char(' ') + escaped;
}

}  // namespace

EditHistory::EditHistory(AppContext& ctx, QObject* parent)
    : QObject(parent), ctx_(ctx), stack_(new QUndoStack(this))
{
    connect(stack_, &QUndoStack::indexChanged, this, &EditHistory::updateActions);
    connect(stack_, &QUndoStack::cleanChanged, this, &EditHistory::updateActions);
    // The tables are about to be read anew: the fingerprints of the last load
    // must not be taken while they change.
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this](const DatabaseChange& c) {
        if (c.kind == DatabaseChange::Kind::Unloaded) fingerprints();
    });
}

EditHistory::~EditHistory() = default;

void EditHistory::install(QMenu* edit, QMenuBar* bar)
{
    edit->addSeparator();
    undo_ = edit->addAction(QStringLiteral("&Undo"), this, &EditHistory::undo);
    undo_->setObjectName(QStringLiteral("Undo1"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = edit->addAction(QStringLiteral("&Redo"), this, &EditHistory::redo);
    redo_->setObjectName(QStringLiteral("Redo1"));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    edit->addSeparator();
    changes_ = edit->addAction(QStringLiteral("Chan&ges..."), this, &EditHistory::showChanges);
    changes_->setObjectName(QStringLiteral("Changes1"));

    unsaved_ = new QLabel(QStringLiteral("unsaved changes"), bar);
    unsaved_->setObjectName(QStringLiteral("UnsavedChanges"));
    unsaved_->setContentsMargins(0, 0, 6, 0);
    unsaved_->setAlignment(Qt::AlignVCenter);
    bar->setCornerWidget(unsaved_, Qt::TopRightCorner);
    updateActions();
}

void EditHistory::loaded()
{
    stack_->clear();
    fingerprints();  // a job of an earlier load ends first
    hasLoaded_ = true;
    savedSinceLoad_ = false;
    fingerprints_ = db::LoadedFingerprints();
    auto work = [&d = ctx_.db, tasks = loadTasks_] {
        db::LoadedFingerprints f = db::fingerprintTables(d);
        for (const auto& task : tasks) task(d);
        return f;
    };
    try {
        fingerprintJob_ = std::async(std::launch::async, work);
    } catch (const std::exception&) {
        // No thread to be had: do it now.
        fingerprints_ = work();
    }
    stack_->setClean();
    updateActions();
    emit changed();
}

void EditHistory::beforeChange()
{
    fingerprints();
}

const db::LoadedFingerprints& EditHistory::fingerprints()
{
    if (!fingerprintJob_.valid()) return fingerprints_;
    try {
        fingerprints_ = fingerprintJob_.get();
    } catch (const std::exception&) {
        // The work after the load failed on its thread (out of memory, say):
        // the fingerprints are taken here instead, before anything changes.
        fingerprints_ = db::fingerprintTables(ctx_.db);
    }
    return fingerprints_;
}

db::LoadedBaseline EditHistory::baseline(const std::vector<const db::ChangeStep*>& steps)
{
    db::LoadedBaseline base(fingerprints(), ctx_.db, steps, savedSinceLoad_ ? nullptr : reader_);
    for (const db::UnexplainedBlock& u : base.unexplained())
        qWarning("Records %zu to %zu of %s differ from how they were loaded, but no undo step changed them",
                 u.first, u.first + u.count - 1, std::string(db::tableName(u.table)).c_str());
    return base;
}

void EditHistory::checkBeforeSave()
{
    if (!hasLoaded_) return;
    const std::vector<const db::ChangeStep*> steps = appliedSteps();
    baseline(steps);
}

void EditHistory::saved()
{
    stack_->setClean();
    savedSinceLoad_ = true;
    updateActions();
}

bool EditHistory::hasUnsavedChanges() const
{
    return hasLoaded_ && !stack_->isClean();
}

bool EditHistory::confirmQuit(const std::function<void()>& save)
{
    if (!hasUnsavedChanges()) return true;
    switch (messages().askToSave(QStringLiteral("Save the changes to the game database before you quit?"))) {
        case MessageSink::Answer::Save:
            if (save) save();
            return !hasUnsavedChanges();
        case MessageSink::Answer::DontSave:
            return true;
        case MessageSink::Answer::Cancel:
        case MessageSink::Answer::ShowProblems:
            break;
    }
    return false;
}

void EditHistory::push(const QString& text, db::ChangeStep step)
{
    if (step.empty()) return;
    auto* command = new StepCommand(*this, text, std::move(step));
    stack_->push(command);
    ctx_.events.announce({DatabaseChange::Kind::Done, &command->step()});
    emit changed();
}

void EditHistory::undo()
{
    takeStep(true);
}

void EditHistory::redo()
{
    takeStep(false);
}

void EditHistory::takeStep(bool back)
{
    const StepCommand* c = commandAt(stack_, stack_->index() - (back ? 1 : 0));
    if (!c) return;
    if (!(back ? c->step().canUndo(ctx_.db) : c->step().canRedo(ctx_.db))) {
        messages().failure(
            QStringLiteral("The records of \"%1\" have been changed since; it cannot be %2")
                .arg(c->text(), back ? QStringLiteral("undone") : QStringLiteral("done again")));
        return;
    }
    if (back)
        stack_->undo();
    else
        stack_->redo();
    emit changed();
}

void EditHistory::showChanges()
{
    if (!changesForm_) {
        auto* owner = qobject_cast<QWidget*>(parent());
        changesForm_ = new ChangesForm(*this, owner);
    }
    changesForm_->refresh();
    changesForm_->show();
    changesForm_->raise();
    changesForm_->activateWindow();
}

std::vector<const db::ChangeStep*> EditHistory::appliedSteps() const
{
    std::vector<const db::ChangeStep*> steps;
    for (int k = 0; k < stack_->index(); ++k) steps.push_back(&commandAt(stack_, k)->step());
    return steps;
}

void EditHistory::updateActions()
{
    if (undo_) {
        undo_->setEnabled(stack_->canUndo());
        undo_->setText(menuText(QStringLiteral("&Undo"), stack_->undoText()));
    }
    if (redo_) {
        redo_->setEnabled(stack_->canRedo());
        redo_->setText(menuText(QStringLiteral("&Redo"), stack_->redoText()));
    }
    if (unsaved_) unsaved_->setVisible(hasUnsavedChanges());
}

void EditHistory::stepApplied(const db::ChangeStep& step, bool undone)
{
    ctx_.events.announce({undone ? DatabaseChange::Kind::Undone : DatabaseChange::Kind::Redone, &step});
}

MessageSink& EditHistory::messages()
{
    static BoxMessages boxes;
    return ctx_.messages ? *ctx_.messages : boxes;
}

#include "EditHistory.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include "kit/AppContext.h"
#include "app/ChangesForm.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "staff/StaffPage.h"

using db::TableId;

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

// The record lists that may hold records of a table, by object name: pick
// lists and list boxes fed from the table, and the three-entry lists.
QStringList listsShowing(TableId t)
{
    switch (t) {
        case TableId::Clubs:
            return {QStringLiteral("ListBoxClubs"), QStringLiteral("ClubRivalClubs"),
                    QStringLiteral("StaffFavClubs"), QStringLiteral("StaffDisClubs")};
        case TableId::Staff:
            return {QStringLiteral("ListBoxStaff"), QStringLiteral("ClubFavStaff"),
                    QStringLiteral("ClubDisStaff"), QStringLiteral("ClubPlayers"),
                    QStringLiteral("ClubStaff"),    QStringLiteral("StaffFavStaff"),
                    QStringLiteral("StaffDisStaff")};
        case TableId::FirstNames:
            return {QStringLiteral("StaffFirstName")};
        case TableId::SecondNames:
            return {QStringLiteral("StaffSecondName")};
        case TableId::CommonNames:
            return {QStringLiteral("StaffCommonName")};
        default:
            return {};
    }
}

// Removes every row that carries a record past the end of its table.
void dropMissing(RecordListModel* model, std::size_t tableSize)
{
    if (!model) return;
    for (int row = model->size() - 1; row >= 0; --row)
        if (model->recordAt(row) >= 0 && static_cast<std::size_t>(model->recordAt(row)) >= tableSize)
            model->removeAt(row);
}

bool touches(const db::ChangeStep& step, std::initializer_list<TableId> tables)
{
    auto in = [&](TableId t) { return std::find(tables.begin(), tables.end(), t) != tables.end(); };
    for (const db::RecordChange& c : step.changes)
        if (in(c.table)) return true;
    for (const db::TableGrowth& g : step.growth)
        if (in(g.table)) return true;
    return false;
}

}  // namespace

EditHistory::EditHistory(AppContext& ctx, QObject* parent)
    : QObject(parent), ctx_(ctx), stack_(new QUndoStack(this))
{
    connect(stack_, &QUndoStack::indexChanged, this, &EditHistory::updateActions);
    connect(stack_, &QUndoStack::cleanChanged, this, &EditHistory::updateActions);
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
    loaded_ = db::DatabaseImage();
    copyPending_ = true;
    stack_->setClean();
    updateActions();
    emit changed();
}

void EditHistory::beforeChange()
{
    if (!copyPending_) return;
    loaded_ = db::savedTablesImage(ctx_.db);
    copyPending_ = false;
}

void EditHistory::saved()
{
    stack_->setClean();
    updateActions();
}

bool EditHistory::hasUnsavedChanges() const
{
    return loaded_.captured && !stack_->isClean();
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
            break;
    }
    return false;
}

void EditHistory::push(const QString& text, db::ChangeStep step)
{
    if (step.empty()) return;
    stack_->push(new StepCommand(*this, text, std::move(step)));
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
    QList<QObject*> windows = {ctx_.clubPage, ctx_.staffPage, ctx_.findClubForm, ctx_.findStaffForm,
                               ctx_.transferForm};
    for (const db::TableGrowth& g : step.growth) {
        const std::size_t size = db::tableSize(ctx_.db, g.table);
        if (undone) {
            // A removed record leaves every list it was added to.
            for (QObject* w : windows) {
                if (!w) continue;
                for (const QString& name : listsShowing(g.table)) {
                    if (auto* v = w->findChild<QAbstractItemView*>(name)) dropMissing(recordModel(v), size);
                    if (auto* c = w->findChild<QComboBox*>(name)) dropMissing(recordModel(c), size);
                }
            }
            continue;
        }
        // Done again: back into the lists the operation put it in.
        for (std::size_t i = g.oldSize; i < size; ++i) {
            const int id = static_cast<int>(i);
            if (g.table == TableId::Clubs) {
                if (ctx_.clubPage)
                    if (auto* v =
                            ctx_.clubPage->findChild<QAbstractItemView*>(QStringLiteral("ListBoxClubs")))
                        recordModel(v)->append(fromRaw(ctx_.db.clubs[i].text(db::ClubRecord::LongName)), id);
                if (ctx_.findClubForm) ctx_.findClubForm->appendClubEntry(id);
                if (ctx_.transferForm) ctx_.transferForm->appendClubEntry(id);
            } else if (g.table >= TableId::FirstNames && g.table <= TableId::CommonNames) {
                if (ctx_.staffPage)
                    ctx_.staffPage->appendNameEntry(
                        static_cast<int>(g.table) - static_cast<int>(TableId::FirstNames), id);
            } else if (g.table == TableId::Staff && ctx_.staffPage) {
                ctx_.staffPage->showStaff(id);
            }
        }
    }
    // The pages show the restored values of their current record.
    if (ctx_.clubPage && touches(step, {TableId::Clubs, TableId::Stadiums, TableId::Staff}))
        ctx_.clubPage->ListBoxClubsClick();
    if (ctx_.staffPage &&
        touches(step, {TableId::Staff, TableId::Players, TableId::NonPlayers, TableId::Clubs,
                       TableId::FirstNames, TableId::SecondNames, TableId::CommonNames}))
        ctx_.staffPage->ListBoxStaffClick();
}

MessageSink& EditHistory::messages()
{
    static BoxMessages boxes;
    return ctx_.messages ? *ctx_.messages : boxes;
}

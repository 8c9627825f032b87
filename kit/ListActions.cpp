#include "ListActions.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QMouseEvent>

namespace {

class KeptSelection : public QItemSelectionModel {
public:
    using QItemSelectionModel::QItemSelectionModel;

    void select(const QModelIndex& index, SelectionFlags command) override
    {
        if (!dropsTheLastEntry(command)) QItemSelectionModel::select(index, command);
    }
    void select(const QItemSelection& selection, SelectionFlags command) override
    {
        if (!dropsTheLastEntry(command)) QItemSelectionModel::select(selection, command);
    }

private:
    // Deselecting or toggling without selecting anything new is how the
    // views take the selected entry away.
    bool dropsTheLastEntry(SelectionFlags command) const
    {
        return hasSelection() && (command & (Deselect | Toggle)) && !(command & (Clear | Select));
    }
};

class LeftDoubleClick : public QObject {
public:
    LeftDoubleClick(QObject* parent, std::function<void()> action) : QObject(parent), action_(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The first click of the pair has already selected the entry.
        if (event->type() == QEvent::MouseButtonDblClick &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            action_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

}  // namespace

void keepSelection(QAbstractItemView* view)
{
    QItemSelectionModel* old = view->selectionModel();
    view->setSelectionModel(new KeptSelection(view->model(), view));
    delete old;
}

void onLeftDoubleClick(QAbstractItemView* view, std::function<void()> action)
{
    view->viewport()->installEventFilter(new LeftDoubleClick(view, std::move(action)));
}

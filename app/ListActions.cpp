#include "ListActions.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

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

}  // namespace

void keepSelection(QAbstractItemView* view)
{
    QItemSelectionModel* old = view->selectionModel();
    view->setSelectionModel(new KeptSelection(view->model(), view));
    delete old;
}

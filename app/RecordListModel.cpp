#include "RecordListModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QListView>

RecordListModel::RecordListModel(QObject* parent) : QAbstractListModel(parent) {}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= size()) return {};
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) return r.text;
    if (role == RecordRole && r.record >= 0) return r.record;
    return {};
}

void RecordListModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void RecordListModel::clear()
{
    setRows({});
}

void RecordListModel::append(const QString& text, int record)
{
    const int row = size();
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(Row{text, record});
    endInsertRows();
}

void RecordListModel::removeAt(int row)
{
    if (row < 0 || row >= size()) return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

int RecordListModel::recordAt(int row) const
{
    if (row < 0 || row >= size()) return -1;
    return rows_[static_cast<std::size_t>(row)].record;
}

QString RecordListModel::textAt(int row) const
{
    if (row < 0 || row >= size()) return {};
    return rows_[static_cast<std::size_t>(row)].text;
}

RecordListModel* recordModel(const QAbstractItemView* view)
{
    return view ? qobject_cast<RecordListModel*>(view->model()) : nullptr;
}

RecordListModel* recordModel(const QComboBox* combo)
{
    return combo ? qobject_cast<RecordListModel*>(combo->model()) : nullptr;
}

RecordListModel* attachModel(QAbstractItemView* view)
{
    if (RecordListModel* m = recordModel(view)) return m;
    auto* model = new RecordListModel(view);
    view->setModel(model);
    if (auto* list = qobject_cast<QListView*>(view)) list->setUniformItemSizes(true);
    return model;
}

RecordListModel* attachModel(QComboBox* combo)
{
    if (RecordListModel* m = recordModel(combo)) return m;
    auto* model = new RecordListModel(combo);
    combo->setModel(model);
    // Sizing to the contents would measure every item of lists with
    // thousands of entries.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto* list = qobject_cast<QListView*>(combo->view())) list->setUniformItemSizes(true);
    return model;
}

int selectedRow(const QAbstractItemView* view)
{
    if (!view || !view->selectionModel()) return -1;
    const QModelIndexList rows = view->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void selectRow(QAbstractItemView* view, int row)
{
    if (!view || !view->selectionModel()) return;
    if (row < 0 || !view->model() || row >= view->model()->rowCount()) {
        view->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex idx = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
    view->scrollTo(idx);
}

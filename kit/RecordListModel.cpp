#include "RecordListModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QListView>
#include <algorithm>
#include <numeric>

#include "kit/DatabaseEvents.h"
#include "kit/QtText.h"
#include "db/format/Database.h"

RecordListModel::RecordListModel(QObject* parent) : QAbstractListModel(parent) {}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return textAt(index.row());
    const int record = records_[static_cast<std::size_t>(index.row())];
    if (role == RecordRole && record >= 0) return record;
    return {};
}

void RecordListModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    source_ = nullptr;
    fixed_.clear();
    records_.clear();
    texts_.clear();
    records_.reserve(rows.size());
    texts_.reserve(rows.size());
    for (Row& r : rows) {
        records_.push_back(r.record);
        texts_.push_back(std::move(r.text));
    }
    endResetModel();
}

void RecordListModel::setRecords(std::vector<int> records, TextSource source)
{
    beginResetModel();
    source_ = std::move(source);
    fixed_.clear();
    texts_.clear();
    records_ = std::move(records);
    // A list without a source has text rows only: give each an empty text.
    if (!source_) texts_.resize(records_.size());
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
    records_.push_back(record);
    if (source_)
        fixed_[row] = text;
    else
        texts_.push_back(text);
    endInsertRows();
}

void RecordListModel::appendRecord(int record)
{
    const int row = size();
    beginInsertRows(QModelIndex(), row, row);
    records_.push_back(record);
    if (!source_) texts_.emplace_back();
    endInsertRows();
}

void RecordListModel::removeAt(int row)
{
    if (row < 0 || row >= size()) return;
    beginRemoveRows(QModelIndex(), row, row);
    records_.erase(records_.begin() + row);
    if (source_) {
        // The fixed texts of the rows below move up one.
        std::map<int, QString> moved;
        for (auto& [r, text] : fixed_)
            if (r != row) moved.emplace(r > row ? r - 1 : r, std::move(text));
        fixed_ = std::move(moved);
    } else {
        texts_.erase(texts_.begin() + row);
    }
    endRemoveRows();
}

void RecordListModel::dropMissing(std::size_t tableSize)
{
    for (int row = size() - 1; row >= 0; --row)
        if (records_[static_cast<std::size_t>(row)] >= 0 &&
            static_cast<std::size_t>(records_[static_cast<std::size_t>(row)]) >= tableSize)
            removeAt(row);
}

bool RecordListModel::contains(int record) const
{
    return std::find(records_.begin(), records_.end(), record) != records_.end();
}

void RecordListModel::pinText(int record)
{
    if (!source_ || record < 0) return;
    QString text;
    bool fetched = false;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        if (records_[i] != record) continue;
        const int row = static_cast<int>(i);
        if (fixed_.count(row)) continue;
        if (!fetched) {
            text = source_(record);
            fetched = true;
        }
        fixed_.emplace(row, text);
    }
}

int RecordListModel::recordAt(int row) const
{
    if (row < 0 || row >= size()) return -1;
    return records_[static_cast<std::size_t>(row)];
}

QString RecordListModel::textAt(int row) const
{
    if (row < 0 || row >= size()) return {};
    if (!source_) return texts_[static_cast<std::size_t>(row)];
    if (auto it = fixed_.find(row); it != fixed_.end()) return it->second;
    const int record = records_[static_cast<std::size_t>(row)];
    return record >= 0 ? source_(record) : QString();
}

RecordListModel::TextSource clubLongNames(const db::Database& d)
{
    return [&d](int record) {
        if (!db::isValidRef(record, d.clubs.size())) return QString();
        return fromRaw(d.clubs[static_cast<std::size_t>(record)].text(db::ClubRecord::LongName));
    };
}

RecordListModel::TextSource staffDisplayNames(const db::Database& d)
{
    return [&d](int record) {
        if (!db::isValidRef(record, d.staff.size())) return QString();
        return fromRaw(d.staff[static_cast<std::size_t>(record)].displayName);
    };
}

RecordListModel::TextSource nameTexts(const db::Database& d, db::NameKind kind)
{
    return [&d, kind](int record) {
        const auto& table = d.names(kind);
        if (!db::isValidRef(record, table.size())) return QString();
        return fromRaw(table[static_cast<std::size_t>(record)].text(db::NameRecord::Name));
    };
}

std::vector<int> allRecords(std::size_t n)
{
    std::vector<int> records(n);
    std::iota(records.begin(), records.end(), 0);
    return records;
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

void followTable(RecordListModel* model, db::TableId table, const DatabaseChange& change,
                 std::size_t tableSize, const RecordListModel::TextSource& text)
{
    if (!model) return;
    if (change.removes(table)) model->dropMissing(tableSize);
    const auto [first, end] = change.added(table);
    for (std::size_t i = first; i < end && i < tableSize; ++i) {
        const int record = static_cast<int>(i);
        if (!model->contains(record)) model->append(text(record), record);
    }
}

void replaceSelectedEntry(QAbstractItemView* list, int record, const QString& text)
{
    RecordListModel* model = recordModel(list);
    if (!model) return;
    // With nothing selected nothing is removed and the list grows.
    model->removeAt(selectedRow(list));
    model->append(text, record);
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

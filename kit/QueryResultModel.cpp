#include "QueryResultModel.h"

#include <algorithm>

#include "kit/QtText.h"

QueryResultModel::QueryResultModel(const db::Database& d, QObject* parent)
    : QAbstractTableModel(parent), db_(d)
{
}

QueryResultModel::~QueryResultModel() = default;

void QueryResultModel::setResults(db::TableId t, std::vector<db::Column> columns,
                                  std::vector<std::int32_t> ids, db::QueryDate date)
{
    beginResetModel();
    table_ = t;
    columns_ = std::move(columns);
    ids_ = std::move(ids);
    // A reader remembers what it learnt of the tables: a new one for every
    // listing, since records may have come or gone since the last.
    reader_ = std::make_unique<db::ColumnReader>(db_, t, date);
    endResetModel();
}

void QueryResultModel::clear()
{
    beginResetModel();
    ids_.clear();
    reader_.reset();
    endResetModel();
}

std::int32_t QueryResultModel::idAt(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < ids_.size() ? ids_[static_cast<std::size_t>(row)] : -1;
}

int QueryResultModel::rowOf(std::int32_t id) const
{
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    return it == ids_.end() ? -1 : static_cast<int>(it - ids_.begin());
}

void QueryResultModel::setSortMarks(std::vector<std::pair<int, bool>> marks)
{
    sortMarks_ = std::move(marks);
    if (!columns_.empty()) emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(columns_.size()) - 1);
}

std::string QueryResultModel::rawText(int row, int column) const
{
    const std::int32_t id = idAt(row);
    if (id < 0 || !reader_ || column < 0 || static_cast<std::size_t>(column) >= columns_.size()) return {};
    return reader_->text(columns_[static_cast<std::size_t>(column)], id);
}

int QueryResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int QueryResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant QueryResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return fromRaw(rawText(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole &&
        db::columnIsNumber(columns_[static_cast<std::size_t>(index.column())]))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant QueryResultModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole || o != Qt::Horizontal || section < 0 ||
        static_cast<std::size_t>(section) >= columns_.size())
        return {};
    QString title = QString::fromStdString(columns_[static_cast<std::size_t>(section)].name);
    for (std::size_t k = 0; k < sortMarks_.size(); ++k)
        if (sortMarks_[k].first == section) {
            title += sortMarks_[k].second ? QStringLiteral(" \u25BC") : QStringLiteral(" \u25B2");
            if (sortMarks_.size() > 1) title += QString::number(k + 1);
        }
    return title;
}

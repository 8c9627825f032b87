#pragma once

// The results of a query as a table for a view: the record identifiers and
// the columns, nothing else. Every cell is read from the database when the
// view asks for it, so a million rows cost a vector of identifiers and
// scroll as smoothly as a hundred.

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <vector>

#include "db/query/Query.h"

class QueryResultModel : public QAbstractTableModel {
public:
    QueryResultModel(const db::Database& d, QObject* parent);
    ~QueryResultModel() override;

    // Rows `ids` of table `t`, the identifier first and then `columns`.
    void setResults(db::TableId t, std::vector<db::Column> columns, std::vector<std::int32_t> ids,
                    db::QueryDate date);
    void clear();

    db::TableId table() const { return table_; }
    const std::vector<db::Column>& columns() const { return columns_; }
    const std::vector<std::int32_t>& ids() const { return ids_; }
    // The record of a row; -1 outside the rows.
    std::int32_t idAt(int row) const;
    // The row showing `id`; -1 when it is not among the results.
    int rowOf(std::int32_t id) const;
    // Marks the header of the sort keys: "▲1", "▼2" after the column names.
    void setSortMarks(std::vector<std::pair<int, bool>> marks);

    // The text of a cell as the pages show it (Windows-1252).
    std::string rawText(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    const db::Database& db_;
    db::TableId table_ = db::TableId::Staff;
    std::vector<db::Column> columns_;
    std::vector<std::int32_t> ids_;
    std::vector<std::pair<int, bool>> sortMarks_;  // column, descending
    std::unique_ptr<db::ColumnReader> reader_;
};

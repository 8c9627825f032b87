#pragma once

// A read-only table of texts with column titles, for the windows that list
// findings (the list of changes, the checker, where used). The rows are
// built by the window each time it refreshes.

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class MessageSink;
class QWidget;

class TextTableModel : public QAbstractTableModel {
public:
    TextTableModel(QStringList titles, QObject* parent) : QAbstractTableModel(parent), titles_(std::move(titles)) {}

    void setRows(std::vector<QStringList> rows)
    {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<QStringList>& rows() const { return rows_; }
    void setTitles(QStringList titles)
    {
        titles_ = std::move(titles);
        if (!titles_.isEmpty()) emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(titles_.size()) - 1);
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(titles_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
        const QStringList& row = rows_[static_cast<std::size_t>(index.row())];
        return index.column() < row.size() ? row[index.column()] : QString();
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole || o != Qt::Horizontal || section < 0 || section >= titles_.size()) return {};
        return titles_[section];
    }

    // The table as CSV (RFC 4180, UTF-8 with CRLF line ends), titles first.
    QByteArray csv() const;

private:
    QStringList titles_;
    std::vector<QStringList> rows_;
};

// Asks for a file name (under `suggested`) and writes `model` there as CSV;
// a failure is reported through `messages`. False when nothing was written.
bool saveTableAsCsv(QWidget* parent, const TextTableModel& model, const QString& suggested,
                    MessageSink* messages);

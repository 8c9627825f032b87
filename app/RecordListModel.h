#pragma once

// The item list behind every list box and drop-down list that shows records.
//
// Each row is a text and the position of the record it stands for (-1 when it
// carries nothing, as the extra "<unknown>"/"<none>" items and "<none>"
// entries of the three-entry lists do). Texts are taken when a row is added
// and kept: a renamed club or person keeps its old text in lists built before
// the change, as the editor promises. Filling is one model reset, so lists of
// hundreds of thousands of rows fill without per-item redraws.

#include <QAbstractListModel>
#include <QString>
#include <vector>

class QAbstractItemView;
class QComboBox;

class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int RecordRole = Qt::UserRole;

    struct Row {
        QString text;
        int record = -1;
    };

    explicit RecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Replaces every row in one reset.
    void setRows(std::vector<Row> rows);
    void clear();
    void append(const QString& text, int record = -1);
    void removeAt(int row);

    int size() const { return static_cast<int>(rows_.size()); }
    // The record carried by a row; -1 when the row carries none or is out of range.
    int recordAt(int row) const;
    QString textAt(int row) const;

private:
    std::vector<Row> rows_;
};

// The model of a list view or combo box made for it by attachModel().
RecordListModel* recordModel(const QAbstractItemView* view);
RecordListModel* recordModel(const QComboBox* combo);

// Gives the view or combo box a RecordListModel of its own (idempotent) and
// returns it. Views get uniform item sizes so that long lists stay fast.
RecordListModel* attachModel(QAbstractItemView* view);
RecordListModel* attachModel(QComboBox* combo);

// The row selected in a list view, or -1 when none is selected.
int selectedRow(const QAbstractItemView* view);
// Selects (and makes current) row `row` of a list view; -1 clears the selection.
void selectRow(QAbstractItemView* view, int row);

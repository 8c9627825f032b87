#pragma once

// The item list behind every list box and drop-down list that shows records.
//
// Each row is the position of the record it stands for (-1 when it carries
// nothing, as the extra "<unknown>"/"<none>" items and "<none>" entries of the
// three-entry lists do) and a text. Rows come in two kinds:
//  - text rows (setRows/append), whose text is taken when the row is added;
//  - record rows (setRecords), which hold only the position and ask a text
//    source for their text when a view draws them. Filling a list of hundreds
//    of thousands of records is then one vector of ints; only the visible
//    rows are ever turned into text.
// A renamed club or person keeps its old text in lists built before the
// change, as the editor promises: whoever changes a record's text calls
// pinText(record) on the lists first, which stores the current text in that
// record's rows. Filling is one model reset, so long lists fill without
// per-item redraws.

#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class QAbstractItemView;
class QComboBox;

struct DatabaseChange;
namespace db {
class Database;
enum class NameKind : int;
enum class TableId : std::uint8_t;
}  // namespace db

class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int RecordRole = Qt::UserRole;

    struct Row {
        QString text;
        int record = -1;
    };

    // The current text of a record, given its position. Must give an empty
    // text for a position outside its table.
    using TextSource = std::function<QString(int record)>;

    explicit RecordListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Replaces every row with text rows in one reset.
    void setRows(std::vector<Row> rows);
    // Replaces every row with record rows in one reset; `source` gives their
    // texts on demand. Rows carrying -1 have an empty text.
    void setRecords(std::vector<int> records, TextSource source);
    // Empties the list (and forgets any text source).
    void clear();
    // Appends a row with a fixed text.
    void append(const QString& text, int record = -1);
    // Appends a record row; a list without a text source gets the row with an
    // empty text.
    void appendRecord(int record);
    void removeAt(int row);
    // Removes every row carrying a record at or past `tableSize` (records
    // an undone step took away).
    void dropMissing(std::size_t tableSize);
    bool contains(int record) const;

    // Stores the current text in every record row of `record` that has no
    // text of its own yet, so the rows keep it when the record changes.
    void pinText(int record);

    int size() const { return static_cast<int>(records_.size()); }
    // The record carried by a row; -1 when the row carries none or is out of range.
    int recordAt(int row) const;
    QString textAt(int row) const;

private:
    std::vector<int> records_;
    // Text rows: one text per row. Empty while the list holds record rows.
    std::vector<QString> texts_;
    // Record rows that have a text of their own (appended with one or
    // pinned), by row.
    std::map<int, QString> fixed_;
    TextSource source_;
};

// Text sources reading the current texts of the database's records; a
// position outside the table gives an empty text. The database must outlive
// the lists using them.
RecordListModel::TextSource clubLongNames(const db::Database& d);
RecordListModel::TextSource staffDisplayNames(const db::Database& d);
RecordListModel::TextSource nameTexts(const db::Database& d, db::NameKind kind);

// Every position 0 .. n-1, for record lists that show a whole table.
std::vector<int> allRecords(std::size_t n);

// The model of a list view or combo box made for it by attachModel().
RecordListModel* recordModel(const QAbstractItemView* view);
RecordListModel* recordModel(const QComboBox* combo);

// Gives the view or combo box a RecordListModel of its own (idempotent) and
// returns it. Views get uniform item sizes so that long lists stay fast.
RecordListModel* attachModel(QAbstractItemView* view);
RecordListModel* attachModel(QComboBox* combo);

// Keeps a list of records of `table` in step with a change: records an
// undone step took away leave it, records a step appended (done or done
// again) join it at the end with their current text, unless already there.
void followTable(RecordListModel* model, db::TableId table, const DatabaseChange& change,
                 std::size_t tableSize, const RecordListModel::TextSource& text);

// A picker's choice arriving in a three-entry list: the entry selected there
// now is removed, then `text` (carrying `record`, -1 for none) is appended,
// so the new entry always stands last.
void replaceSelectedEntry(QAbstractItemView* list, int record, const QString& text);

// The row selected in a list view, or -1 when none is selected.
int selectedRow(const QAbstractItemView* view);
// Selects (and makes current) row `row` of a list view; -1 clears the selection.
void selectRow(QAbstractItemView* view, int row);

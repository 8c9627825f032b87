#pragma once

// The rows of conditions of the Find window: a field, an operator and a
// value chosen from pick lists, joined with "and" or "or". The rows only
// write query text; the text is what runs, so a query typed by hand and one
// built here behave alike.

#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

#include "db/format/Tables.h"

class QComboBox;
class QGridLayout;
class QWidget;
namespace db {
class Database;
}  // namespace db

namespace db {
struct FieldInfo;
}

// The values a pick list offers for field `f`: a code's captions, the names
// of the records a reference may name (for tables short enough to list),
// Yes and No for a flag; empty for anything typed.
QStringList valueChoices(const db::Database& d, const db::FieldInfo& f);

class FindConditions : public QObject {
    Q_OBJECT
public:
    // The rows are laid out in `area`.
    FindConditions(const db::Database& d, QWidget* area, QObject* parent);

    // Starts again on table `t` with one empty row.
    void setTable(db::TableId t);
    void addRow();
    void removeRow();
    int rowCount() const { return static_cast<int>(rows_.size()); }

    // Fills row `k` (0-based) as a user would; `orJoin` joins it to the row
    // above with "or" instead of "and".
    void setRow(int k, const QString& field, const QString& op, const QString& value,
                const QString& to = QString(), bool orJoin = false);

    // The rows as query text; rows without a field are left out.
    QString queryText() const;

signals:
    void changed();

private:
    struct Row {
        QComboBox* join;
        QComboBox* field;
        QComboBox* op;
        QComboBox* value;
        QComboBox* to;
    };
    void fillValues(Row& r);
    void showParts(Row& r);
    QString rowText(const Row& r) const;
    QString valueText(const Row& r, const QString& value) const;

    const db::Database& db_;
    QWidget* area_;
    QGridLayout* grid_;
    db::TableId table_ = db::TableId::Staff;
    std::vector<Row> rows_;
};

#pragma once

// Edit > "Find...": the records of any table that a query matches, with the
// columns the user chooses, sorted by one column or several (Shift+click on
// a header adds a key). The results are a model over the database, so they
// stay cheap at any size, and the query runs again whenever the database
// changes, so they stay true. Double-clicking a row opens its record; two
// rows can be compared field by field; searches can be kept under a name.

#include <QDialog>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

#include "db/query/Query.h"

struct AppContext;
class ChangeAllForm;
class CompareRecordsForm;
class FindConditions;
class QueryResultModel;

namespace Ui {
class FindForm;
}

class FindForm : public QDialog {
    Q_OBJECT
public:
    explicit FindForm(AppContext& ctx, QWidget* parent = nullptr);
    ~FindForm() override;

    // Shows the window and puts the cursor in the query.
    void showFind();

    // Runs the query text on the chosen table; a query that cannot be read
    // leaves the results empty and says where it went wrong. True when it ran.
    bool runQuery();

    // The table searched, as the command line names it ("staff", "clubs", ...).
    void setTableName(const QString& name);
    // Sorts by `column` (an index into the results' columns) alone, or adds
    // it as a further key; choosing a key again turns its direction round.
    void sortBy(int column, bool addKey);
    // The rows selected (or every row when none is), as record identifiers.
    std::vector<std::int32_t> chosenRecords() const;

    // Saved searches, kept per user.
    void saveSearch(const QString& name);
    bool loadSearch(const QString& name);
    void deleteSearch(const QString& name);
    static QStringList savedSearchNames();

    // Writes the results as CSV (UTF-8, the identifier first); false on failure.
    bool saveCsv(const QString& path) const;

    QueryResultModel* results() const { return model_; }
    FindConditions* conditions() const { return conditions_; }
    CompareRecordsForm* compareForm() const { return compare_; }
    ChangeAllForm* changeAllForm() const { return changeAll_; }
    // "Change All..." on the rows selected, or every row when none is.
    void changeAll();
    void openRecord(int row);
    void compareSelected();
    void showWhereUsed();

private:
    db::TableId table() const;
    db::QueryDate ageDate() const;
    void tableChosen();
    void applySort();
    void followChange();
    void fillSavedSearches();
    QString sortText() const;

    AppContext& ctx_;
    std::unique_ptr<Ui::FindForm> ui;
    QueryResultModel* model_;
    FindConditions* conditions_;
    CompareRecordsForm* compare_ = nullptr;
    ChangeAllForm* changeAll_ = nullptr;
    std::vector<std::pair<int, bool>> sort_;  // result column, descending
    bool ran_ = false;                        // results shown for the query in the text
    bool rerunPending_ = false;
    bool stale_ = false;  // the database changed while hidden
};

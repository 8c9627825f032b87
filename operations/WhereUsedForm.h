#pragma once

// "Where Used": every record field that refers to one record (a club, a
// person, a name, a stadium, ...), so the user sees what a change of it
// would reach. Double-clicking a line opens the referring record's page.

#include <QDialog>
#include <cstddef>
#include <memory>
#include <vector>

#include "db/query/WhereUsed.h"

struct AppContext;
class TextTableModel;

namespace Ui {
class WhereUsedForm;
}

class WhereUsedForm : public QDialog {
    Q_OBJECT
public:
    explicit WhereUsedForm(AppContext& ctx, QWidget* parent = nullptr);
    ~WhereUsedForm() override;

    // Lists the uses of record `record` of `table` and shows the window.
    void showUses(db::TableId table, std::size_t record);
    const std::vector<db::Use>& uses() const { return uses_; }
    void showRecordOf(int row);

private:
    void refresh();

    AppContext& ctx_;
    std::unique_ptr<Ui::WhereUsedForm> ui;
    TextTableModel* model_;
    db::TableId table_ = db::TableId::Clubs;
    std::size_t record_ = 0;
    std::vector<db::Use> uses_;
};

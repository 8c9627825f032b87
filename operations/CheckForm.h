#pragma once

// Edit > "Check Database...": the rule checker's problems in the loaded
// database, filtered by grade and sorted by table. It follows every change
// of the database, so a fixed field's line goes at once; double-clicking a
// line opens its record on its page.

#include <QDialog>
#include <memory>
#include <vector>

#include "db/query/Checker.h"

struct AppContext;
class TextTableModel;

namespace Ui {
class CheckForm;
}

class CheckForm : public QDialog {
    Q_OBJECT
public:
    explicit CheckForm(AppContext& ctx, QWidget* parent = nullptr);
    ~CheckForm() override;

    // Shows the window, filtered to one grade (-1: every grade).
    void showProblems(int grade = -1);
    // Checks the database again and lists what the filter lets through.
    void refresh();
    // The problems listed, in their order.
    const std::vector<db::Problem>& shown() const { return shown_; }
    void showRecordOf(int row);

private:
    AppContext& ctx_;
    std::unique_ptr<Ui::CheckForm> ui;
    TextTableModel* model_;
    std::vector<db::Problem> problems_;
    std::vector<db::Problem> shown_;
    bool refreshPending_ = false;
};

// The damage problems of `d` that `before` (lines of the damage found at
// load) does not hold: what a save would newly write.
std::vector<db::Problem> newDamage(const db::Database& d, const std::vector<std::string>& before);
// The lines of every damage problem of `d`, sorted.
std::vector<std::string> damageLines(const db::Database& d);

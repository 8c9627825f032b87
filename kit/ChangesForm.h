#pragma once

// Edit > Changes...: every field changed since loading and not undone, in
// the order made, with old and new values as the pages show them, and each
// record added. Double-clicking a line shows its record on its page; the
// list can be saved as CSV.

#include <QDialog>
#include <memory>
#include <vector>

#include "db/editing/ChangeList.h"

class EditHistory;
class TextTableModel;

namespace Ui {
class ChangesForm;
}

class ChangesForm : public QDialog {
    Q_OBJECT
public:
    explicit ChangesForm(EditHistory& history, QWidget* parent = nullptr);
    ~ChangesForm() override;

    // Computes the list afresh from the loaded copy and the tables.
    void refresh();
    const std::vector<db::ChangeEntry>& entries() const { return entries_; }
    const std::vector<db::ChangeText>& lines() const { return lines_; }

    // Shows the record of line `row` on its page (clubs, staff and their
    // playing and non-playing records); other records have no page.
    void showRecordOf(int row);
    // Writes the list to `path` as CSV; false (with the error box) on failure.
    bool saveCsv(const QString& path);
    void SaveCsvButtonClick();

private:
    EditHistory& history_;
    std::unique_ptr<Ui::ChangesForm> ui;
    TextTableModel* model_;
    std::vector<db::ChangeEntry> entries_;
    std::vector<db::ChangeText> lines_;
};

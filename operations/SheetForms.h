#pragma once

// File > "Export to Spreadsheet..." and File > "Import from Spreadsheet...".
// Export writes any table (all records, the Find window's results or the
// records changed since the load) as the command line's export does. Import
// reads a file, checks every row before anything changes, shows the faults
// or the changes in the form of Edit > Changes..., and applies them as one
// step that Undo takes back whole.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/exchange/SpreadsheetImport.h"

struct AppContext;
class TextTableModel;

namespace Ui {
class ExportSheetForm;
class ImportSheetForm;
}  // namespace Ui

// Asks for a file to write (`save`) or read; empty when the user cancels.
// Tests put their own in with setSheetFileChooser.
QString chooseSheetFile(QWidget* parent, bool save, const QString& suggested);
void setSheetFileChooser(std::function<QString(QWidget*, bool save)> chooser);

class ExportSheetForm : public QDialog {
    Q_OBJECT
public:
    explicit ExportSheetForm(AppContext& ctx, QWidget* parent = nullptr);
    ~ExportSheetForm() override;

    // Shows the dialog on table `t`; `found` are the Find window's results
    // (none when it was opened from the File menu).
    void showExport(db::TableId t, std::vector<std::int32_t> found = {});
    // Writes the chosen records of the chosen table to `path`; false (with a
    // message) when the file cannot be written.
    bool exportTo(const QString& path);

private:
    std::vector<std::int32_t> changedRecords(db::TableId t) const;

    AppContext& ctx_;
    std::unique_ptr<Ui::ExportSheetForm> ui;
    db::TableId foundTable_ = db::TableId::Count;
    std::vector<std::int32_t> found_;
};

class ImportSheetForm : public QDialog {
    Q_OBJECT
public:
    explicit ImportSheetForm(AppContext& ctx, QWidget* parent = nullptr);
    ~ImportSheetForm() override;

    void showImport();
    // Reads `path` as the chosen table and checks it; true when it can be
    // applied (no fault). The preview or the faults are listed either way.
    bool readFile(const QString& path);
    // Applies the checked file as one undo step; false when there is
    // nothing to apply or the database changed in a way the file no longer fits.
    bool apply();
    const db::ImportPlan& plan() const { return plan_; }
    const TextTableModel& list() const { return *model_; }

private:
    void check();

    AppContext& ctx_;
    std::unique_ptr<Ui::ImportSheetForm> ui;
    TextTableModel* model_;
    QString fileName_;
    std::string bytes_;  // the file as read, checked again after any change
    db::ImportPlan plan_;
    bool stale_ = false;  // the database changed while the window was hidden
};

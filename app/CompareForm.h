#pragma once

// File > Compare with Folder...: the differences between the database of
// another game folder (an untouched copy of the original data, say) and the
// loaded one, in the form of Edit > Changes... (table, record, field, its
// value, ours), which can be saved as an update (the file
// `quarndb-cli diff` writes, from that folder to the loaded database) or as
// CSV.

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "db/editing/ChangeList.h"

struct AppContext;
class QAbstractTableModel;

namespace Ui {
class CompareForm;
}

class CompareForm : public QDialog {
    Q_OBJECT
public:
    explicit CompareForm(AppContext& ctx, QWidget* parent = nullptr);
    ~CompareForm() override;

    // Loads the database of `gameDir` and lists its differences with the
    // loaded one; false (with one message) when the folder cannot be loaded.
    bool compareWith(const QString& gameDir);
    const std::vector<db::ChangeText>& lines() const { return lines_; }

    // false (with one message) when the file cannot be written or the
    // difference is one no update carries.
    bool saveUpdate(const QString& path);
    bool saveCsv(const QString& path);
    void SaveUpdateButtonClick();
    void SaveCsvButtonClick();

private:
    AppContext& ctx_;
    std::unique_ptr<Ui::CompareForm> ui;
    QAbstractTableModel* model_;
    db::Database other_;
    std::vector<db::ChangeText> lines_;
};

// The menu item: asks for a folder and shows the dialog.
void compareWithFolder(AppContext& ctx, QWidget* parent);
// Tests answer the folder dialog; an empty function restores it.
void setCompareFolderChooser(std::function<QString(QWidget*)> chooser);

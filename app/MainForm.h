#pragma once

// The main window: menu, the Main, Clubs and Staff tabs, and the File > Open
// and File > Save commands.

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>
#include <string>

#include "db/storage/Backup.h"

struct AppContext;
class MessageSink;
class QTabWidget;

namespace Ui {
class MainForm;
}

namespace db {
class Progress;
}

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(AppContext& ctx, QWidget* parent = nullptr);
    ~MainForm() override;

    // Menu commands.
    void Open1Click();
    void Save1Click();
    void ApplyUpdate1Click();
    void Exit1Click();
    void Club1Click();
    void Staff1Click();
    void Wizard1Click();
    void About1Click();

    // Started (false) or Loaded (true): menu states and the editor tabs.
    bool isLoaded() const { return loaded_; }

    // The game folder as typed in CM3Dir, in the file system's encoding.
    std::string gameDirectory() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void readGameDirectory(bool& found);
    void loadNotes();
    void readIndex();
    void setLoaded(bool loaded);
    void clearAllLists();
    void fillAllLists();
    db::Progress& progress();
    MessageSink& messages();

    AppContext& ctx_;
    std::unique_ptr<Ui::MainForm> ui;
    // Asks before a save that would write damage the files did not have at
    // load; false when the user chose not to save.
    bool confirmNoNewDamage();

    db::SaveSession saveSession_;
    // Lines of the damage the database had when it was loaded, sorted.
    std::vector<std::string> loadedDamage_;
    bool loaded_ = false;
    bool centred_ = false;
};

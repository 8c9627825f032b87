#pragma once

// A generated game folder with its Wine prefix, the program's own two files,
// and the editor's windows built over them with recorded messages.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "kit/AppContext.h"
#include "kit/Messages.h"
#include "kit/Platform.h"
#include "db/format/Database.h"

class QComboBox;
class QListView;
class QWidget;
class RecordListModel;

struct SampleFolder {
    QTemporaryDir tmp;
    QString gameDir;     // holds data/
    QString prefixDir;   // a Wine prefix naming gameDir
    QString wizardPath;  // wizard.quarn with the templates below
    QString notesPath;   // quarndb.txt
    db::Database written;
    QStringList templateNames{QStringLiteral("Goalkeeper Template"), QStringLiteral("Striker"),
                              QStringLiteral("Libero Last")};

    explicit SampleFolder(double scale = 0.01);
    QString dataFile(const QString& name) const { return gameDir + QStringLiteral("/data/") + name; }
};

// The platform of the fixtures' editors: the program's own on Linux, where it
// reads the Wine prefix in $WINEPREFIX. Windows has no prefix, so there the
// same system.reg text in $WINEPREFIX stands in for the registry, whose real
// lookup is tested on its own.
class FixturePlatform : public Platform {
#ifdef _WIN32
public:
    QString gameDirectory() const override;
#endif
};

// Writes a prefix whose registry names `gameDir` as the game's folder.
void writeGamePrefix(const QString& prefix, const QString& gameDir);

// Writes a wizard.quarn holding one template per name.
void writeWizardFile(const QString& path, const QStringList& names);
// Writes the notes text.
void writeTextFile(const QString& path, const QByteArray& content);
QByteArray readBytes(const QString& path);

// The windows as the program creates them, over a prefix given in
// $WINEPREFIX, with messages recorded.
struct Editor {
    AppContext ctx;
    RecordingMessages messages;
    FixturePlatform platform;

    Editor(const QString& notesPath, const QString& wizardPath);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;
};

// The record model of the combo box or list view called `name` under `root`;
// null when there is none.
RecordListModel* comboModel(const QWidget* root, const char* name);
RecordListModel* listModel(const QWidget* root, const char* name);

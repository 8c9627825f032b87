// File > Open and File > Save through the windows: status texts, pick lists,
// menu and tab states, failures and their repair, and saving in place.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include "AppFixture.h"
#include "app/MainForm.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "app/Startup.h"
#include "app/StatusForm.h"
#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "db/storage/SaveRecord.h"
#include "operations/TransferForm.h"
#include "operations/WizForm.h"
#include "staff/NamesForm.h"
#include "staff/StaffPage.h"

namespace {

const QStringList LoadTexts{"Loading Cities",
                            "Loading Clubs",
                            "Loading Club Competitions",
                            "Loading Colours",
                            "Loading First Names",
                            "Loading Second Names",
                            "Loading Common Names",
                            "Loading Nations",
                            "Loading Stadiums",
                            "Loading Staff General",
                            "Loading Staff Unknown",
                            "Loading Staff Non-Playing",
                            "Loading Staff Playing",
                            "Loading Player Wizard Plugin"};

const QStringList SavedFiles{"index.dat",        "club.dat",    "first_names.dat", "second_names.dat",
                             "common_names.dat", "stadium.dat", "staff.dat"};
const QStringList UnsavedFiles{"city.dat", "club_comp.dat", "colour.dat", "nation.dat"};

bool tabShown(MainForm* main, const char* name)
{
    auto* tabs = main->findChild<QTabWidget*>("PageControl1");
    return tabs->isTabVisible(tabs->indexOf(main->findChild<QWidget*>(QLatin1String(name))));
}

// Started or Loaded, as the menus and tabs show it.
void checkState(MainForm* main, bool loaded)
{
    QCOMPARE(main->findChild<QAction*>("Open1")->isEnabled(), !loaded);
    QCOMPARE(main->findChild<QAction*>("Save1")->isEnabled(), loaded);
    QCOMPARE(main->findChild<QMenu*>("Edit1")->isEnabled(), loaded);
    QCOMPARE(tabShown(main, "TabSheet2"), loaded);
    QCOMPARE(tabShown(main, "TabSheet10"), loaded);
}

QString text(const std::string& raw)
{
    return fromRaw(raw);
}

QMap<QString, QByteArray> snapshot(const QString& dataDir)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(dataDir).entryList(QDir::Files))
        files[name] = readBytes(dataDir + "/" + name);
    return files;
}

}  // namespace

class LoadSaveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void loadFillsEveryPickListAndUnlocksTheEditors()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        Editor editor(sample.notesPath, sample.wizardPath);
        AppContext& ctx = editor.ctx;
        QCOMPARE(editor.messages.texts(), QStringList());

        ctx.mainForm->Open1Click();
        QCOMPARE(editor.messages.texts(), QStringList{"Loading is done!"});
        QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Information);
        QCOMPARE(ctx.statusForm->statusHistory(), LoadTexts);
        QVERIFY(!ctx.statusForm->isVisible());
        checkState(ctx.mainForm, true);

        const db::Database& w = sample.written;
        const int comps = static_cast<int>(w.clubComps.size());
        RecordListModel* division = comboModel(ctx.clubPage, "ClubDivision");
        QVERIFY(division);
        QCOMPARE(division->size(), comps + 1);
        QCOMPARE(division->textAt(0), text(w.clubComps[0].text(db::ClubCompRecord::ClubCompName)));
        QCOMPARE(division->textAt(comps), QStringLiteral("<unknown>"));

        const int nations = static_cast<int>(w.nations.size());
        RecordListModel* second = comboModel(ctx.staffPage, "StaffSecondNation");
        QVERIFY(second);
        QCOMPARE(second->size(), nations + 1);
        QCOMPARE(second->textAt(nations), QStringLiteral("<none>"));
        RecordListModel* nameNation = comboModel(ctx.namesForm, "Nation");
        QVERIFY(nameNation);
        QCOMPARE(nameNation->size(), nations);
        QCOMPARE(nameNation->textAt(nations - 1), text(w.nations.back().text(db::NationRecord::NationName)));

        const int clubs = static_cast<int>(w.clubs.size());
        for (QWidget* window :
             {static_cast<QWidget*>(ctx.findClubForm), static_cast<QWidget*>(ctx.transferForm),
              static_cast<QWidget*>(ctx.clubPage)}) {
            RecordListModel* list = listModel(window, "ListBoxClubs");
            QVERIFY2(list, qPrintable(window->objectName()));
            QCOMPARE(list->size(), clubs);
            QCOMPARE(list->recordAt(0), 0);
            QCOMPARE(list->recordAt(clubs - 1), clubs - 1);
            QCOMPARE(list->textAt(clubs - 1), text(w.clubs.back().text(db::ClubRecord::LongName)));
        }

        RecordListModel* templates = listModel(ctx.wizForm, "ListBox1");
        QVERIFY(templates);
        QCOMPARE(templates->size(), sample.templateNames.size());
        QCOMPARE(templates->textAt(0), sample.templateNames.first());
        QCOMPARE(templates->textAt(2), sample.templateNames.last());
        QCOMPARE(templates->recordAt(2), 2);
    }

    void failedLoadsCanBeRepeated_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("lastStatus");
        QTest::newRow("missing file") << "club_comp.dat"
                                      << "Cannot open file %G/data/club_comp.dat."
                                      << "Loading Clubs";
        QTest::newRow("short file") << "short stadium.dat"
                                    << "Stream read error."
                                    << "Loading Stadiums";
        QTest::newRow("missing wizard.quarn") << "wizard"
                                              << "Cannot open file %W."
                                              << "Loading Staff Playing";
    }

    void failedLoadsCanBeRepeated()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(QString, lastStatus);
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        const QString aside = sample.tmp.filePath("aside");
        QString broken;
        if (fault == "wizard") {
            broken = sample.wizardPath;
        } else if (fault.startsWith("short ")) {
            broken = sample.dataFile(fault.mid(6));
        } else {
            broken = sample.dataFile(fault);
        }
        QVERIFY(QFile::copy(broken, aside));
        if (fault.startsWith("short ")) {
            QFile f(broken);
            QVERIFY(f.resize(f.size() - 10));
        } else {
            QVERIFY(QFile::remove(broken));
        }

        Editor editor(sample.notesPath, sample.wizardPath);
        AppContext& ctx = editor.ctx;
        ctx.mainForm->Open1Click();
        // Files of the game folder are named the system's way.
        const QString expected =
            message.contains("%G") ? QDir::toNativeSeparators(QString(message).replace("%G", sample.gameDir))
                                   : QString(message).replace("%W", sample.wizardPath);
        QCOMPARE(editor.messages.texts(), QStringList{expected});
        QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Failure);
        checkState(ctx.mainForm, false);
        QVERIFY(ctx.statusForm->isVisible());
        QCOMPARE(ctx.statusForm->statusText(), lastStatus);

        // What was read before the failure is listed; the clubs, read second,
        // are there in every case.
        const int clubs = static_cast<int>(sample.written.clubs.size());
        QCOMPARE(listModel(ctx.findClubForm, "ListBoxClubs")->size(), clubs);

        // Mend the fault and open again: everything once, nothing twice.
        QFile::remove(broken);
        QVERIFY(QFile::copy(aside, broken));
        editor.messages.clear();
        ctx.mainForm->Open1Click();
        QCOMPARE(editor.messages.texts(), QStringList{"Loading is done!"});
        checkState(ctx.mainForm, true);
        QVERIFY(!ctx.statusForm->isVisible());
        QCOMPARE(listModel(ctx.findClubForm, "ListBoxClubs")->size(), clubs);
        QCOMPARE(listModel(ctx.transferForm, "ListBoxClubs")->size(), clubs);
        QCOMPARE(comboModel(ctx.clubPage, "ClubDivision")->size(),
                 static_cast<int>(sample.written.clubComps.size()) + 1);
        QCOMPARE(listModel(ctx.wizForm, "ListBox1")->size(), sample.templateNames.size());
        QCOMPARE(ctx.db.clubs.size(), sample.written.clubs.size());
        QCOMPARE(ctx.db.staff.size(), sample.written.staff.size());
    }

    void saveRewritesTheSameBytesAfterABackup()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        const QString dataDir = sample.gameDir + "/data";
        const QMap<QString, QByteArray> before = snapshot(dataDir);
        Editor editor(sample.notesPath, sample.wizardPath);
        AppContext& ctx = editor.ctx;
        ctx.mainForm->Open1Click();
        editor.messages.clear();

        ctx.mainForm->Save1Click();
        QCOMPARE(editor.messages.texts(), QStringList{"Saving was a smashing success!"});
        const QMap<QString, QByteArray> after = snapshot(dataDir);
        QCOMPARE(after.keys().join(" "), before.keys().join(" "));
        for (const QString& name : before.keys()) QVERIFY2(after[name] == before[name], qPrintable(name));
        QVERIFY(!ctx.statusForm->isVisible());
        QVERIFY(ctx.statusForm->statusHistory().endsWith("Saving Playing Staff"));
        QVERIFY(ctx.statusForm->statusHistory().contains("Saving Clubs"));
        checkState(ctx.mainForm, true);

        // The first save copied the game's files aside and said where.
        const QStringList backups = QDir(sample.gameDir).entryList({"data-backup-*"}, QDir::Dirs);
        QCOMPARE(backups.size(), 1);
        const QString backupDir = sample.gameDir + "/" + backups[0];
        for (const QString& name : SavedFiles) QCOMPARE(readBytes(backupDir + "/" + name), before[name]);
        const QString memo = ctx.mainForm->findChild<QTextEdit*>("AboutMemo")->toPlainText();
        QVERIFY2(memo.contains(QDir::toNativeSeparators(backupDir)), qPrintable(memo));

        // A second save takes no second copy.
        ctx.mainForm->Save1Click();
        QCOMPARE(QDir(sample.gameDir).entryList({"data-backup-*"}, QDir::Dirs).size(), 1);
        QCOMPARE(snapshot(dataDir), before);
    }

    void saveIntoReadOnlyStaffFileChangesNothing()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        const QString dataDir = sample.gameDir + "/data";
        Editor editor(sample.notesPath, sample.wizardPath);
        AppContext& ctx = editor.ctx;
        ctx.mainForm->Open1Click();
        editor.messages.clear();

        // Something to save: a club renamed in memory.
        ctx.db.clubs[0].setText(db::ClubRecord::LongName, "Renamed Rovers");
        const QString staffFile = sample.dataFile("staff.dat");
        QVERIFY(QFile::setPermissions(staffFile, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QMap<QString, QByteArray> before = snapshot(dataDir);

        ctx.mainForm->Save1Click();
        // The specified first sentence, then why and what state the folder is in.
        QCOMPARE(editor.messages.texts().size(), 1);
        QVERIFY2(editor.messages.texts()[0].startsWith("Cannot open file " +
                                                       QDir::toNativeSeparators(staffFile) + ". It "),
                 qPrintable(editor.messages.texts()[0]));
        QVERIFY(
            editor.messages.texts()[0].endsWith("Nothing was changed; your edits are still open; make the "
                                                "game's data folder writable and Save again."));
        QCOMPARE(snapshot(dataDir), before);
        // The status window stays up; saving can be tried again.
        QVERIFY(ctx.statusForm->isVisible() || ctx.statusForm->statusHistory().isEmpty() ||
                ctx.statusForm->statusHistory().last() == LoadTexts.last());
        checkState(ctx.mainForm, true);

        QVERIFY(QFile::setPermissions(staffFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        editor.messages.clear();
        ctx.mainForm->Save1Click();
        QCOMPARE(editor.messages.texts(), QStringList{"Saving was a smashing success!"});
        QVERIFY(readBytes(sample.dataFile("club.dat")).contains("Renamed Rovers"));
    }

    void saveIsRefusedBeforeALoad()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        const QMap<QString, QByteArray> before = snapshot(sample.gameDir + "/data");
        Editor editor(sample.notesPath, sample.wizardPath);
        // Only reachable by calling the handler: the menu item is disabled.
        editor.ctx.mainForm->Save1Click();
        QCOMPARE(editor.messages.texts(), QStringList());
        QCOMPARE(snapshot(sample.gameDir + "/data"), before);
        QVERIFY(QDir(sample.gameDir).entryList({"data-backup-*"}, QDir::Dirs).isEmpty());
    }

    // What an interrupted save left is dealt with before the index is read;
    // a folder that cannot be made whole is neither loaded nor saved over.
    void interruptedSaveIsDealtWithBeforeAnythingReadsTheFolder()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        const QString stray = sample.dataFile(".club.dat.ab12cd34.tmp");
        writeTextFile(stray, "half a club file");
        {
            Editor editor(sample.notesPath, sample.wizardPath);
            QCOMPARE(editor.messages.texts().size(), 1);
            QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Information);
            QVERIFY2(
                editor.messages.texts()[0].contains("interrupted before it changed any of the game's files"),
                qPrintable(editor.messages.texts()[0]));
            QVERIFY(!QFile::exists(stray));
        }

        // A record naming a new club.dat that is not there, with no original
        // kept: there is no whole set to go to.
        const std::string record =
            db::formatSaveRecord({{"club.dat", ".club.dat.x.tmp", ".club.dat.quarn-old", 1, 1}});
        writeTextFile(sample.dataFile(".quarndb-save"), QByteArray::fromStdString(record));
        const QMap<QString, QByteArray> before = snapshot(sample.gameDir + "/data");
        Editor editor(sample.notesPath, sample.wizardPath);
        QCOMPARE(editor.messages.shown.size(), size_t{1});
        QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Failure);
        QVERIFY(editor.messages.texts()[0].contains("cannot be made whole again"));
        editor.ctx.mainForm->Open1Click();
        QVERIFY(!editor.ctx.mainForm->isLoaded());
        QCOMPARE(editor.messages.shown.size(), size_t{2});
        QCOMPARE(snapshot(sample.gameDir + "/data"), before);
    }

    void typedDirectoryIsLoadedWithTheStartupIndex()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        const QString copy = sample.tmp.filePath("copy");
        QVERIFY(QDir().mkpath(copy + "/data"));
        for (const QString& name : QDir(sample.gameDir + "/data").entryList(QDir::Files))
            QVERIFY(QFile::copy(sample.gameDir + "/data/" + name, copy + "/data/" + name));
        QVERIFY(QFile::remove(sample.dataFile("club.dat")));

        Editor editor(sample.notesPath, sample.wizardPath);
        editor.ctx.mainForm->findChild<QLineEdit*>("CM3Dir")->setText(copy);
        editor.ctx.mainForm->Open1Click();
        QCOMPARE(editor.messages.texts(), QStringList{"Loading is done!"});
        QCOMPARE(editor.ctx.db.clubs.size(), sample.written.clubs.size());
    }
};

QTEST_MAIN(LoadSaveTest)
#include "LoadSaveTest.moc"

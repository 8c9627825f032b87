// Start-up: the game folder from a Wine prefix, the notes, the index, the
// windows and their first states.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "AppFixture.h"
#include "about/AboutForm.h"
#include "app/MainForm.h"
#include "kit/Platform.h"
#include "app/Startup.h"
#include "app/StatusForm.h"
#include "clubs/FindClubForm.h"
#include "operations/AddStaffForm.h"
#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "operations/WizForm.h"
#include "staff/NamesForm.h"
#include "tools/sample/SampleDb.h"

namespace {

const QString Key = QString::fromLatin1(wine::GameKey);

QString reg(const QString& body)
{
    return QStringLiteral("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n") +
           body;
}

void writeRegistry(const QString& prefix, const QString& body)
{
    QDir().mkpath(prefix);
    writeTextFile(prefix + QStringLiteral("/system.reg"), reg(body).toUtf8());
}

QString gameKeyLine()
{
    return QStringLiteral("[Software\\\\Sports Interactive Ltd\\\\Championship Manager 3] 1733690000\n");
}

template <typename T>
T* child(QWidget* root, const char* name)
{
    return root->findChild<T*>(QLatin1String(name));
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void init() { qunsetenv("WINEPREFIX"); }

    // ---- Reading Wine's registry file ---------------------------------------

    void registryStringForms_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "\"Location\"=\"C:\\\\Games\\\\CM3\""
                               << "C:\\Games\\CM3";
        QTest::newRow("expandable") << "\"Location\"=str(2):\"C:\\\\CM3\""
                                    << "C:\\CM3";
        QTest::newRow("name case") << "\"LOCATION\"=\"D:\\\\x\""
                                   << "D:\\x";
        QTest::newRow("quote and hex escape")
            << "\"Location\"=\"a\\\"b\\x00e9c\"" << QStringLiteral("a\"b\u00e9c");
        QTest::newRow("octal escape") << "\"Location\"=\"a\\101b\"" << QStringLiteral("aAb");
        QTest::newRow("hex(1) UTF-16")
            << "\"Location\"=hex(1):43,00,3a,00,5c,00,\\\n  78,00,00,00" << QStringLiteral("C:\\x");
        QTest::newRow("empty") << "\"Location\"=\"\"" << QString();
    }

    void registryStringForms()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        const QString text =
            reg(QStringLiteral("[Software\\\\Other] 1\n\"Location\"=\"wrong\"\n\n") +
                QStringLiteral("[software\\\\sports interactive ltd\\\\championship manager 3] 1\n") +
                QStringLiteral("#time=1d\n\"Other\"=dword:00000001\n") + line + "\n");
        const std::optional<QString> value = wine::readStringValue(text, Key, QStringLiteral("Location"));
        QVERIFY(value.has_value());
        QCOMPARE(*value, expected);
    }

    void registryMissingAndWrongType()
    {
        // Value only under another key, or key without the value: nothing.
        QVERIFY(!wine::readStringValue(reg("[Software\\\\Other] 1\n\"Location\"=\"x\"\n"), Key, "Location"));
        QVERIFY(!wine::readStringValue(reg(gameKeyLine() + "\"Version\"=\"1\"\n"), Key, "Location"));
        QVERIFY(!wine::readStringValue(QString(), Key, "Location"));
        // A key that merely starts like ours is another key.
        QVERIFY(!wine::readStringValue(reg("[Software\\\\Sports Interactive Ltd\\\\Championship Manager "
                                           "3\\\\Sub] 1\n\"Location\"=\"x\"\n"),
                                       Key, "Location"));

        for (const char* data : {"dword:00000001", "hex:01,02", "hex(7):41,00,00,00", "str(7):\"x\""}) {
            try {
                wine::readStringValue(reg(gameKeyLine() + "\"Location\"=" + data + "\n"), Key, "Location");
                QFAIL(data);
            } catch (const PlatformError& e) {
                QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Invalid data type for 'Location'"));
            }
        }
    }

    void windowsPathsBecomeUnixPaths()
    {
#ifdef _WIN32
        QSKIP("A Wine prefix maps its drives through symbolic links: Linux only");
#endif
        QTemporaryDir tmp;
        const QString prefix = tmp.path();
        QDir(prefix).mkpath("drive_c/Games/CM3");
        QDir(prefix).mkpath("dosdevices");
        QVERIFY(QFile::link(QStringLiteral("/"), prefix + "/dosdevices/z:"));
        const QString target = tmp.filePath("elsewhere");
        QDir().mkpath(target + "/Sub");
        QVERIFY(QFile::link(target, prefix + "/dosdevices/e:"));

        // No dosdevices entry for C: falls back to drive_c; names in other case are found.
        QCOMPARE(wine::toUnixPath(prefix, "C:\\games\\cm3"), QDir(prefix).filePath("drive_c/Games/CM3"));
        QCOMPARE(wine::toUnixPath(prefix, "c:\\Games\\CM3\\"), QDir(prefix).filePath("drive_c/Games/CM3"));
        QCOMPARE(wine::toUnixPath(prefix, "Z:" + QDir::toNativeSeparators(prefix).replace('/', '\\')),
                 prefix);
        QCOMPARE(wine::toUnixPath(prefix, "E:\\sub\\Missing"), target + "/Sub/Missing");
        // An unmapped drive still gives a path that names the drive.
        QCOMPARE(wine::toUnixPath(prefix, "Q:\\CM3"), prefix + "/dosdevices/q:/CM3");
        QCOMPARE(wine::toUnixPath(prefix, "\\\\server\\share"), QStringLiteral("//server/share"));
    }

    void gameDirectoryFromPrefix()
    {
        QTemporaryDir tmp;
        // No prefix, or a prefix without its registry: not installed.
        QCOMPARE(wine::gameDirectory(tmp.filePath("none")), QString());
        QCOMPARE(wine::gameDirectory(tmp.path()), QString());

        const QString prefix = tmp.filePath("p");
        QDir().mkpath(prefix + "/drive_c/CM3");
        // A 64-bit prefix keeps the 32-bit installer's key under Wow6432Node.
        writeRegistry(prefix,
                      "[Software\\\\Wow6432Node\\\\Sports Interactive Ltd\\\\Championship Manager 3] 1\n"
                      "\"Location\"=\"C:\\\\CM3\"\n");
        const QByteArray before = readBytes(prefix + "/system.reg");
        QCOMPARE(wine::gameDirectory(prefix), prefix + "/drive_c/CM3");
        QCOMPARE(readBytes(prefix + "/system.reg"), before);  // only ever read
    }

    // ---- The editor starting ------------------------------------------------

    void startsOnTheGameNamedByTheRegistry()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        Editor editor(sample.notesPath, sample.wizardPath);
        MainForm* main = editor.ctx.mainForm;

        QCOMPARE(editor.messages.texts(), QStringList());
        QCOMPARE(child<QLineEdit>(main, "CM3Dir")->text(), QDir::toNativeSeparators(sample.gameDir));
        QVERIFY(editor.ctx.db.hasFullIndex());
        QCOMPARE(editor.ctx.db.entry(db::Entry::Clubs).number(db::IndexEntry::RecordCount),
                 static_cast<std::int64_t>(sample.written.clubs.size()));
        QCOMPARE(child<QTextEdit>(main, "AboutMemo")->toPlainText(),
                 QStringLiteral("Welcome to Quarn db\nSecond line of the notes"));
        QVERIFY(editor.ctx.db.clubs.empty());
    }

    void startupFailures_data()
    {
        QTest::addColumn<QString>("registry");  // empty: no system.reg at all
        QTest::addColumn<bool>("noData");
        QTest::addColumn<QString>("cm3Dir");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("not installed")
            << QString() << false << QString() << QStringList{"Cannot open file /data/index.dat."};
        QTest::newRow("key without value")
            << gameKeyLine() + "\"Version\"=\"1.0\"\n"
            << false << QString() << QStringList{"Cannot open file /data/index.dat."};
        QTest::newRow("wrong type") << gameKeyLine() + "\"Location\"=dword:00000001\n"
                                    << false << QString() << QStringList{"Invalid data type for 'Location'"};
        QTest::newRow("folder without data")
            << QString("*") << true << QString("*") << QStringList{"Cannot open file */data/index.dat."};
    }

    void startupFailures()
    {
        QFETCH(QString, registry);
        QFETCH(bool, noData);
        QFETCH(QString, cm3Dir);
        QFETCH(QStringList, messages);
        SampleFolder sample;
        const QString prefix = sample.tmp.filePath("other-prefix");
        QDir().mkpath(prefix);
        if (noData) {
            QDir(sample.gameDir).removeRecursively();
            QDir().mkpath(sample.gameDir);
            writeGamePrefix(prefix, sample.gameDir);
            cm3Dir = QDir::toNativeSeparators(sample.gameDir);
            messages.replaceInStrings("*", sample.gameDir);
        } else if (!registry.isEmpty()) {
            writeRegistry(prefix, registry);
        }
        qputenv("WINEPREFIX", QFile::encodeName(prefix));

        Editor editor(sample.notesPath, sample.wizardPath);
        // The folder and its files are shown the system's way.
        for (QString& m : messages) m = QDir::toNativeSeparators(m);
        QCOMPARE(editor.messages.texts(), messages);
        for (const RecordingMessages::Shown& s : editor.messages.shown)
            QCOMPARE(s.kind, MessageSink::Kind::Failure);
        QCOMPARE(child<QLineEdit>(editor.ctx.mainForm, "CM3Dir")->text(), cm3Dir);
        // The window opens all the same, with the notes and empty tables.
        QVERIFY(editor.ctx.mainForm->isVisible());
        QVERIFY(!child<QTextEdit>(editor.ctx.mainForm, "AboutMemo")->toPlainText().isEmpty());
        QVERIFY(!editor.ctx.db.hasFullIndex());

        // File > Open without an index fails on the first entry it needs.
        editor.messages.clear();
        editor.ctx.mainForm->Open1Click();
        QCOMPARE(editor.messages.shown.size(), std::size_t{1});
        QVERIFY(!editor.ctx.mainForm->isLoaded());
    }

    void missingNotesCostOnlyTheMemo()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        const QString missing = sample.tmp.filePath("nowhere/quarndb.txt");
        Editor editor(missing, sample.wizardPath);
        QCOMPARE(editor.messages.texts(), QStringList{"Cannot open file " + missing + "."});
        QVERIFY(child<QTextEdit>(editor.ctx.mainForm, "AboutMemo")->toPlainText().isEmpty());
        QVERIFY(editor.ctx.db.hasFullIndex());
    }

    void notesInWindowsTextAreShown()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        writeTextFile(sample.notesPath, "Caf\xE9 \x80 1999\r\n");
        Editor editor(sample.notesPath, sample.wizardPath);
        QCOMPARE(child<QTextEdit>(editor.ctx.mainForm, "AboutMemo")->toPlainText(),
                 QStringLiteral("Caf\u00e9 \u20ac 1999"));
    }

    void windowsAndMenusAtStart()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        Editor editor(sample.notesPath, sample.wizardPath);
        const AppContext& ctx = editor.ctx;
        MainForm* main = ctx.mainForm;

        QCOMPARE(qApp->applicationName(), QStringLiteral("Quarn db"));
        // No display name of its own: the window system would add one to
        // every caption ("Status — Quarn db"). Unset, it follows the name.
        qApp->setApplicationName(QStringLiteral("probe"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
        qApp->setApplicationName(QStringLiteral("Quarn db"));
        QCOMPARE(main->windowTitle(), QStringLiteral("Quarn db 1.1 - do it the good way, do it Velmora"));
        QVERIFY(!(main->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(main->centralWidget()->size(), QSize(520, 434));
        QCOMPARE(main->minimumSize(), main->maximumSize());

        // Every dialog exists, belongs to the main window and is hidden.
        const QList<QWidget*> dialogs{ctx.statusForm, ctx.findClubForm, ctx.findStaffForm, ctx.transferForm,
                                      ctx.namesForm,  ctx.addStaffForm, ctx.wizForm,       ctx.aboutForm};
        for (QWidget* d : dialogs) {
            QVERIFY(d);
            QVERIFY(!d->isVisible());
            QCOMPARE(d->parentWidget(), main);
        }
        QVERIFY(ctx.clubPage && ctx.staffPage);

        QCOMPARE(child<QAction>(main, "Open1")->isEnabled(), true);
        QCOMPARE(child<QAction>(main, "Save1")->isEnabled(), false);
        QCOMPARE(child<QMenu>(main, "Edit1")->isEnabled(), false);
        QCOMPARE(child<QMenu>(main, "Edit1")->menuAction()->isEnabled(), false);
        QCOMPARE(child<QAction>(main, "Exit1")->isEnabled(), true);
        QCOMPARE(child<QAction>(main, "About1")->isEnabled(), true);
        QCOMPARE(child<QMenu>(main, "AddNew1")->title(), QStringLiteral("Add &New..."));

        auto* tabs = child<QTabWidget>(main, "PageControl1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Main"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Clubs"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Staff"));
        QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("TabSheet1"));
        QVERIFY(!tabs->isTabVisible(tabs->indexOf(child<QWidget>(main, "TabSheet2"))));
        QVERIFY(!tabs->isTabVisible(tabs->indexOf(child<QWidget>(main, "TabSheet10"))));

        StatusForm* status = ctx.statusForm;
        QCOMPARE(status->windowTitle(), QStringLiteral("Status"));
        QCOMPARE(status->size(), QSize(356, 76));
        QVERIFY(status->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(status->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(child<QLabel>(status, "ActionText")->text(), QStringLiteral("Doing Nothing"));
        auto* bar = child<QProgressBar>(status, "ProgressBar");
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);

        // Help > About shows the box; the dialogs only ever show and hide.
        main->About1Click();
        QVERIFY(ctx.aboutForm->isVisible());
        ctx.aboutForm->Button1Click();
        QVERIFY(!ctx.aboutForm->isVisible());
    }

    void mainPageIsReadableAtTheDesignedSize()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        Editor editor(sample.notesPath, sample.wizardPath);
        QWidget* page = child<QWidget>(editor.ctx.mainForm, "TabSheet1");
        for (const char* name : {"Label1", "Label2"}) {
            auto* label = child<QLabel>(page, name);
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     name);
            QVERIFY2(label->fontMetrics().height() <= label->contentsRect().height(), name);
            QVERIFY2(page->rect().contains(label->geometry()), name);
        }
        for (const char* name : {"CM3Dir", "AboutMemo"})
            QVERIFY2(page->rect().contains(child<QWidget>(page, name)->geometry()), name);
        QCOMPARE(child<QLineEdit>(page, "CM3Dir")->hasFrame(), false);
    }

    void statusWindowCannotBeClosedByTheUser()
    {
        AppContext ctx;
        StatusForm status(ctx);
        status.show();
        QTest::keyClick(&status, Qt::Key_Escape);
        QVERIFY(status.isVisible());
        status.hide();
        QVERIFY(!status.isVisible());
    }

    void statusBarCopesWithEmptyTables()
    {
        AppContext ctx;
        StatusForm status(ctx);
        db::Progress& progress = status;
        progress.setMaximum(-1);
        QCOMPARE(status.maximum(), 0);
        progress.step();
        QCOMPARE(status.position(), 0);
        progress.setMaximum(2);
        progress.setPosition(0);
        for (int i = 0; i < 5; ++i) progress.step();
        QCOMPARE(status.position(), 2);
        // The bar itself is updated sparingly, but always shows the end.
        auto* bar = status.findChild<QProgressBar*>(QStringLiteral("ProgressBar"));
        QCOMPARE(bar->value(), 2);
        progress.setMaximum(10);
        progress.setPosition(0);
        progress.advance(4);
        QCOMPARE(status.position(), 4);
        progress.advance(100);  // blocks past the end stop at it
        QCOMPARE(status.position(), 10);
        QCOMPARE(bar->value(), 10);
    }

    void exitEndsTheProgramAtOnce()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        Editor editor(sample.notesPath, sample.wizardPath);
        editor.ctx.statusForm->show();
        editor.ctx.aboutForm->show();
        bool quit = false;
        QTimer::singleShot(0, editor.ctx.mainForm, [&] { editor.ctx.mainForm->Exit1Click(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        quit = QCoreApplication::exec() == 0;
        QVERIFY(quit);
        QVERIFY(editor.messages.shown.empty());
        QVERIFY(!editor.ctx.mainForm->isVisible());
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"

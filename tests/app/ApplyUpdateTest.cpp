// File > Apply Update...: the menu item's place and state, a conflict-free
// update applied in memory with the pick lists refilled, and an update that
// conflicts or is not an update changing nothing; the update is one step of
// the edit history.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QUndoStack>

#include "AppFixture.h"
#include "app/ApplyUpdate.h"
#include "app/CompareForm.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "clubs/ClubPage.h"
#include "db/editing/NewClub.h"
#include "db/exchange/Update.h"
#include "db/exchange/json/UpdateJson.h"
#include "kit/EditHistory.h"
#include "kit/RecordListModel.h"

namespace {

void writeFile(const QString& path, const std::string& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

}  // namespace

class ApplyUpdateTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void appliesInMemoryOrShowsWhyNot()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        Editor editor(sample.notesPath, sample.wizardPath);
        AppContext& ctx = editor.ctx;

        // Below Save, the specified items in their places; enabled with Save.
        auto* file = ctx.mainForm->findChild<QMenu*>("File1");
        QStringList items;
        for (QAction* a : file->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(items, (QStringList{"Open1", "Save1", "ApplyUpdate1", "CompareWithFolder1", "ExportToSpreadsheet1",
                                  "ImportFromSpreadsheet1", "-", "Exit1"}));
        auto* apply = ctx.mainForm->findChild<QAction*>("ApplyUpdate1");
        QCOMPARE(apply->text(), QStringLiteral("Apply &Update..."));
        QVERIFY(!apply->isEnabled());
        ctx.mainForm->Open1Click();
        QVERIFY(apply->isEnabled());
        editor.messages.clear();

        // An update from the sample to the sample with a renamed club and a new one.
        db::Database before = ctx.db;
        db::Database after = before;
        after.clubs[0].set(db::ClubRecord::Cash, 4242);
        after.appendClub(db::composeNewClub(after));
        after.clubs.back().setText(db::ClubRecord::LongName, "Shared Club");
        const QString path = sample.tmp.filePath("update.json");
        writeFile(path, db::encodeUpdate(db::diffDatabases(before, after)));
        QString asked;
        setUpdateFileChooser([&](QWidget*) { return asked = path; });

        apply->trigger();
        QCOMPARE(asked, path);
        QCOMPARE(editor.messages.shown.size(), std::size_t{1});
        QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Information);
        QCOMPARE(
            editor.messages.shown[0].text,
            QStringLiteral("The update was applied: 1 field in 1 record changed, 1 record appended. Save to "
                           "write it to the game's files."));
        QCOMPARE(ctx.db.clubs.size(), after.clubs.size());
        QCOMPARE(ctx.db.clubs[0].get(db::ClubRecord::Cash), 4242);
        RecordListModel* clubs = listModel(ctx.clubPage, "ListBoxClubs");
        QCOMPARE(clubs->size(), static_cast<int>(after.clubs.size()));
        QCOMPARE(clubs->textAt(clubs->size() - 1), QStringLiteral("Shared Club"));
        // Nothing on disk until File > Save.
        QCOMPARE(readBytes(sample.dataFile("club.dat")).size(),
                 static_cast<qsizetype>(before.clubs.size() * db::ClubRecord::Size));

        // Again: every old value now differs; nothing changes.
        editor.messages.clear();
        const db::Database applied = ctx.db;
        apply->trigger();
        QCOMPARE(editor.messages.shown.size(), std::size_t{1});
        QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Warning);
        QVERIFY2(editor.messages.shown[0].text.contains("clubs[0] (") &&
                     editor.messages.shown[0].text.contains("Cash: expected"),
                 qPrintable(editor.messages.shown[0].text));
        QCOMPARE(ctx.db.clubs.size(), applied.clubs.size());

        // Not an update at all.
        editor.messages.clear();
        writeFile(path, "{\"format\": \"something else\"}");
        apply->trigger();
        QCOMPARE(editor.messages.shown.size(), std::size_t{1});
        QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Error);
        QCOMPARE(editor.messages.shown[0].text,
                 QStringLiteral("The file is not a Quarn db update (no \"format\": \"quarndb-update\")."));
        QCOMPARE(ctx.db.clubs.size(), applied.clubs.size());
        setUpdateFileChooser(nullptr);

        // The refused attempts left no step; Undo takes the whole update back
        // (the new club leaves its list), Redo applies it again.
        QCOMPARE(ctx.history->stack()->count(), 1);
        QCOMPARE(ctx.history->undoAction()->text(), QStringLiteral("&Undo Apply Update"));
        ctx.history->undoAction()->trigger();
        QCOMPARE(ctx.db.clubs.size(), before.clubs.size());
        QCOMPARE(ctx.db.clubs[0].get(db::ClubRecord::Cash), before.clubs[0].get(db::ClubRecord::Cash));
        QCOMPARE(ctx.db.entry(db::Entry::Clubs).get(db::IndexEntry::RecordCount),
                 static_cast<std::int32_t>(before.clubs.size()));
        QCOMPARE(clubs->size(), static_cast<int>(before.clubs.size()));
        ctx.history->redoAction()->trigger();
        QCOMPARE(ctx.db.clubs.size(), after.clubs.size());
        QCOMPARE(ctx.db.clubs[0].get(db::ClubRecord::Cash), 4242);
    }

    // File > Compare with Folder...: the folder's database against the
    // loaded one, saved as an update that makes the one from the other.
    void compareWithFolderListsAndSaves()
    {
        SampleFolder sample;
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        Editor editor(sample.notesPath, sample.wizardPath);
        AppContext& ctx = editor.ctx;
        auto* compare = ctx.mainForm->findChild<QAction*>("CompareWithFolder1");
        QCOMPARE(compare->text(), QStringLiteral("Compare with &Folder..."));
        QVERIFY(!compare->isEnabled());
        ctx.mainForm->Open1Click();
        QVERIFY(compare->isEnabled());
        editor.messages.clear();
        ctx.db.clubs[0].set(db::ClubRecord::Cash, 4242);
        ctx.db.appendClub(db::composeNewClub(ctx.db));

        setCompareFolderChooser([&](QWidget*) { return sample.gameDir; });
        compare->trigger();
        setCompareFolderChooser(nullptr);
        auto* form = ctx.mainForm->findChild<CompareForm*>("CompareForm");
        QVERIFY(form && form->isVisible());
        QVERIFY(editor.messages.shown.empty());
        bool cash = false, added = false;
        for (const db::ChangeText& l : form->lines()) {
            cash = cash || (l.table == "Clubs" && l.record == "0" && l.field == "Cash");
            added =
                added || (l.field == "(new record)" && l.record == std::to_string(ctx.db.clubs.size() - 1));
        }
        QVERIFY(cash && added);

        const QString update = sample.tmp.filePath("compare.json"), csv = sample.tmp.filePath("compare.csv");
        QVERIFY(form->saveUpdate(update));
        QVERIFY(form->saveCsv(csv));
        QFile u(update), c(csv);
        QVERIFY(u.open(QIODevice::ReadOnly) && c.open(QIODevice::ReadOnly));
        QVERIFY(c.readAll().startsWith("Table,Record,Name,Field,Old value,New value\r\n"));
        const QByteArray text = u.readAll();
        db::Database theirs = sample.written;
        QVERIFY(db::applyUpdate(theirs, db::decodeUpdate(std::string_view(text.constData(), text.size())))
                    .applied);
        QCOMPARE(theirs.clubs.size(), ctx.db.clubs.size());
        QCOMPARE(theirs.clubs[0].get(db::ClubRecord::Cash), 4242);

        // A folder without a game: one message, the list as it was.
        const std::size_t before = form->lines().size();
        QVERIFY(!form->compareWith(sample.tmp.filePath("nowhere")));
        QCOMPARE(editor.messages.shown.size(), std::size_t{1});
        QCOMPARE(editor.messages.shown[0].kind, MessageSink::Kind::Error);
        QCOMPARE(form->lines().size(), before);
    }
};

QTEST_MAIN(ApplyUpdateTest)
#include "ApplyUpdateTest.moc"

// Undo, redo, the list of changes and the question on quitting, driven
// through the windows over a generated game folder.

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "AppFixture.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "db/editing/ChangeStep.h"
#include "db/exchange/SheetColumns.h"
#include "db/storage/Storage.h"
#include "kit/ChangesForm.h"
#include "kit/EditHistory.h"
#include "kit/EditStep.h"
#include "kit/QtText.h"
#include "kit/QueryResultModel.h"
#include "kit/RecordListModel.h"
#include "kit/TextTableModel.h"
#include "operations/AddStaff.h"
#include "operations/ChangeAllForm.h"
#include "operations/CheckForm.h"
#include "operations/FindForm.h"
#include "operations/SheetForms.h"
#include "operations/TransferForm.h"
#include "staff/NamesForm.h"
#include "staff/StaffPage.h"

namespace {

using Answer = MessageSink::Answer;

QMap<QString, QByteArray> dataFiles(const QString& gameDir)
{
    QMap<QString, QByteArray> files;
    const QString data = gameDir + QStringLiteral("/data");
    for (const QString& name : QDir(data).entryList(QDir::Files)) files[name] = readBytes(data + "/" + name);
    return files;
}

std::vector<std::uint8_t> tables(const db::Database& d)
{
    std::vector<std::uint8_t> out;
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const db::TableImage img = db::tableImage(d, static_cast<db::TableId>(k));
        out.insert(out.end(), img.bytes.begin(), img.bytes.end());
        out.push_back(static_cast<std::uint8_t>(img.count));
    }
    return out;
}

int firstPlayerAtAClub(const db::Database& d)
{
    for (std::size_t i = 0; i < d.staff.size(); ++i)
        if (db::isValidRef(d.staff[i].get(db::StaffRecord::PlayerId), d.players.size()) &&
            db::isValidRef(d.staff[i].get(db::StaffRecord::ClubContractedId), d.clubs.size()))
            return static_cast<int>(i);
    return -1;
}

void typeInto(QWidget* root, const char* name, const QString& text)
{
    auto* edit = root->findChild<QLineEdit*>(QLatin1String(name));
    QVERIFY2(edit, name);
    edit->setText(text);
}

struct Loaded {
    SampleFolder sample;
    std::unique_ptr<Editor> editor;
    AppContext* ctx = nullptr;
    EditHistory* history = nullptr;

    Loaded()
    {
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        editor = std::make_unique<Editor>(sample.notesPath, sample.wizardPath);
        ctx = &editor->ctx;
        history = ctx->history;
        ctx->mainForm->Open1Click();
        editor->messages.clear();
    }

    QAction* action(const char* name) const
    {
        return ctx->mainForm->findChild<QAction*>(QLatin1String(name));
    }

    // Confirm Changes of the first club with a new long name.
    void confirmClub()
    {
        auto* list = ctx->clubPage->findChild<QListView*>(QStringLiteral("ListBoxClubs"));
        selectRow(list, 0);
        ctx->clubPage->ListBoxClubsClick();
        typeInto(ctx->clubPage, "ClubLongName", QStringLiteral("Renamed Rovers"));
        ctx->clubPage->Button1Click();
    }
    // Confirm Changes of a player with a new pace.
    int confirmPlayer()
    {
        const int id = firstPlayerAtAClub(ctx->db);
        ctx->staffPage->showStaff(id);
        typeInto(ctx->staffPage, "StaffPPac", QStringLiteral("99"));
        ctx->staffPage->Button6Click();
        return id;
    }
    void freeTransfer(int id)
    {
        const auto& s = ctx->db.staff[static_cast<std::size_t>(id)];
        ctx->transferForm->open(id, fromRaw(s.displayName), s.get(db::StaffRecord::ClubContractedId), 11,
                                false);
        ctx->transferForm->Button4Click();
        ctx->transferForm->Button6Click();
    }
    void newName()
    {
        ctx->namesForm->open(1);
        typeInto(ctx->namesForm, "Name", QStringLiteral("Quixote"));
        ctx->namesForm->Button1Click();
    }
};

}  // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void everyStepUndoesToTheLoadedFilesAndRedoes()
    {
        Loaded w;
        const QMap<QString, QByteArray> original = dataFiles(w.sample.gameDir);
        const std::vector<std::uint8_t> loaded = tables(w.ctx->db);
        const int clubsListed = listModel(w.ctx->clubPage, "ListBoxClubs")->size();
        const int secondNames = comboModel(w.ctx->staffPage, "StaffSecondName")->size();
        QVERIFY(!w.action("Undo1")->isEnabled());
        QVERIFY(!w.history->unsavedLabel()->isVisibleTo(w.ctx->mainForm));

        const QString clubName = fromRaw(w.ctx->db.clubs[0].text(db::ClubRecord::LongName));
        w.confirmClub();
        QCOMPARE(w.action("Undo1")->text(), "&Undo Confirm Changes of " + clubName);
        const int person = w.confirmPlayer();
        QCOMPARE(w.action("Undo1")->text(),
                 "&Undo Confirm Changes of " +
                     fromRaw(w.ctx->db.staff[static_cast<std::size_t>(person)].displayName));
        w.freeTransfer(person);
        QCOMPARE(w.action("Undo1")->text(), QStringLiteral("&Undo Transfer"));
        w.ctx->mainForm->Club1Click();
        QCOMPARE(w.action("Undo1")->text(), QStringLiteral("&Undo New Club"));
        QCOMPARE(listModel(w.ctx->clubPage, "ListBoxClubs")->size(), clubsListed + 1);
        w.newName();
        QCOMPARE(comboModel(w.ctx->staffPage, "StaffSecondName")->size(), secondNames + 1);
        QVERIFY(AddStaff(*w.ctx, db::Classification::NonPlayerAndPlayer, 15) >= 0);
        QVERIFY(AddWizardPlayer(*w.ctx, 0, [] { return 2; }) >= 0);
        QCOMPARE(w.history->stack()->count(), 7);
        QVERIFY(w.history->unsavedLabel()->isVisibleTo(w.ctx->mainForm));
        const std::vector<std::uint8_t> done = tables(w.ctx->db);

        // Everything taken back: the loaded bytes, the added records gone from the lists.
        while (w.action("Undo1")->isEnabled()) w.action("Undo1")->trigger();
        QCOMPARE(tables(w.ctx->db) == loaded, true);
        QCOMPARE(listModel(w.ctx->clubPage, "ListBoxClubs")->size(), clubsListed);
        QCOMPARE(comboModel(w.ctx->staffPage, "StaffSecondName")->size(), secondNames);
        QCOMPARE(listModel(w.ctx->staffPage, "ListBoxStaff")->size(), 0);
        QVERIFY(!w.history->unsavedLabel()->isVisibleTo(w.ctx->mainForm));
        // The staff page shows the restored pace of the person it showed.
        w.ctx->staffPage->showStaff(person);

        w.ctx->mainForm->Save1Click();
        QCOMPARE(dataFiles(w.sample.gameDir), original);

        // Save does not clear the history: everything can be done again.
        while (w.action("Redo1")->isEnabled()) w.action("Redo1")->trigger();
        QCOMPARE(tables(w.ctx->db) == done, true);
        QCOMPARE(listModel(w.ctx->clubPage, "ListBoxClubs")->size(), clubsListed + 1);
        QVERIFY(w.history->hasUnsavedChanges());
    }

    void undoRestoresWhatThePageShows()
    {
        Loaded w;
        const int person = firstPlayerAtAClub(w.ctx->db);
        w.ctx->staffPage->showStaff(person);
        auto* pace = w.ctx->staffPage->findChild<QLineEdit*>(QStringLiteral("StaffPPac"));
        const QString before = pace->text();
        w.confirmPlayer();
        QCOMPARE(pace->text(), QStringLiteral("99"));
        w.action("Undo1")->trigger();
        QCOMPARE(pace->text(), before);
        w.action("Redo1")->trigger();
        QCOMPARE(pace->text(), QStringLiteral("99"));
    }

    // The dialogs' club lists are never told about undo by anyone: they hear
    // of each change and follow it themselves.
    void dialogsFollowUndoAndRedoOfANewClub()
    {
        Loaded w;
        const std::size_t clubs = w.ctx->db.clubs.size();
        const QList<RecordListModel*> lists = {listModel(w.ctx->transferForm, "ListBoxClubs"),
                                               listModel(w.ctx->findClubForm, "ListBoxClubs")};
        w.ctx->mainForm->Club1Click();
        for (RecordListModel* m : lists) QCOMPARE(m->recordAt(m->size() - 1), static_cast<int>(clubs));
        w.action("Undo1")->trigger();
        for (RecordListModel* m : lists) {
            QCOMPARE(m->size(), static_cast<int>(clubs));
            QVERIFY(!m->contains(static_cast<int>(clubs)));
        }
        w.action("Redo1")->trigger();
        for (RecordListModel* m : lists) QCOMPARE(m->recordAt(m->size() - 1), static_cast<int>(clubs));
        // A renamed club keeps the name it was listed under, in every list.
        const QString name = lists[0]->textAt(0);
        w.confirmClub();
        for (RecordListModel* m : lists) QCOMPARE(m->textAt(0), name);
    }

    // Damage the files did not have: Save asks, the checker shows it, a fix
    // removes its line, and then Save asks nothing.
    void saveAsksAboutNewDamageOnly()
    {
        Loaded w;
        const int person = firstPlayerAtAClub(w.ctx->db);
        const std::int32_t player =
            w.ctx->db.staff[static_cast<std::size_t>(person)].get(db::StaffRecord::PlayerId);
        auto setPlayer = [&](std::int32_t id) {
            EditStep step(*w.ctx, QStringLiteral("Plant"));
            step.touch(db::TableId::Staff, person);
            w.ctx->db.staff[static_cast<std::size_t>(person)].set(db::StaffRecord::PlayerId, id);
        };
        setPlayer(1 << 30);
        const QMap<QString, QByteArray> before = dataFiles(w.sample.gameDir);
        w.editor->messages.answers = {MessageSink::Answer::ShowProblems};
        w.ctx->mainForm->Save1Click();
        QCOMPARE(w.editor->messages.shown.size(), std::size_t(1));
        QVERIFY(w.editor->messages.shown[0].text.contains(QStringLiteral("1 problem")));
        QCOMPARE(dataFiles(w.sample.gameDir), before);  // nothing written
        QVERIFY(w.ctx->checkForm->isVisible());
        auto mentions = [&] {
            for (const db::Problem& p : w.ctx->checkForm->shown())
                if (p.record == person && p.table == "staff") return true;
            return false;
        };
        QVERIFY(mentions());

        setPlayer(player);  // the fix, heard by the open checker
        QTRY_VERIFY(!mentions());
        w.editor->messages.clear();
        w.ctx->mainForm->Save1Click();
        QCOMPARE(w.editor->messages.texts(), QStringList{QStringLiteral("Saving was a smashing success!")});
    }

    void quittingAsksOnlyWhenConfirmedChangesAreUnsaved_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("filesChange");
        QTest::newRow("nothing changed") << false << -1 << false << true << false;
        QTest::newRow("cancel") << true << int(Answer::Cancel) << false << false << false;
        QTest::newRow("don't save") << true << int(Answer::DontSave) << false << true << false;
        QTest::newRow("save") << true << int(Answer::Save) << false << true << true;
        QTest::newRow("save fails") << true << int(Answer::Save) << true << false << false;
    }

    void quittingAsksOnlyWhenConfirmedChangesAreUnsaved()
    {
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, closes);
        QFETCH(bool, filesChange);
        Loaded w;
        const QMap<QString, QByteArray> original = dataFiles(w.sample.gameDir);
        w.ctx->mainForm->show();
        if (confirm)
            w.confirmClub();
        else  // typed but not confirmed: not a change
            typeInto(w.ctx->clubPage, "ClubLongName", QStringLiteral("Typed only"));
        if (answer >= 0) w.editor->messages.answers = {static_cast<Answer>(answer)};
        if (saveFails)
            w.ctx->mainForm->findChild<QLineEdit*>(QStringLiteral("CM3Dir"))
                ->setText(w.sample.gameDir + "/missing");

        QCOMPARE(w.ctx->mainForm->close(), closes);
        QStringList questions;
        for (const auto& m : w.editor->messages.shown)
            if (m.kind == MessageSink::Kind::Question) questions << m.text;
        QCOMPARE(questions, answer >= 0
                                ? QStringList{"Save the changes to the game database before you quit?"}
                                : QStringList());
        QCOMPARE(dataFiles(w.sample.gameDir) != original, filesChange);
        QCOMPARE(w.history->hasUnsavedChanges(), confirm && !filesChange);
    }

    void theChangesListFollowsTheStepsAndTheirUndo()
    {
        Loaded w;
        w.confirmClub();
        const int person = w.confirmPlayer();
        w.ctx->mainForm->Club1Click();
        w.action("Changes1")->trigger();
        auto* form = w.ctx->mainForm->findChild<ChangesForm*>();
        QVERIFY(form && form->isVisible());
        const auto& lines = form->lines();
        QVERIFY(lines.size() >= 3);
        QCOMPARE(lines[0].table, std::string("Clubs"));
        QCOMPARE(lines[0].field, std::string("LongName"));
        QCOMPARE(lines[0].newValue, std::string("Renamed Rovers"));
        // Confirm stores "<none>" entries as -2 where the file had -1: the
        // list says so, in the order made, before the player's pace.
        const auto pace = std::find_if(lines.begin(), lines.end(), [](const db::ChangeText& l) {
            return l.table == "Players" && l.field == "Pace";
        });
        QVERIFY(pace != lines.end());
        QCOMPARE(pace->newValue, std::string("99"));
        const auto staffLine = std::find_if(lines.begin(), lines.end(),
                                            [](const db::ChangeText& l) { return l.table == "Staff"; });
        QVERIFY(staffLine < pace && lines[1].table == "Clubs");
        QCOMPARE(staffLine->oldValue, std::string("<none> (-1)"));
        QCOMPARE(lines.back().field, std::string("(new record)"));
        QCOMPARE(lines.back().name, std::string("<new club>"));

        // Double-click on the player's line shows his person on the staff page,
        // with the changed field's tab chosen; likewise a club's sub-page.
        w.ctx->staffPage->Button8Click();
        for (auto* tabs : w.ctx->staffPage->findChildren<QTabWidget*>()) tabs->setCurrentIndex(0);
        form->showRecordOf(static_cast<int>(pace - lines.begin()));
        QCOMPARE(w.ctx->staffPage->selectedStaffId(), person);
        QVERIFY(w.ctx->staffPage->findChild<QWidget*>("StaffPPac")->isVisibleTo(w.ctx->staffPage));
        w.ctx->clubPage->findChild<QAbstractButton*>("ClubStaffButton")->click();
        form->showRecordOf(0);
        QVERIFY(w.ctx->clubPage->findChild<QWidget*>("ClubLongName")->isVisibleTo(w.ctx->clubPage));
        QVERIFY(w.ctx->clubPage->findChild<QAbstractButton*>("ClubGeneralButton")->isChecked());

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("changes.csv"));
        QVERIFY(form->saveCsv(csv));
        const QList<QByteArray> rows = readBytes(csv).split('\n');
        QCOMPARE(rows[0], QByteArray("Table,Record,Name,Field,Old value,New value\r"));
        QVERIFY(rows[1].startsWith("Clubs,0,"));

        // Undo follows at once while the window is open.
        w.action("Undo1")->trigger();
        w.action("Undo1")->trigger();
        QVERIFY(!form->lines().empty());
        for (const db::ChangeText& l : form->lines()) QVERIFY(l.table == "Clubs" && l.record == "0");
        w.action("Undo1")->trigger();
        QVERIFY(form->lines().empty());
    }

    void changeAllIsOneStepAndSavesExactly()
    {
        Loaded w;
        w.action("Find1")->trigger();
        FindForm* find = w.ctx->findForm;
        find->setTableName(QStringLiteral("staff"));
        find->findChild<QLineEdit*>("QueryText")->setText(QStringLiteral("Wage > 0 and Club is not none"));
        QVERIFY(find->runQuery());
        const std::vector<std::int32_t> found = find->results()->ids();
        QVERIFY(found.size() > 10);

        // The same change made by hand: 110%, rounded half away from zero.
        db::Database expected = w.ctx->db;
        for (std::int32_t id : found) {
            db::StaffRecord& s = expected.staff[static_cast<std::size_t>(id)];
            s.set(db::StaffRecord::Wage,
                  static_cast<std::int32_t>((std::int64_t(s.get(db::StaffRecord::Wage)) * 110 + 50) / 100));
        }
        const std::vector<std::uint8_t> before = tables(w.ctx->db);

        find->changeAll();
        ChangeAllForm* form = find->changeAllForm();
        form->setChange(QStringLiteral("Wage"), QStringLiteral("Multiply by %"), QStringLiteral("110"));
        QCOMPARE(form->changeText(), QStringLiteral("Wage*=110%"));
        QVERIFY(form->preview());
        QCOMPARE(form->edits()->preview.records, found.size());
        QVERIFY(!form->previewList().rows().empty());
        QCOMPARE(tables(w.ctx->db), before);  // a preview changes nothing
        QVERIFY(form->apply());
        QCOMPARE(tables(w.ctx->db), tables(expected));
        QVERIFY(w.action("Undo1")->text().startsWith(QStringLiteral("&Undo Change All: Wage")));
        w.action("Undo1")->trigger();
        QCOMPARE(tables(w.ctx->db), before);
        w.action("Redo1")->trigger();
        QCOMPARE(tables(w.ctx->db), tables(expected));
        QCOMPARE(find->results()->ids(), found);  // the results followed, all still matching

        w.ctx->mainForm->Save1Click();
        db::Database saved;
        db::readIndex(saved, w.sample.gameDir.toStdString());
        db::NullProgress quiet;
        db::loadDatabase(saved, w.sample.gameDir.toStdString(), w.sample.wizardPath.toStdString(), quiet);
        QCOMPARE(tables(saved), tables(expected));
    }

    void aSpreadsheetRoundTripIsOneStep()
    {
        Loaded w;
        QTemporaryDir dir;
        const QString exported = dir.filePath(QStringLiteral("staff.csv"));
        setSheetFileChooser([&](QWidget*, bool) { return exported; });
        w.action("ExportToSpreadsheet1")->trigger();
        w.ctx->exportSheetForm->findChild<QPushButton*>("ExportButton")->click();
        const QByteArray file = readBytes(exported);
        QVERIFY(file.startsWith("\xEF\xBB\xBF"));  // spreadsheet programs read it as UTF-8

        // The file as exported changes nothing.
        ImportSheetForm* form = w.ctx->importSheetForm;
        QVERIFY(form->readFile(exported));
        QVERIFY(form->plan().step.empty());

        // Two rows of two columns: one value differs.
        const int id = firstPlayerAtAClub(w.ctx->db);
        const auto& s = w.ctx->db.staff[static_cast<std::size_t>(id)];
        const std::int32_t wage = s.get(db::StaffRecord::Wage);
        const QString idColumn = QString::fromStdString(db::sheetColumns(db::TableId::Staff)[0].header);
        const QString edited = dir.filePath(QStringLiteral("edited.csv"));
        writeTextFile(edited, QStringLiteral("%1;Wage\r\n%2;%3\r\n0;%4\r\n")
                                  .arg(idColumn)
                                  .arg(id)
                                  .arg(wage + 1000)
                                  .arg(w.ctx->db.staff[0].get(db::StaffRecord::Wage))
                                  .toUtf8());
        QVERIFY(form->readFile(edited));
        QCOMPARE(form->list().rows().size(), std::size_t(1));
        QCOMPARE(form->list().rows()[0][3], QStringLiteral("Wage"));
        QVERIFY(form->apply());
        QCOMPARE(s.get(db::StaffRecord::Wage), wage + 1000);
        QCOMPARE(w.action("Undo1")->text(), QStringLiteral("&Undo Import from Spreadsheet: edited.csv"));
        w.action("Undo1")->trigger();
        QCOMPARE(s.get(db::StaffRecord::Wage), wage);

        // A bad row: nothing to apply, nothing changed.
        writeTextFile(edited, QStringLiteral("%1,Wage\r\n%2,99999999999\r\n").arg(idColumn).arg(id).toUtf8());
        QVERIFY(!form->readFile(edited));
        QCOMPARE(form->list().rows().size(), std::size_t(1));
        QVERIFY(!form->findChild<QPushButton*>("ApplyButton")->isEnabled());
        QVERIFY(!form->apply());
        QCOMPARE(s.get(db::StaffRecord::Wage), wage);
        setSheetFileChooser({});
    }

    void theNoteLeavesTheCaptionAndTheClientAreaAlone()
    {
        Loaded w;
        const QSize window = w.ctx->mainForm->size();
        w.confirmClub();
        QVERIFY(w.history->unsavedLabel()->isVisibleTo(w.ctx->mainForm));
        QCOMPARE(w.ctx->mainForm->windowTitle(),
                 QStringLiteral("Quarn db 1.1 - do it the good way, do it Velmora"));
        QCOMPARE(w.ctx->mainForm->size(), window);
        QCOMPARE(w.ctx->mainForm->centralWidget()->size(), QSize(520, 434));
    }
};

QTEST_MAIN(HistoryTest)
#include "HistoryTest.moc"

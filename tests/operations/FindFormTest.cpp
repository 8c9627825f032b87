#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "OperationsFixture.h"
#include "db/editing/ChangeStep.h"
#include "kit/QueryResultModel.h"
#include "operations/CompareRecordsForm.h"
#include "operations/FindConditions.h"
#include "operations/FindForm.h"

namespace {

// Remembers where the Find window asked to go.
struct RecordingNavigation : Navigation {
    std::vector<int> staffShown;
    std::vector<std::size_t> usesShown;
    void goToClub(int) override {}
    void showStaff(int id) override { staffShown.push_back(id); }
    void showWhereUsed(db::TableId, std::size_t record) override { usesShown.push_back(record); }
};

}  // namespace

class FindFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void queryConditionsAndErrors();
    void sortsAndFollowsChanges();
    void opensComparesSavesAndKeepsSearches();

private:
    std::unique_ptr<OpsWorld> w;
    RecordingNavigation nav;
    std::unique_ptr<FindForm> form;

    QLineEdit* query() { return form->findChild<QLineEdit*>("QueryText"); }
    QString count() { return form->findChild<QLabel*>("MatchCount")->text(); }
    QTableView* results() { return form->findChild<QTableView*>("Results"); }
    std::vector<std::int32_t> ids() { return form->results()->ids(); }
    bool run(const char* text)
    {
        query()->setText(QString::fromUtf8(text));
        return form->runQuery();
    }
    void selectRows(std::initializer_list<int> rows)
    {
        results()->clearSelection();
        for (int r : rows)
            results()->selectionModel()->select(form->results()->index(r, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
};

void FindFormTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("QuarnTests"));
}

void FindFormTest::init()
{
    w = std::make_unique<OpsWorld>();
    w->ctx.navigation = &nav;
    nav = {};
    w->person(0).set(db::StaffRecord::Wage, 100);
    w->person(2).set(db::StaffRecord::Wage, 300);
    w->employ(3, 1, 5);
    form = std::make_unique<FindForm>(w->ctx);
    form->setTableName(QStringLiteral("staff"));
    form->show();
}

void FindFormTest::queryConditionsAndErrors()
{
    QVERIFY(run("Name contains \"SMITH\""));
    QCOMPARE(ids(), (std::vector<std::int32_t>{0, 2}));
    QCOMPARE(count(), QStringLiteral("2 matches"));
    QCOMPARE(form->results()->rawText(1, 1), std::string("Carl Smithers"));

    QVERIFY(!run("Wage >"));
    QVERIFY(ids().empty());
    QVERIFY(form->findChild<QLabel*>("QueryMessage")->text().contains(QStringLiteral("position 7")));

    // Rows of conditions write the query; the text is what runs.
    FindConditions* rows = form->conditions();
    rows->setRow(0, QStringLiteral("Club"), QStringLiteral("="), QStringLiteral("Barnet"));
    rows->setRow(1, QStringLiteral("Wage"), QStringLiteral("between"), QStringLiteral("300"),
                 QStringLiteral("0"), true);
    rows->setRow(2, QStringLiteral("Name"), QStringLiteral("in"), QStringLiteral("Bob Jones, 7"), QString(),
                 true);
    QCOMPARE(query()->text(),
             QStringLiteral("Club = \"Barnet\" or Wage between 300 and 0 or Name in (\"Bob Jones\", \"7\")"));
    QVERIFY(form->runQuery());
    QCOMPARE(ids(), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));  // wages of 0 count too
    rows->setRow(1, QStringLiteral("Club"), QStringLiteral("is none"), QString(), QString(), false);
    QCOMPARE(query()->text(),
             QStringLiteral("Club = \"Barnet\" and Club is none or Name in (\"Bob Jones\", \"7\")"));
    QVERIFY(form->runQuery());
    QCOMPARE(ids(), (std::vector<std::int32_t>{1}));
}

void FindFormTest::sortsAndFollowsChanges()
{
    QVERIFY(run("Wage >= 0"));
    form->sortBy(3, false);  // Age, then by Wage descending within it
    form->sortBy(6, true);
    form->sortBy(6, true);
    QCOMPARE(ids(), (std::vector<std::int32_t>{2, 0, 1, 3, 4}));
    form->sortBy(1, false);  // Name alone, then turned round
    form->sortBy(1, false);
    QCOMPARE(ids(), (std::vector<std::int32_t>{4, 3, 2, 1, 0}));

    // A change made elsewhere shows without asking; so does its undo.
    QVERIFY(run("Wage > 200"));
    selectRows({0});  // person 2, kept selected when the rows move
    db::ChangeRecorder recorder(w->ctx.db);
    recorder.touch(db::TableId::Staff, 4);
    w->person(4).set(db::StaffRecord::Wage, 500);
    const db::ChangeStep step = recorder.finish(w->ctx.db);
    w->ctx.events.announce({DatabaseChange::Kind::Done, &step});
    QTRY_COMPARE(ids(), (std::vector<std::int32_t>{4, 2}));  // still by name, descending
    QCOMPARE(form->chosenRecords(), (std::vector<std::int32_t>{2}));
    step.undo(w->ctx.db);
    w->ctx.events.announce({DatabaseChange::Kind::Undone, &step});
    QTRY_COMPARE(ids(), (std::vector<std::int32_t>{2}));
    w->ctx.events.announce({DatabaseChange::Kind::Unloaded, nullptr});
    QVERIFY(ids().empty());
}

void FindFormTest::opensComparesSavesAndKeepsSearches()
{
    QVERIFY(run("Name contains \"smith\""));
    form->openRecord(1);
    QCOMPARE(nav.staffShown, (std::vector<int>{2}));
    results()->setCurrentIndex(form->results()->index(0, 0));
    form->showWhereUsed();
    QCOMPARE(nav.usesShown, (std::vector<std::size_t>{0}));

    selectRows({0, 1});
    QCOMPARE(form->chosenRecords(), (std::vector<std::int32_t>{0, 2}));
    form->compareSelected();
    QVERIFY(form->compareForm());
    int marked = 0;
    for (const QStringList& row : form->compareForm()->rows())
        if (!row[0].isEmpty()) {
            ++marked;
            QVERIFY2(QStringList({"StaffId", "NonPlayerId", "Wage"}).contains(row[1]), qPrintable(row[1]));
        }
    QCOMPARE(marked, 3);

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("found.csv"));
    QVERIFY(form->saveCsv(csv));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 4);  // header, two rows, the empty end
    QVERIFY(lines[0].startsWith("Id,Name,Age,"));
    QVERIFY(lines[2].startsWith("2,Carl Smithers,"));

    form->sortBy(1, false);
    form->sortBy(1, false);
    form->saveSearch(QStringLiteral("Smiths, by name"));
    QVERIFY(FindForm::savedSearchNames().contains(QStringLiteral("Smiths, by name")));
    QVERIFY(run("Wage > 0"));
    form->setTableName(QStringLiteral("clubs"));
    QVERIFY(form->loadSearch(QStringLiteral("Smiths, by name")));
    QCOMPARE(ids(), (std::vector<std::int32_t>{2, 0}));
    form->deleteSearch(QStringLiteral("Smiths, by name"));
    QVERIFY(!FindForm::savedSearchNames().contains(QStringLiteral("Smiths, by name")));
    QVERIFY(!form->loadSearch(QStringLiteral("Smiths, by name")));
}

QTEST_MAIN(FindFormTest)
#include "FindFormTest.moc"

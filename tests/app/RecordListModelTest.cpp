// The record list model: text rows, record rows with texts given on demand,
// pinned texts of renamed records, and positions that name no record.

#include <QComboBox>
#include <QListView>
#include <QTest>
#include <memory>

#include "kit/RecordListModel.h"
#include "db/format/Database.h"

namespace {

db::ClubRecord club(const char* longName)
{
    db::ClubRecord c;
    c.setText(db::ClubRecord::LongName, longName);
    return c;
}

// A source that counts how often it is asked.
struct CountingSource {
    std::shared_ptr<int> calls = std::make_shared<int>(0);
    RecordListModel::TextSource source()
    {
        auto n = calls;
        return [n](int record) {
            ++*n;
            return QStringLiteral("r%1").arg(record);
        };
    }
};

}  // namespace

class RecordListModelTest : public QObject {
    Q_OBJECT
private slots:
    void recordRowsReadTheirTextsOnDemand();
    void positionsOutsideTheTableGiveNoText();
    void pinnedTextsSurviveARename();
    void fixedTextsFollowTheirRowsOnRemoval();
    void refillingForgetsPinnedTexts();
    void viewsAskOnlyForTheRowsTheyDraw();
};

void RecordListModelTest::recordRowsReadTheirTextsOnDemand()
{
    CountingSource counting;
    RecordListModel m;
    m.setRecords({4, -1, 7}, counting.source());
    QCOMPARE(*counting.calls, 0);  // filling builds no text at all
    QCOMPARE(m.size(), 3);
    QCOMPARE(m.textAt(0), QStringLiteral("r4"));
    QCOMPARE(m.textAt(1), QString());  // a row carrying nothing is never looked up
    QCOMPARE(m.recordAt(1), -1);
    QCOMPARE(m.data(m.index(2), Qt::DisplayRole).toString(), QStringLiteral("r7"));
    QCOMPARE(m.data(m.index(2), RecordListModel::RecordRole).toInt(), 7);
    QVERIFY(!m.data(m.index(1), RecordListModel::RecordRole).isValid());
    QCOMPARE(*counting.calls, 2);
    QCOMPARE(m.textAt(3), QString());
    QCOMPARE(m.recordAt(-1), -1);

    // Appending to record rows: a given text stays, a record row asks the source.
    m.append(QStringLiteral("<none>"));
    m.appendRecord(9);
    QCOMPARE(m.textAt(3), QStringLiteral("<none>"));
    QCOMPARE(m.textAt(4), QStringLiteral("r9"));

    // Without a source the rows exist but have no text.
    m.setRecords({1, 2}, nullptr);
    QCOMPARE(m.size(), 2);
    QCOMPARE(m.textAt(1), QString());
    m.appendRecord(3);
    QCOMPARE(m.recordAt(2), 3);
}

void RecordListModelTest::positionsOutsideTheTableGiveNoText()
{
    db::Database d;
    d.clubs = {club("Alpha"), club("Beta")};
    RecordListModel m;
    m.setRecords({1, 2, 1000000, -1, 0}, clubLongNames(d));
    QCOMPARE(m.textAt(0), QStringLiteral("Beta"));
    QCOMPARE(m.textAt(1), QString());
    QCOMPARE(m.textAt(2), QString());
    QCOMPARE(m.textAt(3), QString());
    QCOMPARE(m.textAt(4), QStringLiteral("Alpha"));
    m.pinText(1000000);  // nothing to read: no crash, still empty
    QCOMPARE(m.textAt(2), QString());

    // The table shrinking under the list (a failed reload) empties the rows.
    d.clubs.clear();
    QCOMPARE(m.textAt(0), QString());
    m.pinText(0);
    QCOMPARE(m.textAt(4), QString());

    d.staff.resize(1);
    d.staff[0].displayName = "Jan Jansen";
    m.setRecords({0, 1, -7}, staffDisplayNames(d));
    QCOMPARE(m.textAt(0), QStringLiteral("Jan Jansen"));
    QCOMPARE(m.textAt(1), QString());
    QCOMPARE(m.textAt(2), QString());

    d.names(db::NameKind::Second).resize(1);
    d.names(db::NameKind::Second)[0].setText(db::NameRecord::Name, "Smith");
    m.setRecords({0, 1}, nameTexts(d, db::NameKind::Second));
    QCOMPARE(m.textAt(0), QStringLiteral("Smith"));
    QCOMPARE(m.textAt(1), QString());
}

void RecordListModelTest::pinnedTextsSurviveARename()
{
    db::Database d;
    d.clubs = {club("Alpha"), club("Beta"), club("Gamma")};
    RecordListModel m;
    m.setRecords({0, 1, 2, 1}, clubLongNames(d));
    QCOMPARE(m.textAt(3), QStringLiteral("Beta"));

    m.pinText(1);
    d.clubs[1].setText(db::ClubRecord::LongName, "Beta United");
    d.clubs[2].setText(db::ClubRecord::LongName, "Gamma City");
    // Every row of the pinned record keeps the old text; others follow the table.
    QCOMPARE(m.textAt(1), QStringLiteral("Beta"));
    QCOMPARE(m.textAt(3), QStringLiteral("Beta"));
    QCOMPARE(m.textAt(2), QStringLiteral("Gamma City"));

    // A second rename keeps the first text, not the intermediate one.
    m.pinText(1);
    d.clubs[1].setText(db::ClubRecord::LongName, "Beta Rovers");
    QCOMPARE(m.textAt(1), QStringLiteral("Beta"));

    // A row appended later for the same record gets the text of its time.
    m.appendRecord(1);
    QCOMPARE(m.textAt(4), QStringLiteral("Beta Rovers"));
    m.pinText(1);
    d.clubs[1].setText(db::ClubRecord::LongName, "Beta Athletic");
    QCOMPARE(m.textAt(4), QStringLiteral("Beta Rovers"));
    QCOMPARE(m.textAt(1), QStringLiteral("Beta"));

    // Text rows keep their text anyway; pinning them changes nothing.
    m.setRows({{QStringLiteral("Old"), 0}});
    m.pinText(0);
    QCOMPARE(m.textAt(0), QStringLiteral("Old"));
}

void RecordListModelTest::fixedTextsFollowTheirRowsOnRemoval()
{
    CountingSource counting;
    RecordListModel m;
    m.setRecords({0, 1, 2}, counting.source());
    m.append(QStringLiteral("picked"), 5);
    m.removeAt(0);
    QCOMPARE(m.size(), 3);
    QCOMPARE(m.textAt(0), QStringLiteral("r1"));
    QCOMPARE(m.textAt(2), QStringLiteral("picked"));
    m.removeAt(2);
    QCOMPARE(m.size(), 2);
    QCOMPARE(m.textAt(1), QStringLiteral("r2"));
    m.removeAt(7);  // out of range: nothing happens
    m.removeAt(-1);
    QCOMPARE(m.size(), 2);

    m.setRows({{QStringLiteral("A"), 0}, {QStringLiteral("B"), 1}});
    m.removeAt(0);
    QCOMPARE(m.textAt(0), QStringLiteral("B"));
    QCOMPARE(m.recordAt(0), 1);
}

void RecordListModelTest::refillingForgetsPinnedTexts()
{
    db::Database d;
    d.clubs = {club("Alpha")};
    RecordListModel m;
    m.setRecords({0}, clubLongNames(d));
    m.pinText(0);
    d.clubs[0].setText(db::ClubRecord::LongName, "Omega");
    QCOMPARE(m.textAt(0), QStringLiteral("Alpha"));
    // A list filled again shows the new name.
    m.setRecords({0}, clubLongNames(d));
    QCOMPARE(m.textAt(0), QStringLiteral("Omega"));
    m.clear();
    QCOMPARE(m.size(), 0);
    m.append(QStringLiteral("x"), 0);  // after clear the list holds text rows
    d.clubs[0].setText(db::ClubRecord::LongName, "Zeta");
    QCOMPARE(m.textAt(0), QStringLiteral("x"));
}

void RecordListModelTest::viewsAskOnlyForTheRowsTheyDraw()
{
    constexpr int kRows = 300000;
    QListView view;
    view.resize(200, 300);
    CountingSource listSource;
    attachModel(&view)->setRecords(allRecords(kRows), listSource.source());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    selectRow(&view, kRows - 1);
    QCoreApplication::processEvents();
    QCOMPARE(recordModel(&view)->recordAt(kRows - 1), kRows - 1);
    QVERIFY2(*listSource.calls < 2000, qPrintable(QString::number(*listSource.calls)));

    QComboBox combo;
    CountingSource comboSource;
    attachModel(&combo)->setRecords(allRecords(kRows), comboSource.source());
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    combo.setCurrentIndex(kRows / 2);
    QCoreApplication::processEvents();
    (void)combo.sizeHint();
    QCOMPARE(combo.currentText(), QStringLiteral("r%1").arg(kRows / 2));
    QVERIFY2(*comboSource.calls < 2000, qPrintable(QString::number(*comboSource.calls)));
}

QTEST_MAIN(RecordListModelTest)
#include "RecordListModelTest.moc"

#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "OperationsFixture.h"
#include "kit/RecordListModel.h"
#include "operations/AddStaff.h"
#include "operations/AddStaffForm.h"
#include "staff/StaffPage.h"

using Kind = MessageSink::Kind;

namespace {

const QString kRefused = QStringLiteral("That type of Job is not possible for that staff-class!");
const QString kAdded = QStringLiteral("Adding staff was performed well!");

QComboBox* combo(QWidget* form, const char* name)
{
    return form->findChild<QComboBox*>(QLatin1String(name));
}

void choose(AddStaffForm& form, int classification, int job)
{
    combo(&form, "StaffClassification")->setCurrentIndex(classification);
    combo(&form, "StaffJob")->setCurrentIndex(job);
}

std::int32_t indexValue(const AppContext& ctx, int entry, db::I32Field field)
{
    return ctx.db.entry(entry).get(field);
}

}  // namespace

class AddStaffFormTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithNothingChosen();
    void refusedPairsWarnAndChangeNothing();
    void allowedPairsAddAndShowTheNewcomer();
    void bothRecordsMoveCountsAndOffsets();
    void shortIndexIsReportedNotCrashed();
};

void AddStaffFormTest::startsWithNothingChosen()
{
    OpsWorld w;
    AddStaffForm form(w.ctx);
    QCOMPARE(form.windowTitle(), QStringLiteral("Choose type of Staff"));
    QCOMPARE(combo(&form, "StaffClassification")->count(), 7);
    QCOMPARE(combo(&form, "StaffClassification")->itemText(3), QStringLiteral("Non Player and Player"));
    QCOMPARE(combo(&form, "StaffJob")->count(), 17);
    QCOMPARE(combo(&form, "StaffClassification")->currentIndex(), -1);
    QCOMPARE(combo(&form, "StaffJob")->currentIndex(), -1);
    QCOMPARE(form.findChild<QPushButton*>("Button1")->text(), QStringLiteral("Cancel"));
    QCOMPARE(form.findChild<QPushButton*>("Button2")->text(), QStringLiteral("OK"));
}

void AddStaffFormTest::refusedPairsWarnAndChangeNothing()
{
    OpsWorld w;
    const auto before = w.snapshot();
    AddStaffForm form(w.ctx);
    form.show();
    form.Button2Click();  // nothing chosen at all
    const std::pair<int, int> refused[] = {{1, -1}, {-1, 5}, {2, 12}, {3, 16}, {1, 11},
                                           {2, 0},  {0, 0},  {4, 11}, {5, 5},  {6, 1}};
    for (auto [c, j] : refused) {
        choose(form, c, j);
        form.Button2Click();
        QVERIFY(form.isVisible());
        QCOMPARE(combo(&form, "StaffClassification")->currentIndex(), c);  // choices kept
    }
    QVERIFY(w.snapshot() == before);
    QCOMPARE(w.messages.shown.size(), std::size(refused) + 1);
    for (const auto& m : w.messages.shown) {
        QCOMPARE(m.kind, Kind::Warning);
        QCOMPARE(m.text, kRefused);
    }
    form.Button1Click();
    QVERIFY(!form.isVisible());
    QVERIFY(w.snapshot() == before);
}

void AddStaffFormTest::allowedPairsAddAndShowTheNewcomer()
{
    OpsWorld w;
    StaffPage page(w.ctx);
    w.ctx.staffPage = &page;
    AddStaffForm form(w.ctx);
    const std::pair<int, int> allowed[] = {{3, 0}, {1, 10}, {1, 0}, {2, 11}, {3, 15}};
    int expectedId = static_cast<int>(w.ctx.db.staff.size());
    for (auto [c, j] : allowed) {
        w.messages.clear();
        form.show();
        choose(form, c, j);
        form.Button2Click();
        QCOMPARE(w.messages.texts(), QStringList{kAdded});
        QCOMPARE(w.messages.shown[0].kind, Kind::Information);
        QVERIFY(!form.isVisible());
        QCOMPARE(static_cast<int>(w.ctx.db.staff.size()), expectedId + 1);
        const db::StaffRecord& s = w.ctx.db.staff.back();
        QCOMPARE(s.get(db::StaffRecord::StaffId), expectedId);
        QCOMPARE(int(s.get(db::StaffRecord::Classification)), c);
        QCOMPARE(int(s.get(db::StaffRecord::JobForClub)), j);
        QCOMPARE(s.get(db::StaffRecord::ClubContractedId), -2);
        QCOMPARE(s.displayName, std::string("<new staff>"));

        // The staff page lists only him, selected.
        auto* list = page.findChild<QListView*>("ListBoxStaff");
        QVERIFY(list);
        QCOMPARE(rowTexts(list), QStringList{"<new staff>"});
        QCOMPARE(rowRecords(list), std::vector<int>{expectedId});
        QCOMPARE(selectedRow(list), 0);
        ++expectedId;
    }
}

void AddStaffFormTest::bothRecordsMoveCountsAndOffsets()
{
    OpsWorld w;
    db::Database& d = w.ctx.db;
    d.staff.resize(1000);
    d.nonPlayers.resize(400);
    d.players.resize(600);
    const std::int32_t counts[] = {1000, 0, 400, 600};
    for (int k = 0; k < 4; ++k) {
        d.entry(db::Entry::Staff + k).set(db::IndexEntry::RecordCount, counts[k]);
        d.entry(db::Entry::Staff + k).set(db::IndexEntry::TableOffset, 1000 * k);
    }
    AddStaffForm form(w.ctx);
    choose(form, 3, 4);
    form.Button2Click();
    const db::StaffRecord& s = d.staff.back();
    QCOMPARE(s.get(db::StaffRecord::StaffId), 1000);
    QCOMPARE(s.get(db::StaffRecord::NonPlayerId), 400);
    QCOMPARE(s.get(db::StaffRecord::PlayerId), 600);
    QCOMPARE(indexValue(w.ctx, 7, db::IndexEntry::RecordCount), 1001);
    QCOMPARE(indexValue(w.ctx, 8, db::IndexEntry::RecordCount), 0);
    QCOMPARE(indexValue(w.ctx, 9, db::IndexEntry::RecordCount), 401);
    QCOMPARE(indexValue(w.ctx, 10, db::IndexEntry::RecordCount), 601);
    QCOMPARE(indexValue(w.ctx, 7, db::IndexEntry::TableOffset), 0);
    QCOMPARE(indexValue(w.ctx, 8, db::IndexEntry::TableOffset), 1000 + 157);
    QCOMPARE(indexValue(w.ctx, 9, db::IndexEntry::TableOffset), 2000 + 157);
    QCOMPARE(indexValue(w.ctx, 10, db::IndexEntry::TableOffset), 3000 + 225);
}

void AddStaffFormTest::shortIndexIsReportedNotCrashed()
{
    OpsWorld w;
    w.ctx.db.index.resize(9);
    const auto before = w.snapshot();
    QCOMPARE(AddStaff(w.ctx, 3, 0), -1);
    QVERIFY(w.snapshot() == before);
    QCOMPARE(w.messages.shown.size(), std::size_t(1));
    QCOMPARE(w.messages.shown[0].kind, Kind::Failure);
}

QTEST_MAIN(AddStaffFormTest)
#include "AddStaffFormTest.moc"

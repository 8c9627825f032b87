#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "OperationsFixture.h"
#include "kit/RecordListModel.h"
#include "clubs/ClubPage.h"
#include "operations/FindStaffForm.h"
#include "staff/StaffPage.h"

namespace {

// Three entries as a page shows them: two people and "<none>".
void fillThree(QListView* list)
{
    recordModel(list)->setRows({{"Alan Smith", 0}, {"Bob Jones", 1}, {"<none>", -1}});
    selectRow(list, -1);
}

}  // namespace

class FindStaffFormTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void searchAndReset();
    void selectReplacesSelectedEntryAtTheEnd();
    void setToNoneReplacesSelectedEntry();
    void withoutSelectionTheListGrowsToFour();
    void eachTargetNamesItsList();
    void hostileInputs();

private:
    std::unique_ptr<OpsWorld> w;
    std::unique_ptr<ClubPage> clubPage;
    std::unique_ptr<StaffPage> staffPage;
    std::unique_ptr<FindStaffForm> form;
    QListView* lists[4] = {};

    QListView* found() { return form->findChild<QListView*>("ListBoxStaff"); }
    QLineEdit* search() { return form->findChild<QLineEdit*>("StaffSearch"); }
    // Opens the picker as the page owning list k does: the choice goes into that list.
    void openFor(int k)
    {
        form->open(k, [this, k](int record, const QString& text) { replaceSelectedEntry(lists[k], record, text); });
    }
    void pick(const char* text, int row)
    {
        search()->setText(QLatin1String(text));
        form->Button2Click();
        selectRow(found(), row);
    }
};

void FindStaffFormTest::init()
{
    w = std::make_unique<OpsWorld>();
    clubPage = std::make_unique<ClubPage>(w->ctx);
    staffPage = std::make_unique<StaffPage>(w->ctx);
    w->ctx.clubPage = clubPage.get();
    w->ctx.staffPage = staffPage.get();
    form = std::make_unique<FindStaffForm>(w->ctx);
    const char* names[] = {"ClubFavStaff", "ClubDisStaff", "StaffFavStaff", "StaffDisStaff"};
    for (int k = 0; k < 4; ++k) {
        lists[k] = ensureList(k < 2 ? static_cast<QWidget*>(clubPage.get()) : staffPage.get(), names[k]);
        fillThree(lists[k]);
    }
}

void FindStaffFormTest::cleanup()
{
    form.reset();
    w->ctx.clubPage = nullptr;
    w->ctx.staffPage = nullptr;
    staffPage.reset();
    clubPage.reset();
    w.reset();
}

void FindStaffFormTest::searchAndReset()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Pick Staff"));
    QVERIFY(form->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(form->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(rowTexts(found()).isEmpty());  // empty until a search
    form->Button2Click();
    QVERIFY(rowTexts(found()).isEmpty());  // empty text finds nobody
    search()->setText(QStringLiteral("smith"));
    form->Button2Click();
    QCOMPARE(rowTexts(found()), (QStringList{"Alan Smith", "Carl Smithers"}));
    QCOMPARE(rowRecords(found()), (std::vector<int>{0, 2}));
    search()->setText(QStringLiteral("SMITH"));
    form->Button2Click();
    QCOMPARE(rowRecords(found()), (std::vector<int>{0, 2}));

    // Search text and results persist when the dialog is opened again.
    openFor(1);
    form->Button5Click();
    QVERIFY(!form->isVisible());
    openFor(2);
    QCOMPARE(search()->text(), QStringLiteral("SMITH"));
    QCOMPARE(rowRecords(found()), (std::vector<int>{0, 2}));

    form->Button3Click();
    QCOMPARE(search()->text(), QString());
    QVERIFY(rowTexts(found()).isEmpty());  // Reset lists nobody
    QVERIFY(form->isVisible());
    for (QListView* list : lists)
        QCOMPARE(rowTexts(list), (QStringList{"Alan Smith", "Bob Jones", "<none>"}));
}

void FindStaffFormTest::selectReplacesSelectedEntryAtTheEnd()
{
    openFor(0);
    pick("brown", 0);
    selectRow(lists[0], 0);
    form->Button1Click();
    QVERIFY(!form->isVisible());
    QCOMPARE(form->PickedStaffId, 3);
    QCOMPARE(rowTexts(lists[0]), (QStringList{"Bob Jones", "<none>", "Dan Brown"}));
    QCOMPARE(rowRecords(lists[0]), (std::vector<int>{1, -1, 3}));
    for (int k = 1; k < 4; ++k) QCOMPARE(rowRecords(lists[k]), (std::vector<int>{0, 1, -1}));
}

void FindStaffFormTest::setToNoneReplacesSelectedEntry()
{
    openFor(3);
    selectRow(lists[3], 1);
    form->Button4Click();
    QVERIFY(!form->isVisible());
    QCOMPARE(form->PickedStaffId, -1);
    QCOMPARE(rowTexts(lists[3]), (QStringList{"Alan Smith", "<none>", "<none>"}));
    QCOMPARE(rowRecords(lists[3]), (std::vector<int>{0, -1, -1}));
}

void FindStaffFormTest::withoutSelectionTheListGrowsToFour()
{
    openFor(2);
    pick("eric", 0);
    form->Button1Click();
    QCOMPARE(rowTexts(lists[2]), (QStringList{"Alan Smith", "Bob Jones", "<none>", "Eric Black"}));
    openFor(1);
    form->Button4Click();
    QCOMPARE(rowTexts(lists[1]), (QStringList{"Alan Smith", "Bob Jones", "<none>", "<none>"}));
}

void FindStaffFormTest::eachTargetNamesItsList()
{
    // The choice goes back to whoever opened the picker, and only there.
    for (int target = 0; target < 4; ++target) {
        openFor(target);
        QCOMPARE(form->PickTarget, target);
        pick("bob", 0);
        selectRow(lists[target], 2);
        form->Button1Click();
        for (int k = 0; k < 4; ++k)
            QCOMPARE(rowRecords(lists[k]), k <= target ? (std::vector<int>{0, 1, 1}) : (std::vector<int>{0, 1, -1}));
    }
}

void FindStaffFormTest::hostileInputs()
{
    // Select with nobody chosen: nothing changes and the dialog stays.
    openFor(0);
    selectRow(lists[0], 0);
    form->Button1Click();
    QVERIFY(form->isVisible());
    QCOMPARE(rowRecords(lists[0]), (std::vector<int>{0, 1, -1}));
    pick("a", -1);
    form->Button1Click();
    QCOMPARE(rowRecords(lists[0]), (std::vector<int>{0, 1, -1}));

    // A found entry whose record went away, or whose StaffId names nobody.
    pick("dan", 0);
    w->person(3).set(db::StaffRecord::StaffId, 1 << 30);
    form->Button1Click();
    QCOMPARE(rowRecords(lists[0]), (std::vector<int>{0, 1, -1}));
    w->ctx.db.staff.resize(2);
    form->Button1Click();
    QCOMPARE(rowRecords(lists[0]), (std::vector<int>{0, 1, -1}));

    // Targets that name no list, and pages that do not exist.
    for (int target : {-1, 4, 255}) {
        form->open(target);
        form->Button4Click();
        QVERIFY(!form->isVisible());
    }
    // Opened with nobody to hand the choice to.
    for (int target = 0; target < 4; ++target) {
        form->open(target);
        form->Button4Click();
    }
    for (QListView* list : lists) QCOMPARE(rowRecords(list), (std::vector<int>{0, 1, -1}));
    QVERIFY(w->messages.shown.empty());
}

QTEST_MAIN(FindStaffFormTest)
#include "FindStaffFormTest.moc"

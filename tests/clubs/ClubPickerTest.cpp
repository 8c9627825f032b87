// The "Pick Club" dialog: its own search and list, and how Select, Set To
// None and Cancel change the list it was opened for.

#include <QPushButton>
#include <QTest>

#include "ClubWorld.h"
#include "staff/StaffPage.h"

using clubtest::World;
using db::ClubRecord;

namespace {

QListView* pickerList(World& w)
{
    return w.picker->findChild<QListView*>(QStringLiteral("ListBoxClubs"));
}

QPushButton* pickerButton(World& w, const char* text)
{
    for (QPushButton* b : w.picker->findChildren<QPushButton*>())
        if (b->text() == QLatin1String(text)) return b;
    return nullptr;
}

// Club 0's rivals are Hillford Town, Marrow Rovers, Borovia City (X, Y, Z);
// opens the picker on them with row `selected` of the rival list selected.
void openOnRivals(World& w, int selected)
{
    w.selectClub(0);
    QListView* rivals = w.list("ClubRivalClubs");
    if (selected >= 0) {
        const QRect r = rivals->visualRect(rivals->model()->index(selected, 0));
        QTest::mouseDClick(rivals->viewport(), Qt::LeftButton, {}, r.center());
    } else {
        w.page->ClubRivalClubsDblClick();
    }
    QVERIFY(w.picker->isVisible());
    QCOMPARE(w.picker->PickTarget, 0);
}

void choose(World& w, int row)
{
    selectRow(pickerList(w), row);
    QTest::mouseClick(pickerButton(w, "Select"), Qt::LeftButton);
}

}  // namespace

class ClubPickerTest : public QObject {
    Q_OBJECT
private slots:
    void isAModelessStayOnTopDialog();
    void selectReplacesTheSelectedEntryAtTheEnd();
    void aClubMayOccurTwice();
    void setToNoneAppendsNone();
    void noSelectedEntryGivesFourEntries();
    void cancelChangesNothing();
    void selectWithoutAChosenClubStaysOpen();
    void searchesOfPickerAndPageAreIndependent();
    void addedClubIsListedWithoutReset();
    void staffPageTargets();
    void missingTargetChangesNothing();
};

void ClubPickerTest::isAModelessStayOnTopDialog()
{
    World w;
    QCOMPARE(w.picker->windowTitle(), QStringLiteral("Pick Club"));
    const Qt::WindowFlags f = w.picker->windowFlags();
    QVERIFY(f & Qt::WindowStaysOnTopHint);
    QVERIFY(f & Qt::CustomizeWindowHint);
    QVERIFY(!(f & Qt::WindowCloseButtonHint));
    QVERIFY(!(f & Qt::WindowMinMaxButtonsHint));
    w.picker->open(0);
    QVERIFY(w.picker->isVisible());
    QVERIFY(!w.picker->isModal());
    QCOMPARE(w.picker->minimumSize(), w.picker->maximumSize());
    QCOMPARE(recordModel(pickerList(w))->size(), 4);
    for (const char* text : {"Search", "Reset", "Set To None", "Select", "Cancel"})
        QVERIFY2(pickerButton(w, text), text);
}

void ClubPickerTest::selectReplacesTheSelectedEntryAtTheEnd()
{
    World w;
    openOnRivals(w, 1);  // Y
    choose(w, 0);        // W = Lakeside United
    QVERIFY(!w.picker->isVisible());
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Hillford Town", "Borovia City", "Lakeside United"}));
    QCOMPARE(w.model("ClubRivalClubs")->recordAt(2), 0);
    // Pending until Confirm Changes, which stores the list's order.
    QCOMPARE(w.ctx.db.clubs[0].id(ClubRecord::RivalClubs, 1), 2);
    w.page->Button1Click();
    const ClubRecord& c = w.ctx.db.clubs[0];
    QCOMPARE(c.id(ClubRecord::RivalClubs, 0), 1);
    QCOMPARE(c.id(ClubRecord::RivalClubs, 1), 3);
    QCOMPARE(c.id(ClubRecord::RivalClubs, 2), 0);
}

void ClubPickerTest::aClubMayOccurTwice()
{
    World w;
    openOnRivals(w, 2);  // Z
    choose(w, 1);        // X
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Hillford Town", "Marrow Rovers", "Hillford Town"}));
    w.page->Button1Click();
    QCOMPARE(w.ctx.db.clubs[0].id(ClubRecord::RivalClubs, 2), 1);
}

void ClubPickerTest::setToNoneAppendsNone()
{
    World w;
    openOnRivals(w, 0);
    QTest::mouseClick(pickerButton(w, "Set To None"), Qt::LeftButton);
    QVERIFY(!w.picker->isVisible());
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Marrow Rovers", "Borovia City", "<none>"}));
    QCOMPARE(w.model("ClubRivalClubs")->recordAt(2), -1);
    w.page->Button1Click();
    QCOMPARE(w.ctx.db.clubs[0].id(ClubRecord::RivalClubs, 0), 2);
    QCOMPARE(w.ctx.db.clubs[0].id(ClubRecord::RivalClubs, 2), -2);
}

void ClubPickerTest::noSelectedEntryGivesFourEntries()
{
    World w;
    openOnRivals(w, -1);
    choose(w, 3);
    QCOMPARE(w.texts("ClubRivalClubs"),
             (QStringList{"Hillford Town", "Marrow Rovers", "Borovia City", "Borovia City"}));
    w.page->ClubRivalClubsDblClick();
    QTest::mouseClick(pickerButton(w, "Set To None"), Qt::LeftButton);
    QCOMPARE(w.model("ClubRivalClubs")->size(), 5);
    w.page->Button1Click();
    const ClubRecord& c = w.ctx.db.clubs[0];
    QCOMPARE(c.id(ClubRecord::RivalClubs, 0), 1);
    QCOMPARE(c.id(ClubRecord::RivalClubs, 1), 2);
    QCOMPARE(c.id(ClubRecord::RivalClubs, 2), 3);
    QCOMPARE(c.id(ClubRecord::FavouriteStaff, 0), 4);  // the next field is untouched
}

void ClubPickerTest::cancelChangesNothing()
{
    World w;
    openOnRivals(w, 1);
    selectRow(pickerList(w), 0);
    QTest::mouseClick(pickerButton(w, "Cancel"), Qt::LeftButton);
    QVERIFY(!w.picker->isVisible());
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Hillford Town", "Marrow Rovers", "Borovia City"}));
}

void ClubPickerTest::selectWithoutAChosenClubStaysOpen()
{
    World w;
    openOnRivals(w, 1);
    QTest::mouseClick(pickerButton(w, "Select"), Qt::LeftButton);
    QVERIFY(w.picker->isVisible());
    // After a search that found nothing.
    w.picker->findChild<QLineEdit*>(QStringLiteral("ClubSearch"))->setText(QStringLiteral("zzz"));
    QTest::mouseClick(pickerButton(w, "Search"), Qt::LeftButton);
    QCOMPARE(recordModel(pickerList(w))->size(), 0);
    QTest::mouseClick(pickerButton(w, "Select"), Qt::LeftButton);
    QVERIFY(w.picker->isVisible());
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Hillford Town", "Marrow Rovers", "Borovia City"}));
    // A list entry whose club identifier names no club is not a choice either.
    w.ctx.db.clubs[2].set(ClubRecord::ClubId, -7);
    QTest::mouseClick(pickerButton(w, "Reset"), Qt::LeftButton);
    choose(w, 2);
    QVERIFY(w.picker->isVisible());
    QCOMPARE(w.model("ClubRivalClubs")->size(), 3);
}

void ClubPickerTest::searchesOfPickerAndPageAreIndependent()
{
    World w;
    auto* search = w.picker->findChild<QLineEdit*>(QStringLiteral("ClubSearch"));
    search->setText(QStringLiteral("rovers fc"));
    QTest::mouseClick(pickerButton(w, "Search"), Qt::LeftButton);
    QCOMPARE(clubtest::texts(pickerList(w)), QStringList{"Marrow Rovers"});
    QCOMPARE(w.model("ListBoxClubs")->size(), 4);
    w.edit("ClubSearch")->setText(QStringLiteral("town"));
    w.page->Button2Click();
    QCOMPARE(clubtest::texts(pickerList(w)), QStringList{"Marrow Rovers"});
    // Search text and list persist between showings.
    w.picker->open(0);
    w.picker->hide();
    w.picker->open(1);
    QCOMPARE(search->text(), QStringLiteral("rovers fc"));
    QCOMPARE(recordModel(pickerList(w))->size(), 1);
    QTest::mouseClick(pickerButton(w, "Reset"), Qt::LeftButton);
    QVERIFY(search->text().isEmpty());
    QCOMPARE(recordModel(pickerList(w))->size(), 4);
    QCOMPARE(w.texts("ListBoxClubs"), QStringList{"Hillford Town"});
}

void ClubPickerTest::addedClubIsListedWithoutReset()
{
    World w;
    w.page->addClub();
    QCOMPARE(clubtest::texts(pickerList(w)).last(), QStringLiteral("<new club>"));
    openOnRivals(w, 0);
    choose(w, 4);
    QCOMPARE(w.texts("ClubRivalClubs").last(), QStringLiteral("<new club>"));
    w.page->Button1Click();
    QCOMPARE(w.ctx.db.clubs[0].id(ClubRecord::RivalClubs, 2), 4);
}

void ClubPickerTest::staffPageTargets()
{
    World w;
    QWidget* staffPage = w.ctx.staffPage;
    for (int target : {1, 2}) {
        const char* name = target == 1 ? "StaffFavClubs" : "StaffDisClubs";
        auto* list = staffPage->findChild<QListView*>(QLatin1String(name));
        if (!list) QSKIP("the staff page has no club preference lists yet");
        RecordListModel* m = attachModel(list);
        m->setRows({{QStringLiteral("A"), 0}, {QStringLiteral("B"), 1}, {QStringLiteral("C"), 2}});
        selectRow(list, 0);
        // The staff page's part: put the choice into its list.
        w.picker->open(target, [list](int record, const QString& text) { replaceSelectedEntry(list, record, text); });
        choose(w, 3);
        QCOMPARE(clubtest::texts(list), (QStringList{"B", "C", "Borovia City"}));
        QCOMPARE(m->recordAt(2), 3);
    }
    // The club page's list is left alone.
    QCOMPARE(w.model("ClubRivalClubs")->size(), 0);
}

void ClubPickerTest::missingTargetChangesNothing()
{
    World w;
    w.selectClub(0);
    w.picker->open(7);
    choose(w, 0);
    QTest::mouseClick(pickerButton(w, "Set To None"), Qt::LeftButton);
    w.ctx.clubPage = nullptr;
    w.picker->open(0);
    choose(w, 0);
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Hillford Town", "Marrow Rovers", "Borovia City"}));
}

QTEST_MAIN(ClubPickerTest)
#include "ClubPickerTest.moc"

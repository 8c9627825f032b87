// What choosing a person puts into the Staff tab's controls.

#include <QTabWidget>
#include <QtTest>

#include "StaffFixture.h"
#include "kit/RecordListModel.h"
#include "staff/StaffFields.h"
#include "staff/StaffPage.h"

namespace {

bool tabShown(QTabWidget* tabs, const char* page)
{
    return tabs->isTabVisible(tabs->indexOf(tabs->findChild<QWidget*>(QString::fromLatin1(page))));
}

}  // namespace

class StaffDisplayTest : public QObject {
    Q_OBJECT
private slots:
    void everyBoundControlExistsWithItsFixedEntries();
    void referencesThatNameNothingShowNoneOrUnknown();
    void numbersShowSignedByWidthAndDatesThroughTheMonthTable();
    void preferenceListsAlwaysHoldThreeEntries();
    void subPagesFollowTheClassification();
    void otherClassificationsLeaveTheSubPagesAsTheyWere();
    void brokenAttributeLinksShowAnEmptyDisabledSubPage();
};

void StaffDisplayTest::everyBoundControlExistsWithItsFixedEntries()
{
    StaffFixture f;
    for (const auto& b : staff::kGeneralNumbers) QVERIFY2(f.edit(b.control), b.control);
    for (const auto& b : staff::kNonPlayerNumbers) QVERIFY2(f.edit(b.control), b.control);
    for (const auto& b : staff::kPlayerNumbers) QVERIFY2(f.edit(b.control), b.control);
    for (const auto& b : staff::kDates) QVERIFY(f.edit(b.day) && f.edit(b.month) && f.edit(b.year));
    for (const auto& b : staff::kPreferences) QVERIFY2(f.list(b.control), b.control);
    for (const char* n : {"StaffSearch", "StaffClubValuation", "StaffNationContract", "StaffClub"})
        QVERIFY2(f.edit(n), n);
    for (const char* n :
         {"Button4", "Button5", "Button6", "Button7", "Button8", "Button9", "Button10", "Button11"})
        QVERIFY2(f.button(n), n);
    QVERIFY(f.list("ListBoxStaff"));

    const struct {
        const char* name;
        int count;
        const char* last;
    } fixed[] = {{"StaffJobForNation", 17, "Player Retired"},
                 {"StaffJobForClub", 17, "Player Retired"},
                 {"StaffPlayingSquad", 9, "Nation 'B' Squad"},
                 {"StaffClassification", 7, "Spare Non Player"},
                 {"StaffNPFormation", 10, "3-4-3"}};
    for (const auto& c : fixed) {
        QComboBox* box = f.combo(c.name);
        QVERIFY2(box, c.name);
        QCOMPARE(box->count(), c.count);
        QCOMPARE(box->itemText(0), QStringLiteral("<none>"));
        QCOMPARE(box->itemText(c.count - 1), QString::fromLatin1(c.last));
    }
    QCOMPARE(f.combo("StaffPlayingSquad")->itemText(3), QString());

    // Every drop-down is a fixed list; read-only controls are disabled.
    for (QComboBox* box : f.page->findChildren<QComboBox*>()) QVERIFY(!box->isEditable());
    for (const char* n : {"StaffClubValuation", "StaffNationContract", "StaffClub"})
        QVERIFY(!f.edit(n)->isEnabled());
    for (const char* n : {"StaffJobForNation", "StaffJobForClub", "StaffPlayingSquad", "StaffClassification"})
        QVERIFY(!f.combo(n)->isEnabled());

    // Name lists carry their records; nations end with their extra entry.
    QCOMPARE(f.combo("StaffFirstName")->count(), 10);
    QCOMPARE(recordModel(f.combo("StaffFirstName"))->recordAt(9), 9);
    QCOMPARE(f.combo("StaffNation")->count(), 4);
    QCOMPARE(f.combo("StaffNation")->itemText(3), QStringLiteral("<unknown>"));
    QCOMPARE(f.combo("StaffSecondNation")->itemText(3), QStringLiteral("<none>"));

    // "Playing" and "Non-Playing" start hidden; "Histrory" is never shown.
    auto* tabs = f.page->findChild<QTabWidget*>(QStringLiteral("PageControl5"));
    QVERIFY(tabShown(tabs, "TabSheet11"));
    QVERIFY(!tabShown(tabs, "TabSheet12"));
    QVERIFY(!tabShown(tabs, "TabSheet13"));
    QVERIFY(!tabShown(f.page->findChild<QTabWidget*>(QStringLiteral("PageControl6")), "TabSheet22"));
}

void StaffDisplayTest::referencesThatNameNothingShowNoneOrUnknown()
{
    StaffFixture f;
    f.show(people::Player);
    QCOMPARE(f.combo("StaffNation")->currentText(), QStringLiteral("<unknown>"));     // NationId -2
    QCOMPARE(f.combo("StaffSecondNation")->currentText(), QStringLiteral("<none>"));  // 99
    QCOMPARE(f.combo("StaffJobForClub")->currentText(), QStringLiteral("<none>"));    // 17
    QCOMPARE(f.combo("StaffJobForNation")->currentText(), QStringLiteral("Player"));
    QCOMPARE(f.edit("StaffClub")->text(), QStringLiteral("Alpha FC"));
    QCOMPARE(f.edit("StaffNationContract")->text(), QStringLiteral("Sweden"));
    QCOMPARE(f.combo("StaffFirstName")->currentText(), QStringLiteral("Finn"));

    f.show(people::NonPlayer);
    QCOMPARE(f.combo("StaffNation")->currentText(), QStringLiteral("England"));
    QCOMPARE(f.combo("StaffSecondNation")->currentText(), QStringLiteral("<none>"));  // -1
    QCOMPARE(f.combo("StaffNPFormation")->currentText(), QStringLiteral("<none>"));   // 10
    QCOMPARE(f.edit("StaffNationContract")->text(), QStringLiteral("<none>"));
    QCOMPARE(f.combo("StaffJobForClub")->currentText(), QStringLiteral("Manager"));

    // Name identifiers of -7 select nothing; 2,000,000,000 names no club or nation.
    f.show(people::Hostile);
    for (const char* n : {"StaffFirstName", "StaffSecondName", "StaffCommonName"})
        QCOMPARE(f.combo(n)->currentIndex(), -1);
    QCOMPARE(f.combo("StaffNation")->currentText(), QStringLiteral("<unknown>"));
    QCOMPARE(f.edit("StaffClub")->text(), QStringLiteral("<none>"));
    QCOMPARE(f.edit("StaffNationContract")->text(), QStringLiteral("<none>"));
    QCOMPARE(f.combo("StaffJobForClub")->currentIndex(), 0);
    QCOMPARE(f.combo("StaffPlayingSquad")->currentIndex(), 0);
    QCOMPARE(f.combo("StaffClassification")->currentIndex(), 0);
    QCOMPARE(rows(f.list("StaffFavStaff")), QStringList({"<none>", "<none>", "<none>"}));
    QCOMPARE(rows(f.list("StaffFavClubs")), QStringList({"<none>", "<none>", "<none>"}));
}

void StaffDisplayTest::numbersShowSignedByWidthAndDatesThroughTheMonthTable()
{
    StaffFixture f;
    f.show(people::Player);
    QCOMPARE(f.edit("StaffCaps")->text(), QStringLiteral("200"));  // one byte: unsigned
    QCOMPARE(f.edit("StaffWage")->text(), QStringLiteral("-5"));   // 32-bit: signed
    QCOMPARE(f.edit("StaffValue")->text(), QStringLiteral("1000000"));
    QCOMPARE(f.edit("StaffClubValuation")->text(), QStringLiteral("250"));
    QCOMPARE(f.edit("StaffPPot")->text(), QStringLiteral("-1"));  // 16-bit: signed
    QCOMPARE(f.edit("StaffPAbi")->text(), QStringLiteral("120"));

    // DayOfYear 59 is 29 February in the editor's month table.
    QCOMPARE(f.edit("StaffDOBDay")->text(), QStringLiteral("29"));
    QCOMPARE(f.edit("StaffDOBMonth")->text(), QStringLiteral("2"));
    QCOMPARE(f.edit("StaffDOBYear")->text(), QStringLiteral("1975"));
    QCOMPARE(f.edit("StaffNatJoinDay")->text(), QStringLiteral("1"));  // 0
    QCOMPARE(f.edit("StaffNatJoinMonth")->text(), QStringLiteral("1"));
    QCOMPARE(f.edit("StaffNatEndDay")->text(), QStringLiteral("31"));  // 364
    QCOMPARE(f.edit("StaffNatEndMonth")->text(), QStringLiteral("12"));
    QCOMPARE(f.edit("StaffClubJoinDay")->text(), QStringLiteral("1"));  // 31
    QCOMPARE(f.edit("StaffClubJoinMonth")->text(), QStringLiteral("2"));

    // DayOfYear 65535 shows day 0 of month 1; 40000 a negative day.
    f.ctx.db.staff[people::Player].set(db::StaffRecord::DateOfBirth.dayOfYear(), 65535);
    f.ctx.db.staff[people::Player].set(db::StaffRecord::ClubJoinDate.dayOfYear(), 40000);
    f.page->ListBoxStaffClick();
    QCOMPARE(f.edit("StaffDOBDay")->text(), QStringLiteral("0"));
    QCOMPARE(f.edit("StaffDOBMonth")->text(), QStringLiteral("1"));
    QCOMPARE(f.edit("StaffClubJoinDay")->text(), QString::number(40001 - 65536));
    QCOMPARE(f.edit("StaffClubJoinMonth")->text(), QStringLiteral("1"));
}

void StaffDisplayTest::preferenceListsAlwaysHoldThreeEntries()
{
    StaffFixture f;
    f.show(people::Player);
    // Club id 3 is below the staff count but not a club: "<none>".
    QCOMPARE(rows(f.list("StaffFavClubs")), QStringList({"Beta United", "<none>", "<none>"}));
    QCOMPARE(rows(f.list("StaffDisClubs")), QStringList({"<none>", "<none>", "<none>"}));
    QCOMPARE(rows(f.list("StaffFavStaff")), QStringList({"Alan Smith", "<none>", "Dirk SONNY"}));
    QCOMPARE(rows(f.list("StaffDisStaff")), QStringList({"<none>", "<none>", "<none>"}));
    QCOMPARE(recordModel(f.list("StaffFavStaff"))->recordAt(2), 3);
    QCOMPARE(recordModel(f.list("StaffFavClubs"))->recordAt(1), -1);
}

void StaffDisplayTest::subPagesFollowTheClassification()
{
    StaffFixture f;
    auto* tabs = f.page->findChild<QTabWidget*>(QStringLiteral("PageControl5"));
    f.show(people::NonPlayer);
    QVERIFY(!tabShown(tabs, "TabSheet12"));
    QVERIFY(tabShown(tabs, "TabSheet13"));
    const auto& np = f.ctx.db.nonPlayers[0];
    QCOMPARE(f.edit("StaffNPAbi")->text(), QStringLiteral("150"));
    QCOMPARE(f.edit("StaffNPPot")->text(), QStringLiteral("-2"));
    QCOMPARE(f.edit("StaffNPTac")->text(), QString::number(np.get(db::NonPlayerRecord::Tactics)));

    f.show(people::Player);
    QVERIFY(tabShown(tabs, "TabSheet12"));
    QVERIFY(!tabShown(tabs, "TabSheet13"));
    QCOMPARE(f.edit("StaffPPac")->text(), QString::number(f.ctx.db.players[0].get(db::PlayerRecord::Pace)));
    QCOMPARE(f.edit("StaffPSqNo")->text(),
             QString::number(f.ctx.db.players[0].get(db::PlayerRecord::SquadNumber)));

    f.show(people::Both);
    QVERIFY(tabShown(tabs, "TabSheet12"));
    QVERIFY(tabShown(tabs, "TabSheet13"));
    QCOMPARE(f.edit("StaffPPac")->text(), QString::number(f.ctx.db.players[1].get(db::PlayerRecord::Pace)));
    QCOMPARE(f.combo("StaffNPFormation")->currentText(), QStringLiteral("4-4-2"));
}

void StaffDisplayTest::otherClassificationsLeaveTheSubPagesAsTheyWere()
{
    StaffFixture f;
    auto* tabs = f.page->findChild<QTabWidget*>(QStringLiteral("PageControl5"));
    f.show(people::Player);
    const QString pace = f.edit("StaffPPac")->text();
    f.show(people::Youth);  // classification 4, links naming person 3's records
    QVERIFY(tabShown(tabs, "TabSheet12"));
    QVERIFY(!tabShown(tabs, "TabSheet13"));
    QCOMPARE(f.edit("StaffPPac")->text(), pace);
    QCOMPARE(f.edit("StaffPAbi")->text(), QStringLiteral("120"));
    QCOMPARE(f.combo("StaffClassification")->currentText(), QStringLiteral("Youth Player"));
}

void StaffDisplayTest::brokenAttributeLinksShowAnEmptyDisabledSubPage()
{
    StaffFixture f;
    auto* tabs = f.page->findChild<QTabWidget*>(QStringLiteral("PageControl5"));
    f.show(people::Player);
    f.show(people::BrokenPlayer);  // PlayerId 999 of a table of 2
    QVERIFY(tabShown(tabs, "TabSheet12"));
    QVERIFY(f.edit("StaffPPac")->text().isEmpty());
    QVERIFY(!f.edit("StaffPPac")->isEnabled());
    QVERIFY(!f.edit("StaffPSqNo")->isEnabled());

    f.show(people::BrokenNonPlayer);  // NonPlayerId -5
    QVERIFY(tabShown(tabs, "TabSheet13"));
    QVERIFY(!tabShown(tabs, "TabSheet12"));
    QVERIFY(f.edit("StaffNPAbi")->text().isEmpty());
    QVERIFY(!f.edit("StaffNPAbi")->isEnabled());
    QCOMPARE(f.combo("StaffNPFormation")->currentIndex(), -1);

    // The next sound person gets working sub-pages again.
    f.show(people::Both);
    QVERIFY(f.edit("StaffNPAbi")->isEnabled());
    QVERIFY(f.edit("StaffPPac")->isEnabled());
    QCOMPARE(f.edit("StaffNPAbi")->text(), QStringLiteral("150"));
}

QTEST_MAIN(StaffDisplayTest)
#include "StaffDisplayTest.moc"

// The Clubs tab: what a club shows, search and reset, adding clubs, the jumps.

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "ClubWorld.h"
#include "kit/QtText.h"
#include "db/query/Search.h"
#include "operations/TransferForm.h"
#include "staff/StaffPage.h"

using clubtest::World;
using db::ClubRecord;

class ClubPageTest : public QObject {
    Q_OBJECT
private slots:
    void picksListsFollowTheTables();
    void picksListsOfAnUnfinishedLoadHaveNoExtraItem();
    void showsEveryFieldOfAClub();
    void showsOddStoredValuesAsNone();
    void showsReferencesFarOutOfRange();
    void stadiumPickShowsItsDetails();
    void searchMatchesLongThenShortNameInAnyCase();
    void resetListsEveryClubWithoutSelection();
    void addedClubsTakeTheNextIdentifiers();
    void addedClubShowsTheExtraEntries();
    void doubleClickOnAPlayerJumpsToTheStaffTab();
    void doubleClicksWithNothingSelectedDoNothing();
    void goToClubSelectsAndShowsTheClub();
};

void ClubPageTest::picksListsFollowTheTables()
{
    World w;
    QCOMPARE(w.combo("ClubNation")->count(), 3);
    QCOMPARE(w.combo("ClubNation")->itemText(2), QStringLiteral("<unknown>"));
    for (const char* c : {"ClubDivision", "ClubLastDivision", "ClubResDivision"}) {
        QCOMPARE(w.combo(c)->count(), 3);
        QCOMPARE(w.combo(c)->itemText(0), QStringLiteral("Premier Division"));
        QCOMPARE(w.combo(c)->itemText(2), QStringLiteral("<unknown>"));
    }
    for (const char* c : {"ClubFg1", "ClubBg1", "ClubFg2", "ClubBg2", "ClubFg3", "ClubBg3"})
        QCOMPARE(w.combo(c)->itemText(4), QStringLiteral("<unknown>"));
    QCOMPARE(w.combo("ClubStadium1")->itemText(3), QStringLiteral("<unknown>"));
    for (const char* c : {"ClubStadium2", "Stadium1Nearby", "Stadium2Nearby"})
        QCOMPARE(w.combo(c)->itemText(3), QStringLiteral("<none>"));
    for (const char* c : {"Stadium1City", "Stadium2City"})
        QCOMPARE(w.combo(c)->itemText(3), QStringLiteral("<unknown>"));
    QCOMPARE(w.combo("ClubProStatus")->count(), 4);
    QCOMPARE(w.combo("ClubMatchday")->itemText(7), QStringLiteral("Saturday"));
    for (QComboBox* c : w.page->findChildren<QComboBox*>())
        QVERIFY2(!c->isEditable(), qPrintable(c->objectName()));
    QCOMPARE(w.texts("ListBoxClubs"),
             (QStringList{"Lakeside United", "Hillford Town", "Marrow Rovers", "Borovia City"}));

    w.page->clearLists();
    QCOMPARE(w.combo("ClubNation")->count(), 0);
    QCOMPARE(w.model("ListBoxClubs")->size(), 0);
    QCOMPARE(w.combo("ClubProStatus")->count(), 4);  // fixed lists stay
}

void ClubPageTest::picksListsOfAnUnfinishedLoadHaveNoExtraItem()
{
    db::Database d = clubtest::sampleDatabase();
    db::Database partial = db::Database::withEmptyIndex();
    partial.index = d.index;
    partial.cities = d.cities;
    partial.clubs = d.clubs;
    partial.stadiums.push_back(d.stadiums[0]);
    partial.markStepComplete(db::LoadStep::Cities);
    partial.markStepComplete(db::LoadStep::Clubs);
    World w(partial);
    QCOMPARE(w.combo("Stadium1City")->count(), 4);
    QCOMPARE(w.combo("ClubStadium1")->count(), 1);
    QCOMPARE(w.combo("ClubNation")->count(), 0);
    // A club whose references find no item still shows without failing.
    w.selectClub(0);
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Lakeside United"));
    QCOMPARE(w.combo("ClubNation")->currentIndex(), -1);
}

void ClubPageTest::showsEveryFieldOfAClub()
{
    World w;
    w.selectClub(0);
    QCOMPARE(w.page->selectedClubId(), 0);
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Lakeside United"));
    QCOMPARE(w.edit("ClubShortName")->text(), QStringLiteral("Lakeside"));
    QCOMPARE(w.combo("ClubNation")->currentText(), QStringLiteral("Arland"));
    QCOMPARE(w.combo("ClubProStatus")->currentText(), QStringLiteral("Professional"));
    QCOMPARE(w.edit("ClubCash")->text(), QStringLiteral("-250000"));
    QCOMPARE(w.edit("ClubTraining")->text(), QStringLiteral("200"));
    QCOMPARE(w.edit("ClubReputation")->text(), QStringLiteral("7500"));
    QCOMPARE(w.combo("ClubMatchday")->currentText(), QStringLiteral("Saturday"));
    QVERIFY(!w.get<QCheckBox>("ClubPLC")->isChecked());
    QCOMPARE(w.combo("ClubDivision")->currentText(), QStringLiteral("Premier Division"));
    QCOMPARE(w.combo("ClubLastDivision")->currentText(), QStringLiteral("First Division"));
    QCOMPARE(w.edit("ClubLastPosition")->text(), QStringLiteral("3"));
    QCOMPARE(w.edit("ClubAvgAtt")->text(), QStringLiteral("12000"));
    QCOMPARE(w.edit("ClubMaxAtt")->text(), QStringLiteral("20000"));
    QCOMPARE(w.combo("ClubFg2")->currentText(), QStringLiteral("Blue"));
    QCOMPARE(w.combo("ClubBg3")->currentText(), QStringLiteral("Blue"));
    QCOMPARE(w.combo("ClubBg2")->currentText(), QStringLiteral("Green"));
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Hillford Town", "Marrow Rovers", "Borovia City"}));
    QCOMPARE(w.model("ClubRivalClubs")->recordAt(1), 2);
    QCOMPARE(w.texts("ClubFavStaff"), (QStringList{"Mary Stone", "<none>", "<none>"}));
    QCOMPARE(w.texts("ClubDisStaff"), (QStringList{"<none>", "<none>", "Paul Reed"}));
    QCOMPARE(w.model("ClubDisStaff")->recordAt(2), 5);

    // Stadiums with their details; the flag byte 1 reads as set.
    QCOMPARE(w.combo("ClubStadium1")->currentText(), QStringLiteral("Old Park"));
    QCOMPARE(w.edit("Stadium1Name")->text(), QStringLiteral("Old Park"));
    QCOMPARE(w.combo("Stadium1City")->currentText(), QStringLiteral("Lakeside"));
    QCOMPARE(w.edit("Stadium1Capacity")->text(), QStringLiteral("20000"));
    QCOMPARE(w.edit("Stadium1Seating")->text(), QStringLiteral("15000"));
    QCOMPARE(w.edit("Stadium1Expansion")->text(), QStringLiteral("5000"));
    QCOMPARE(w.combo("Stadium1Nearby")->currentText(), QStringLiteral("River Ground"));
    QVERIFY(w.get<QCheckBox>("Stadium1Covered")->isChecked());
    QVERIFY(!w.get<QCheckBox>("Stadium1Undersoil")->isChecked());
    QVERIFY(w.get<QCheckBox>("ClubOwnStadium")->isChecked());
    QCOMPARE(w.combo("ClubStadium2")->currentText(), QStringLiteral("River Ground"));
    QCOMPARE(w.combo("Stadium2Nearby")->currentText(), QStringLiteral("<none>"));  // stored -2
    QVERIFY(w.get<QCheckBox>("Stadium2Undersoil")->isChecked());

    // Staff lists: prefixes in slot-group order, only filled slots.
    QCOMPARE(w.texts("ClubStaff"), (QStringList{"Chairman: John Smith", "Director: Ann Brown",
                                                "Manager: John Brown", "Scout: Ann Smith"}));
    QCOMPARE(w.texts("ClubPlayers"), (QStringList{"Mary Stone", "Paul Reed"}));
    QCOMPARE(w.model("ClubPlayers")->recordAt(1), 5);

    // Another club replaces everything, down to the lists.
    w.selectClub(2);
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Marrow Rovers"));
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"<none>", "<none>", "<none>"}));
    QCOMPARE(w.model("ClubStaff")->size(), 0);
    QCOMPARE(w.model("ClubPlayers")->size(), 0);
}

void ClubPageTest::showsOddStoredValuesAsNone()
{
    db::Database d = clubtest::sampleDatabase();
    ClubRecord& c = d.clubs[1];
    c.set(ClubRecord::ProStatus, 7);
    c.set(ClubRecord::Matchday, 9);
    c.set(ClubRecord::Reputation, static_cast<std::int16_t>(-1));  // 0xFFFF
    c.set(ClubRecord::Training, 255);
    c.set(ClubRecord::Plc, 1);
    c.setId(ClubRecord::RivalClubs, 0, -1);
    c.setId(ClubRecord::RivalClubs, 1, -2);
    c.setId(ClubRecord::RivalClubs, 2, 4);   // the club count
    c.set(ClubRecord::NationId, 2);          // the nation count
    c.set(ClubRecord::ReserveStadiumId, 3);  // the stadium count
    World w(d);
    w.selectClub(1);
    QCOMPARE(w.combo("ClubProStatus")->currentText(), QStringLiteral("<unknown>"));
    QCOMPARE(w.combo("ClubMatchday")->currentText(), QStringLiteral("<unknown>"));
    QCOMPARE(w.edit("ClubReputation")->text(), QStringLiteral("-1"));
    QCOMPARE(w.edit("ClubTraining")->text(), QStringLiteral("255"));
    QVERIFY(w.get<QCheckBox>("ClubPLC")->isChecked());
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"<none>", "<none>", "<none>"}));
    QCOMPARE(w.model("ClubRivalClubs")->recordAt(2), -1);
    QCOMPARE(w.combo("ClubNation")->currentText(), QStringLiteral("<unknown>"));
    QCOMPARE(w.combo("ClubStadium2")->currentText(), QStringLiteral("<none>"));
    QVERIFY(w.edit("Stadium2Name")->text().isEmpty());
    QCOMPARE(w.combo("Stadium2City")->currentText(), QStringLiteral("<unknown>"));
    QCOMPARE(w.combo("Stadium2Nearby")->currentText(), QStringLiteral("<none>"));
}

void ClubPageTest::showsReferencesFarOutOfRange()
{
    db::Database d = clubtest::sampleDatabase();
    for (std::int32_t bad : {2000000000, -7}) {
        ClubRecord& c = d.clubs[3];
        for (db::I32Field f :
             {ClubRecord::NationId, ClubRecord::DivisionId, ClubRecord::LastDivisionId,
              ClubRecord::ReserveDivisionId, ClubRecord::StadiumId, ClubRecord::ReserveStadiumId,
              ClubRecord::HomeForeColourId, ClubRecord::ThirdBackColourId, ClubRecord::ChairmanId,
              ClubRecord::ManagerId, ClubRecord::AssistantManagerId})
            c.set(f, bad);
        c.fillIds(ClubRecord::RivalClubs, bad);
        c.fillIds(ClubRecord::FavouriteStaff, bad);
        c.fillIds(ClubRecord::DislikedStaff, bad);
        c.fillIds(ClubRecord::PlayerIds, bad);
        c.fillIds(ClubRecord::DirectorIds, bad);
        c.fillIds(ClubRecord::CoachIds, bad);
        c.fillIds(ClubRecord::ScoutIds, bad);
        c.fillIds(ClubRecord::PhysioIds, bad);
        // A stadium whose own references are out of range too.
        d.stadiums[2].set(db::StadiumRecord::CityId, bad);
        d.stadiums[2].set(db::StadiumRecord::NearbyStadiumId, bad);
        d.clubs[2].set(ClubRecord::StadiumId, 2);
        World w(d);
        w.selectClub(3);
        QCOMPARE(w.combo("ClubNation")->currentText(), QStringLiteral("<unknown>"));
        QCOMPARE(w.combo("ClubResDivision")->currentText(), QStringLiteral("<unknown>"));
        QCOMPARE(w.combo("ClubFg1")->currentText(), QStringLiteral("<unknown>"));
        QCOMPARE(w.combo("ClubStadium1")->currentText(), QStringLiteral("<unknown>"));
        QVERIFY(w.edit("Stadium1Capacity")->text().isEmpty());
        QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"<none>", "<none>", "<none>"}));
        QCOMPARE(w.texts("ClubFavStaff"), (QStringList{"<none>", "<none>", "<none>"}));
        QCOMPARE(w.model("ClubStaff")->size(), 0);
        QCOMPARE(w.model("ClubPlayers")->size(), 0);
        w.selectClub(2);
        QCOMPARE(w.combo("Stadium1City")->currentText(), QStringLiteral("<unknown>"));
        QCOMPARE(w.combo("Stadium1Nearby")->currentText(), QStringLiteral("<none>"));
    }

    // A list entry whose ClubId names no club selects nothing.
    d.clubs[1].set(ClubRecord::ClubId, 2000000000);
    World w(d);
    w.selectClub(0);
    w.selectClub(1);
    QCOMPARE(w.page->selectedClubId(), -1);
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Lakeside United"));
}

void ClubPageTest::stadiumPickShowsItsDetails()
{
    World w;
    w.selectClub(0);
    w.pick("ClubStadium1", 2);
    QCOMPARE(w.edit("Stadium1Name")->text(), QStringLiteral("North Bowl"));
    QCOMPARE(w.edit("Stadium1Capacity")->text(), QStringLiteral("45000"));
    QCOMPARE(w.combo("Stadium1City")->currentText(), QStringLiteral("Marrow"));
    QVERIFY(w.get<QCheckBox>("Stadium1Undersoil")->isChecked());

    // The reserve stadium's "<none>" empties its details.
    w.pick("ClubStadium2", 3);
    for (const char* e : {"Stadium2Name", "Stadium2Capacity", "Stadium2Seating", "Stadium2Expansion"})
        QVERIFY2(w.edit(e)->text().isEmpty(), e);
    QCOMPARE(w.combo("Stadium2City")->currentIndex(), 3);
    QCOMPARE(w.combo("Stadium2Nearby")->currentIndex(), 3);
    QVERIFY(!w.get<QCheckBox>("Stadium2Covered")->isChecked());
    QVERIFY(!w.get<QCheckBox>("Stadium2Undersoil")->isChecked());
    // Own Stadium belongs to the club, not to the stadium shown.
    QVERIFY(w.get<QCheckBox>("ClubOwnStadium")->isChecked());
}

void ClubPageTest::searchMatchesLongThenShortNameInAnyCase()
{
    World w;
    QPushButton* search = w.get<QPushButton>("Button2");
    w.edit("ClubSearch")->setText(QStringLiteral("UNITED"));
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(w.texts("ListBoxClubs"), QStringList{"Lakeside United"});
    QCOMPARE(w.model("ListBoxClubs")->recordAt(0), 0);
    QVERIFY(!QApplication::overrideCursor());

    // Only in the short name: listed under the long name.
    w.edit("ClubSearch")->setText(QStringLiteral("fc"));
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(w.texts("ListBoxClubs"), QStringList{"Marrow Rovers"});

    w.edit("ClubSearch")->setText(QStringLiteral("o"));
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(w.texts("ListBoxClubs"), (QStringList{"Hillford Town", "Marrow Rovers", "Borovia City"}));
    QCOMPARE(selectedRow(w.list("ListBoxClubs")), -1);

    w.edit("ClubSearch")->clear();
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(w.model("ListBoxClubs")->size(), 0);

    // The search covers the clubs the index counts, never past the table.
    w.ctx.db.entry(db::Entry::Clubs).set(db::IndexEntry::RecordCount, 2000000000);
    w.edit("ClubSearch")->setText(QStringLiteral("city"));
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(w.texts("ListBoxClubs"), QStringList{"Borovia City"});
    w.ctx.db.entry(db::Entry::Clubs).set(db::IndexEntry::RecordCount, 2);
    QTest::mouseClick(search, Qt::LeftButton);
    QCOMPARE(w.model("ListBoxClubs")->size(), 0);
}

void ClubPageTest::resetListsEveryClubWithoutSelection()
{
    World w;
    w.selectClub(1);
    w.edit("ClubSearch")->setText(QStringLiteral("city"));
    QTest::mouseClick(w.get<QPushButton>("Button2"), Qt::LeftButton);
    QTest::mouseClick(w.get<QPushButton>("Button3"), Qt::LeftButton);
    QVERIFY(w.edit("ClubSearch")->text().isEmpty());
    QCOMPARE(w.model("ListBoxClubs")->size(), 4);
    QCOMPARE(selectedRow(w.list("ListBoxClubs")), -1);
    // The controls keep showing the club shown before.
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Hillford Town"));
}

void ClubPageTest::addedClubsTakeTheNextIdentifiers()
{
    World w;
    w.tabs.setCurrentIndex(0);
    w.selectClub(0);
    const db::ClubRecord last = w.ctx.db.clubs.back();
    w.page->addClub();
    QCOMPARE(w.tabs.currentWidget(), w.page);
    w.page->addClub();
    const auto& clubs = w.ctx.db.clubs;
    QCOMPARE(clubs.size(), std::size_t(6));
    QCOMPARE(w.ctx.db.entry(db::Entry::Clubs).get(db::IndexEntry::RecordCount), 6);
    for (int id : {4, 5}) {
        const ClubRecord& c = clubs[static_cast<std::size_t>(id)];
        QCOMPARE(c.get(ClubRecord::ClubId), id);
        QCOMPARE(c.text(ClubRecord::LongName), std::string("<new club>"));
        QCOMPARE(c.text(ClubRecord::ShortName), std::string("<new club>"));
        QCOMPARE(c.get(ClubRecord::NationId), 2);
        QCOMPARE(c.get(ClubRecord::DivisionId), 2);
        QCOMPARE(c.get(ClubRecord::ReserveStadiumId), 3);
        QCOMPARE(c.get(ClubRecord::ThirdBackColourId), 4);
        QCOMPARE(c.id(ClubRecord::RivalClubs, 2), -2);
        QCOMPARE(c.id(ClubRecord::FavouriteStaff, 0), -1);
        QCOMPARE(c.id(ClubRecord::PlayerIds, 49), -1);
        QCOMPARE(c.get(ClubRecord::Reserved55), 0);
        QVERIFY(std::equal(last.bytes.begin() + 475, last.bytes.end(), c.bytes.begin() + 475));
    }
    // Appended to the page's list and the picker's; nothing selected, the
    // club shown before stays shown.
    QCOMPARE(w.texts("ListBoxClubs").mid(4), (QStringList{"<new club>", "<new club>"}));
    QCOMPARE(w.model("ListBoxClubs")->recordAt(5), 5);
    QCOMPARE(selectedRow(w.list("ListBoxClubs")), -1);
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Lakeside United"));
    QListView* pickerList = w.picker->findChild<QListView*>(QStringLiteral("ListBoxClubs"));
    QCOMPARE(clubtest::texts(pickerList).last(), QStringLiteral("<new club>"));
    QCOMPARE(recordModel(pickerList)->recordAt(5), 5);
    if (auto* transferList = w.ctx.transferForm->findChild<QListView*>(QStringLiteral("ListBoxClubs")))
        QCOMPARE(clubtest::texts(transferList).size(), 6);

    for (const char* text : {"new club", "NEW CLUB", "New Club"}) {
        w.edit("ClubSearch")->setText(QString::fromLatin1(text));
        w.page->Button2Click();
        QCOMPARE(w.texts("ListBoxClubs"), (QStringList{"<new club>", "<new club>"}));
    }
    QVERIFY(w.messages.shown.empty());
}

void ClubPageTest::addedClubShowsTheExtraEntries()
{
    World w;
    w.page->addClub();
    w.selectClub(4);
    for (const char* c :
         {"ClubNation", "ClubDivision", "ClubLastDivision", "ClubResDivision", "ClubFg1", "ClubBg1",
          "ClubFg2", "ClubBg2", "ClubFg3", "ClubBg3", "ClubStadium1", "Stadium1City", "Stadium2City"})
        QCOMPARE(w.combo(c)->currentText(), QStringLiteral("<unknown>"));
    QCOMPARE(w.combo("ClubStadium2")->currentText(), QStringLiteral("<none>"));
    for (const char* l : {"ClubRivalClubs", "ClubFavStaff", "ClubDisStaff"})
        QCOMPARE(w.texts(l), (QStringList{"<none>", "<none>", "<none>"}));
    QCOMPARE(w.model("ClubStaff")->size(), 0);

    // An empty club table gives a new club with a zero tail.
    db::Database d = db::Database::withEmptyIndex();
    World empty(d);
    empty.page->addClub();
    QCOMPARE(empty.ctx.db.clubs.size(), std::size_t(1));
    QCOMPARE(empty.ctx.db.clubs[0].get(ClubRecord::NationId), 0);
    QCOMPARE(empty.ctx.db.clubs[0].bytes[500], std::uint8_t(0));
}

void ClubPageTest::doubleClickOnAPlayerJumpsToTheStaffTab()
{
    World w;
    w.selectClub(0);
    QListView* players = w.list("ClubPlayers");
    w.tabs.setCurrentIndex(2);
    w.tabs.setCurrentWidget(w.page);
    w.get<QPushButton>("ClubStaffButton")->click();
    const QRect second = players->visualRect(players->model()->index(1, 0));
    QTest::mouseClick(players->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(players->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(w.tabs.currentWidget(), static_cast<QWidget*>(w.ctx.staffPage));
    auto* staffList =
        static_cast<QWidget*>(w.ctx.staffPage)->findChild<QListView*>(QStringLiteral("ListBoxStaff"));
    QVERIFY(staffList);
    QCOMPARE(clubtest::texts(staffList), QStringList{"Paul Reed"});
    QCOMPARE(recordModel(staffList)->recordAt(0), 5);
    QCOMPARE(selectedRow(staffList), 0);

    w.tabs.setCurrentWidget(w.page);
    selectRow(w.list("ClubStaff"), 3);
    w.page->ClubStaffDblClick();
    QCOMPARE(clubtest::texts(staffList), QStringList{"Ann Smith"});
}

void ClubPageTest::doubleClicksWithNothingSelectedDoNothing()
{
    World w;
    const auto before = w.snapshot();
    // No club shown: every list is empty.
    for (const char* l : {"ClubPlayers", "ClubStaff"})
        QTest::mouseDClick(w.list(l)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(w.tabs.currentWidget(), w.page);
    // A club shown, no line selected in its lists.
    w.selectClub(0);
    w.page->ClubPlayersDblClick();
    w.page->ClubStaffDblClick();
    QCOMPARE(w.tabs.currentWidget(), w.page);
    // Reset drops the club selection: no button writes anything now.
    QTest::mouseClick(w.get<QPushButton>("Button3"), Qt::LeftButton);
    for (QPushButton* b : w.page->findChildren<QPushButton*>()) b->click();
    for (const char* l :
         {"ClubRivalClubs", "ClubFavStaff", "ClubDisStaff", "ClubPlayers", "ClubStaff", "ListBoxClubs"})
        QTest::mouseDClick(w.list(l)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    w.picker->hide();
    QVERIFY(w.snapshot() == before);
}

void ClubPageTest::goToClubSelectsAndShowsTheClub()
{
    World w;
    w.tabs.setCurrentIndex(2);
    w.edit("ClubSearch")->setText(QStringLiteral("xyz"));
    w.page->Button2Click();
    w.page->goToClub(2);
    QCOMPARE(w.tabs.currentWidget(), w.page);
    QVERIFY(w.edit("ClubSearch")->text().isEmpty());
    QCOMPARE(w.model("ListBoxClubs")->size(), 4);
    QCOMPARE(selectedRow(w.list("ListBoxClubs")), 2);
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Marrow Rovers"));

    // An identifier that names no club changes nothing.
    w.tabs.setCurrentIndex(2);
    for (int bad : {-2, -1, 4, 2000000000}) w.page->goToClub(bad);
    QCOMPARE(w.tabs.currentIndex(), 2);
    QCOMPARE(w.edit("ClubLongName")->text(), QStringLiteral("Marrow Rovers"));
}

QTEST_MAIN(ClubPageTest)
#include "ClubPageTest.moc"

// Search, reset, the names dialog, the pickers, Go To Club and Transfer Player.

#include <QTabWidget>
#include <QtTest>

#include "StaffFixture.h"
#include "kit/RecordListModel.h"
#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "staff/NamesForm.h"
#include "staff/StaffPage.h"

class StaffCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void searchMatchesDisplayNamesInTableOrder();
    void showStaffPutsOnePersonIntoTheList();
    void newSecondNameIsAppendedAndSelected();
    void namesDialogCancelAndEmptyNameChangeNothing();
    void namesDialogMirrorsTheNation();
    void preferenceDoubleClicksAimThePickers();
    void goToClubJumpsOrWarns();
    void transferPlayerPreparesTheDialog();
    void commandsWithNobodySelectedDoNothing();
};

void StaffCommandsTest::searchMatchesDisplayNamesInTableOrder()
{
    StaffFixture f;
    QListView* found = f.list("ListBoxStaff");
    f.edit("StaffSearch")->setText(QStringLiteral("son"));
    f.page->Button7Click();
    QCOMPARE(rows(found), QStringList({"Finn Johnson", "Carl Larsson", "Dirk SONNY"}));
    QCOMPARE(recordModel(found)->recordAt(2), people::Both);
    QVERIFY(!QApplication::overrideCursor());

    f.edit("StaffSearch")->setText(QString());
    f.page->Button7Click();
    QCOMPARE(found->model()->rowCount(), 0);

    // Common names are not searched; empty display names never match.
    f.edit("StaffSearch")->setText(QStringLiteral("Pele"));
    f.page->Button7Click();
    QCOMPARE(found->model()->rowCount(), 0);

    f.edit("StaffSearch")->setText(QStringLiteral("smith"));
    f.page->Button7Click();
    QCOMPARE(rows(found), QStringList({"Alan Smith", "Gus Smith"}));
    f.page->Button8Click();
    QVERIFY(f.edit("StaffSearch")->text().isEmpty());
    QCOMPARE(found->model()->rowCount(), 0);
}

void StaffCommandsTest::showStaffPutsOnePersonIntoTheList()
{
    StaffFixture f;
    QTabWidget tabs;
    auto* club = new QWidget;
    tabs.addTab(club, QStringLiteral("Clubs"));
    tabs.addTab(f.page.get(), QStringLiteral("Staff"));
    tabs.setCurrentIndex(0);
    f.edit("StaffSearch")->setText(QStringLiteral("x"));
    f.page->showStaff(people::Both, QStringLiteral("GK: Dirk SONNY"));
    QCOMPARE(rows(f.list("ListBoxStaff")), QStringList({"GK: Dirk SONNY"}));
    QVERIFY(f.edit("StaffSearch")->text().isEmpty());
    QCOMPARE(f.page->selectedStaffId(), people::Both);
    QCOMPARE(f.combo("StaffFirstName")->currentText(), QStringLiteral("Dirk"));
    QCOMPARE(tabs.currentIndex(), 1);

    f.page->showStaff(people::NonPlayer);
    QCOMPARE(rows(f.list("ListBoxStaff")), QStringList({"Alan Smith"}));

    // An identifier that names nobody leaves an empty list and no person.
    f.page->showStaff(2000000000);
    QCOMPARE(f.list("ListBoxStaff")->model()->rowCount(), 0);
    QCOMPARE(f.page->selectedStaffId(), -1);
    tabs.removeTab(1);
    f.page->setParent(nullptr);
}

void StaffCommandsTest::newSecondNameIsAppendedAndSelected()
{
    StaffFixture f;
    f.show(people::Player);
    f.page->Button5Click();
    QVERIFY(f.names->isVisible());
    QCOMPARE(f.names->kind(), 1);
    f.names->findChild<QLineEdit*>(QStringLiteral("Name"))
        ->setText(QStringLiteral("Ödegaard-Verylongname-padding-to-go-beyond-51-characters"));
    const auto before = f.ctx.db.entry(db::Entry::SecondNames).get(db::IndexEntry::RecordCount);
    f.names->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    QVERIFY(!f.names->isVisible());
    QCOMPARE(f.ctx.db.entry(db::Entry::SecondNames).get(db::IndexEntry::RecordCount), before + 1);
    QCOMPARE(f.ctx.db.secondNames.size(), std::size_t(6));
    const db::NameRecord& added = f.ctx.db.secondNames[5];
    QCOMPARE(added.get(db::NameRecord::NameId), 5);
    QCOMPARE(added.get(db::NameRecord::UsageCount), 0);
    QCOMPARE(added.text(db::NameRecord::Name).size(), std::size_t(51));
    QCOMPARE(static_cast<unsigned char>(added.text(db::NameRecord::Name)[0]), 0xD6u);  // Windows-1252 Ö
    QComboBox* second = f.combo("StaffSecondName");
    QCOMPARE(second->count(), 6);
    QCOMPARE(second->currentIndex(), 5);
    QVERIFY(second->currentText().startsWith(QStringLiteral("Ödegaard")));

    // The person changes only when Confirm Changes runs.
    QCOMPARE(f.ctx.db.staff[people::Player].get(db::StaffRecord::SecondNameId), 1);
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.staff[people::Player].get(db::StaffRecord::SecondNameId), 5);
    QCOMPARE(f.ctx.db.secondNames[5].get(db::NameRecord::UsageCount), 1);
    QCOMPARE(f.ctx.db.secondNames[1].get(db::NameRecord::UsageCount), 2);
}

void StaffCommandsTest::namesDialogCancelAndEmptyNameChangeNothing()
{
    StaffFixture f;
    f.show(people::Player);
    const std::string before = f.snapshot();
    auto* name = f.names->findChild<QLineEdit*>(QStringLiteral("Name"));
    for (int kind = 0; kind < 3; ++kind) {
        f.names->open(kind);
        name->setText(QStringLiteral("Someone"));
        f.names->findChild<QPushButton*>(QStringLiteral("Button2"))->click();
        QVERIFY(!f.names->isVisible());
        QCOMPARE(f.snapshot(), before);
        // The box keeps its text for the next opening.
        f.names->open(kind);
        QCOMPARE(name->text(), QStringLiteral("Someone"));
        for (const char* text : {"", "   "}) {
            name->setText(QString::fromLatin1(text));
            f.names->Button1Click();
            QVERIFY(f.names->isVisible());
            QCOMPARE(f.snapshot(), before);
        }
        f.names->Button2Click();
    }
    QCOMPARE(f.combo("StaffFirstName")->count(), 10);
    QCOMPARE(f.combo("StaffCommonName")->count(), 2);
}

void StaffCommandsTest::namesDialogMirrorsTheNation()
{
    StaffFixture f;
    auto* nation = f.names->findChild<QComboBox*>(QStringLiteral("Nation"));
    QCOMPARE(nation->count(), 3);  // no extra entry
    f.show(people::Both);          // England
    f.page->Button4Click();
    QCOMPARE(f.names->kind(), 0);
    QCOMPARE(nation->currentIndex(), 0);
    f.names->Button2Click();
    f.combo("StaffNation")->setCurrentIndex(2);
    f.page->Button10Click();
    QCOMPARE(f.names->kind(), 2);
    QCOMPARE(nation->currentIndex(), 2);
    f.names->Button2Click();
    f.show(people::Player);  // "<unknown>"
    f.page->Button4Click();
    QCOMPARE(nation->currentIndex(), -1);

    // A common name lands in its own table, list and index entry.
    f.names->findChild<QLineEdit*>(QStringLiteral("Name"))->setText(QStringLiteral("Zico"));
    f.names->Button1Click();
    QCOMPARE(f.ctx.db.firstNames.size(), std::size_t(11));
    QCOMPARE(f.ctx.db.entry(db::Entry::FirstNames).get(db::IndexEntry::RecordCount), 11);
    QCOMPARE(f.combo("StaffFirstName")->currentText(), QStringLiteral("Zico"));
    QCOMPARE(f.ctx.db.entry(db::Entry::CommonNames).get(db::IndexEntry::RecordCount), 2);
}

void StaffCommandsTest::preferenceDoubleClicksAimThePickers()
{
    StaffFixture f;
    f.show(people::Player);
    f.page->StaffFavStaffClick();
    QCOMPARE(f.findStaff->PickTarget, 2);
    f.page->StaffDisStaffClick();
    QCOMPARE(f.findStaff->PickTarget, 3);
    f.page->StaffFavClubsClick();
    QCOMPARE(f.findClub->PickTarget, 1);
    f.page->StaffDisClubsClick();
    QCOMPARE(f.findClub->PickTarget, 2);
}

void StaffCommandsTest::goToClubJumpsOrWarns()
{
    StaffFixture f;
    f.show(people::Youth);  // club -2
    f.page->Button11Click();
    QCOMPARE(f.messages.texts(), QStringList({"Player has no club!"}));
    QCOMPARE(f.messages.shown[0].kind, MessageSink::Kind::Warning);

    f.messages.clear();
    for (int id : {people::BrokenPlayer, people::Hostile}) {  // -1 and 2,000,000,000
        f.show(id);
        f.page->Button11Click();
        QVERIFY(f.messages.shown.empty());
    }

    f.show(people::NonPlayer);  // club 1
    f.page->Button11Click();
    QVERIFY(f.messages.shown.empty());
    auto* clubs = f.clubPage->findChild<QListView*>(QStringLiteral("ListBoxClubs"));
    if (!clubs || !clubs->model() || clubs->model()->rowCount() == 0)
        QSKIP("the club page does not list clubs yet");
    QCOMPARE(selectedRow(clubs), 1);
}

void StaffCommandsTest::transferPlayerPreparesTheDialog()
{
    StaffFixture f;
    f.show(people::Player);  // classification 2, JobForClub 17 (shown as entry 0)
    f.page->Button9Click();
    auto* job = f.transfer->findChild<QComboBox*>(QStringLiteral("JobForClub"));
    if (!job) QSKIP("the transfer dialog has no JobForClub yet");
    QVERIFY(f.transfer->isVisible());
    QVERIFY(!job->isEnabled());
    QCOMPARE(job->currentIndex(), 0);
    auto* name = f.transfer->findChild<QLineEdit*>(QStringLiteral("StaffName"));
    if (name) QCOMPARE(name->text(), QStringLiteral("Finn Johnson"));
    auto* from = f.transfer->findChild<QLineEdit*>(QStringLiteral("FromClub"));
    if (from) QCOMPARE(from->text(), QStringLiteral("Alpha FC"));

    f.show(people::NonPlayer);  // classification 1, Manager
    f.page->Button9Click();
    QVERIFY(job->isEnabled());
    QCOMPARE(job->currentIndex(), 5);
}

void StaffCommandsTest::commandsWithNobodySelectedDoNothing()
{
    StaffFixture f;
    f.show(people::Player);
    f.page->Button8Click();  // the list is empty, the controls still show him
    QCOMPARE(f.page->selectedStaffId(), -1);
    const std::string before = f.snapshot();
    f.findStaff->PickTarget = -9;
    f.findClub->PickTarget = -9;
    f.edit("StaffCaps")->setText(QStringLiteral("99"));
    f.page->Button6Click();
    f.page->Button9Click();
    f.page->Button11Click();
    f.page->StaffFavStaffClick();
    f.page->StaffDisStaffClick();
    f.page->StaffFavClubsClick();
    f.page->StaffDisClubsClick();
    f.page->ListBoxStaffClick();
    QCOMPARE(f.snapshot(), before);
    QVERIFY(f.messages.shown.empty());
    QVERIFY(!f.transfer->isVisible());
    QVERIFY(!f.findStaff->isVisible());
    QVERIFY(!f.findClub->isVisible());
    QCOMPARE(f.findStaff->PickTarget, -9);
    QCOMPARE(f.findClub->PickTarget, -9);
    QCOMPARE(f.edit("StaffCaps")->text(), QStringLiteral("99"));
}

QTEST_MAIN(StaffCommandsTest)
#include "StaffCommandsTest.moc"

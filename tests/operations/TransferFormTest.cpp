#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "OperationsFixture.h"
#include "kit/RecordListModel.h"
#include "db/editing/Transfer.h"
#include "operations/TransferForm.h"

using Kind = MessageSink::Kind;

namespace {

template <typename W>
W* child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w) qFatal("no control %s", name);
    return w;
}

// Chooses the club `clubId` in ListBoxClubs as the user's click would.
void chooseClub(TransferForm& form, int clubId)
{
    auto* list = child<QListView>(&form, "ListBoxClubs");
    const std::vector<int> records = rowRecords(list);
    const auto it = std::find(records.begin(), records.end(), clubId);
    QVERIFY(it != records.end());
    selectRow(list, static_cast<int>(it - records.begin()));
}

}  // namespace

class TransferFormTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAndState();
    void freeTransferShowsTwoMessages();
    void transferFromNoClubIsSilent();
    void failedPlacementShowsErrorAndChangesNothing();
    void jobWarningOnlyForTheUsersChoice();
    void okBeforeAnyDestinationDoesNothing();
    void searchResetAndAddedClubs();
    void destinationSurvivesReopening();
    void hostileInputs();
};

void TransferFormTest::controlsAndState()
{
    OpsWorld w;
    TransferForm form(w.ctx);
    QCOMPARE(form.windowTitle(), QStringLiteral("Transfer Staff"));
    QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!form.isModal());
    QCOMPARE(form.TransferStaffId, 0);
    QCOMPARE(form.FromClubId, 0);
    QCOMPARE(form.ToClubId, 0);
    auto* job = child<QComboBox>(&form, "JobForClub");
    QCOMPARE(job->count(), 17);
    QCOMPARE(job->itemText(15), QStringLiteral("Player Coach"));
    QCOMPARE(child<QPushButton>(&form, "Button4")->text(), QStringLiteral("Free Transfer"));
    QCOMPARE(child<QPushButton>(&form, "Button6")->text(), QStringLiteral("OK"));
    QVERIFY(child<QLineEdit>(&form, "StaffName")->isReadOnly());
    QVERIFY(child<QLineEdit>(&form, "FromClub")->isReadOnly());
    QVERIFY(child<QLineEdit>(&form, "ToClub")->isReadOnly());

    form.fillLists();
    QCOMPARE(rowTexts(child<QListView>(&form, "ListBoxClubs")),
             (QStringList{"Arsenal", "Barnet", "Chelsea"}));

    w.employ(3, 2, 5);
    form.open(3, QStringLiteral("Dan Brown"), 2, 5, true);
    QVERIFY(form.isVisible());
    QCOMPARE(form.TransferStaffId, 3);
    QCOMPARE(form.FromClubId, 2);
    QCOMPARE(child<QLineEdit>(&form, "StaffName")->text(), QStringLiteral("Dan Brown"));
    QCOMPARE(child<QLineEdit>(&form, "FromClub")->text(), QStringLiteral("Chelsea"));
    QCOMPARE(job->currentIndex(), 5);
    QVERIFY(job->isEnabled());
    form.open(1, QStringLiteral("Bob Jones"), -2, 11, false);
    QCOMPARE(child<QLineEdit>(&form, "FromClub")->text(), QStringLiteral("<none>"));
    QVERIFY(!job->isEnabled());
    QVERIFY(w.messages.shown.empty());
}

void TransferFormTest::freeTransferShowsTwoMessages()
{
    OpsWorld w;
    w.employ(0, 1, 1);
    w.club(1).set(db::ClubRecord::ChairmanId, 4);  // the seat is cleared whoever holds it
    TransferForm form(w.ctx);
    form.fillLists();
    form.open(0, QStringLiteral("Alan Smith"), 1, 1, true);
    form.Button4Click();
    QCOMPARE(form.ToClubId, db::kNoClub);
    QCOMPARE(child<QLineEdit>(&form, "ToClub")->text(), QStringLiteral("<none>"));
    QVERIFY(form.isVisible());  // Free Transfer only chooses
    form.Button6Click();
    QCOMPARE(w.messages.texts(), (QStringList{"Staff is now on free transfer!", "Transfer was successful"}));
    QCOMPARE(w.messages.shown[0].kind, Kind::Information);
    QCOMPARE(w.messages.shown[1].kind, Kind::Information);
    QVERIFY(!form.isVisible());
    QCOMPARE(w.person(0).get(db::StaffRecord::ClubContractedId), db::kNoClub);
    QCOMPARE(w.club(1).get(db::ClubRecord::ChairmanId), db::kFreeSlot);
}

void TransferFormTest::transferFromNoClubIsSilent()
{
    OpsWorld w;
    TransferForm form(w.ctx);
    form.fillLists();
    form.open(2, QStringLiteral("Carl Smithers"), -2, 8, true);
    chooseClub(form, 2);
    QCOMPARE(form.ToClubId, 2);
    QCOMPARE(child<QLineEdit>(&form, "ToClub")->text(), QStringLiteral("Chelsea"));
    form.Button6Click();
    QVERIFY(w.messages.shown.empty());
    QVERIFY(!form.isVisible());
    QCOMPARE(w.person(2).get(db::StaffRecord::ClubContractedId), 2);
    QCOMPARE(w.person(2).get(db::StaffRecord::JobForClub), 8);
    QCOMPARE(w.club(2).id(db::ClubRecord::CoachIds, 0), 2);

    // And on to another club: the old coach slot is freed, with the message.
    form.open(2, QStringLiteral("Carl Smithers"), 2, 8, true);
    chooseClub(form, 0);
    form.Button6Click();
    QCOMPARE(w.messages.texts(), QStringList{"Transfer was successful"});
    QCOMPARE(w.club(2).id(db::ClubRecord::CoachIds, 0), db::kFreeSlot);
    QCOMPARE(w.club(0).id(db::ClubRecord::CoachIds, 0), 2);
}

void TransferFormTest::failedPlacementShowsErrorAndChangesNothing()
{
    OpsWorld w;
    w.employ(1, 0, 5);
    w.club(1).set(db::ClubRecord::ManagerId, -2);
    const auto before = w.snapshot();
    TransferForm form(w.ctx);
    form.fillLists();
    form.open(1, QStringLiteral("Bob Jones"), 0, 5, true);
    chooseClub(form, 1);
    form.Button6Click();
    QCOMPARE(w.messages.texts(), QStringList{"Transfer was NOT successful"});
    QCOMPARE(w.messages.shown[0].kind, Kind::Error);
    QVERIFY(!form.isVisible());
    QVERIFY(w.snapshot() == before);

    // "<none>" towards a club fails too; as a free transfer it is stored.
    w.messages.clear();
    form.open(1, QStringLiteral("Bob Jones"), 0, 0, true);
    chooseClub(form, 2);
    form.Button6Click();
    QCOMPARE(w.messages.texts(), QStringList{"Transfer was NOT successful"});
    QVERIFY(w.snapshot() == before);
    form.open(1, QStringLiteral("Bob Jones"), 0, 0, true);
    form.Button4Click();
    form.Button6Click();
    QCOMPARE(w.person(1).get(db::StaffRecord::JobForClub), 0);
    QCOMPARE(w.club(0).get(db::ClubRecord::ManagerId), db::kFreeSlot);
}

void TransferFormTest::jobWarningOnlyForTheUsersChoice()
{
    OpsWorld w;
    TransferForm form(w.ctx);
    auto* job = child<QComboBox>(&form, "JobForClub");
    // Opening with a playing job sets it without a warning.
    form.open(0, QStringLiteral("Alan Smith"), -2, 12, true);
    QCOMPARE(job->currentIndex(), 12);
    QVERIFY(w.messages.shown.empty());

    for (int choice : {11, 15, 16}) {
        w.messages.clear();
        job->setCurrentIndex(choice);
        emit job->activated(choice);
        QCOMPARE(
            w.messages.texts(),
            QStringList{QString::fromUtf8("You can\xC2\xB4t change managing staff to playing staff yet!")});
        QCOMPARE(w.messages.shown[0].kind, Kind::Warning);
        QCOMPARE(job->currentIndex(), 0);
    }
    w.messages.clear();
    for (int choice : {0, 1, 10}) {
        job->setCurrentIndex(choice);
        emit job->activated(choice);
        QCOMPARE(job->currentIndex(), choice);
    }
    QVERIFY(w.messages.shown.empty());
}

void TransferFormTest::okBeforeAnyDestinationDoesNothing()
{
    OpsWorld w;
    w.employ(4, 1, 11);
    const auto before = w.snapshot();
    TransferForm form(w.ctx);
    form.fillLists();
    form.open(4, QStringLiteral("Eric Black"), 1, 11, false);
    QCOMPARE(child<QLineEdit>(&form, "ToClub")->text(), QString());
    form.Button6Click();
    QVERIFY(w.snapshot() == before);  // not moved to club 0
    QCOMPARE(w.messages.shown.size(), std::size_t(1));
    QCOMPARE(w.messages.shown[0].kind, Kind::Warning);
    QVERIFY(form.isVisible());  // left open to choose a destination
}

void TransferFormTest::searchResetAndAddedClubs()
{
    OpsWorld w;
    TransferForm form(w.ctx);
    auto* list = child<QListView>(&form, "ListBoxClubs");
    auto* search = child<QLineEdit>(&form, "ClubSearch");
    search->setText(QString());
    form.Button2Click();
    QCOMPARE(rowTexts(list), QStringList{});
    search->setText(QStringLiteral("gunn"));  // only in the short name, lower case
    form.Button2Click();
    QCOMPARE(rowTexts(list), QStringList{"Arsenal"});
    QCOMPARE(rowRecords(list), std::vector<int>{0});
    search->setText(QStringLiteral("E"));
    form.Button2Click();
    QCOMPARE(rowTexts(list), (QStringList{"Arsenal", "Barnet", "Chelsea"}));  // Bees, Blues count too
    form.Button3Click();
    QCOMPARE(search->text(), QString());
    QCOMPARE(rowTexts(list), (QStringList{"Arsenal", "Barnet", "Chelsea"}));

    db::ClubRecord extra;
    extra.setText(db::ClubRecord::LongName, "Dagenham");
    const int id = w.ctx.db.appendClub(extra);
    form.appendClubEntry(id);
    form.appendClubEntry(id + 1);  // no such club
    form.appendClubEntry(-1);
    QCOMPARE(rowTexts(list), (QStringList{"Arsenal", "Barnet", "Chelsea", "Dagenham"}));
    form.clearLists();
    QCOMPARE(rowTexts(list), QStringList{});
    QVERIFY(w.messages.shown.empty());
}

void TransferFormTest::destinationSurvivesReopening()
{
    OpsWorld w;
    TransferForm form(w.ctx);
    form.fillLists();
    form.open(0, QStringLiteral("Alan Smith"), -2, 9, true);
    chooseClub(form, 1);
    form.Button5Click();  // Cancel: nothing changes
    QVERIFY(!form.isVisible());
    QCOMPARE(w.person(0).get(db::StaffRecord::ClubContractedId), db::kNoClub);
    form.open(3, QStringLiteral("Dan Brown"), -2, 9, true);
    QCOMPARE(form.ToClubId, 1);
    QCOMPARE(child<QLineEdit>(&form, "ToClub")->text(), QStringLiteral("Barnet"));
    form.Button6Click();
    QCOMPARE(w.club(1).id(db::ClubRecord::ScoutIds, 0), 3);
}

void TransferFormTest::hostileInputs()
{
    OpsWorld w;
    const auto before = w.snapshot();
    TransferForm form(w.ctx);
    // Every button with nothing loaded, nothing chosen.
    form.Button2Click();
    form.Button3Click();
    form.ListBoxClubsClick();
    form.Button6Click();
    form.Button5Click();
    QVERIFY(w.snapshot() == before);
    QCOMPARE(w.messages.shown.size(), std::size_t(1));  // only "choose a destination"
    w.messages.clear();

    // A staff id or club id that names nothing.
    form.fillLists();
    for (int staffId : {-1, 5, 1 << 30}) {
        form.open(staffId, QString(), 1 << 29, 99, true);
        QCOMPARE(child<QComboBox>(&form, "JobForClub")->currentIndex(), -1);
        chooseClub(form, 0);
        form.Button6Click();
        form.open(staffId, QString(), 0, 3, true);
        form.Button4Click();
        form.Button6Click();
    }
    QVERIFY(w.snapshot() == before);
    QVERIFY(w.messages.shown.empty());

    // The club list may still show a club that a reload no longer has.
    form.open(0, QStringLiteral("Alan Smith"), -2, 5, true);
    chooseClub(form, 2);
    w.ctx.db.clubs.pop_back();
    form.Button6Click();
    QCOMPARE(w.messages.texts(), QStringList{"Transfer was NOT successful"});
    QCOMPARE(w.person(0).get(db::StaffRecord::ClubContractedId), db::kNoClub);

    // No job shown (a code without a name): the person keeps his job.
    w.messages.clear();
    w.person(1).set(db::StaffRecord::JobForClub, 8);
    form.open(1, QStringLiteral("Bob Jones"), -2, 40, false);
    chooseClub(form, 0);
    form.Button6Click();
    QCOMPARE(w.person(1).get(db::StaffRecord::JobForClub), 8);
    QCOMPARE(w.club(0).id(db::ClubRecord::CoachIds, 0), 1);
}

QTEST_MAIN(TransferFormTest)
#include "TransferFormTest.moc"

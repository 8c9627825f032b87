// Confirm Changes: what reaches the records, and what never does.

#include <QtTest>

#include "StaffFixture.h"
#include "kit/RecordListModel.h"
#include "staff/StaffPage.h"

using db::NameRecord;
using db::StaffRecord;

class StaffConfirmTest : public QObject {
    Q_OBJECT
private slots:
    void confirmingUntouchedControlsKeepsEveryByte();
    void noneReferencesAndOddFormationsAreNormalised();
    void changingAFirstNameMovesUsageCountsAndTheDisplayName();
    void numbersAreParsedAndStoredByTheirLowBits_data();
    void numbersAreParsedAndStoredByTheirLowBits();
    void datesGoBackThroughTheMonthTable();
    void preferenceEntriesAreStoredInListOrder();
    void attributeRecordsFollowTheStoredClassification();
    void brokenLinksWriteTheGeneralRecordOnly();
};

void StaffConfirmTest::confirmingUntouchedControlsKeepsEveryByte()
{
    // Persons whose stored values are all within what the page shows.
    StaffFixture f;
    for (int id : {people::Both, people::Youth}) {
        f.show(id);
        const std::string before = f.snapshot();
        f.page->Button6Click();
        QCOMPARE(f.snapshot(), before);
    }
}

void StaffConfirmTest::noneReferencesAndOddFormationsAreNormalised()
{
    StaffFixture f;
    f.show(people::NonPlayer);  // SecondNationId -1, Formation 10, preference slots -2
    StaffRecord expected = f.ctx.db.staff[people::NonPlayer];
    db::NonPlayerRecord expectedNp = f.ctx.db.nonPlayers[0];
    f.page->Button6Click();
    expected.set(StaffRecord::SecondNationId, -2);
    expectedNp.set(db::NonPlayerRecord::Formation, 0);
    QCOMPARE(f.ctx.db.staff[people::NonPlayer].bytes, expected.bytes);
    QCOMPARE(f.ctx.db.nonPlayers[0].bytes, expectedNp.bytes);

    // The player's nation -2, second nation 99, club id 3 and staff id -1
    // all become -2; nothing else moves.
    f.show(people::Player);
    expected = f.ctx.db.staff[people::Player];
    const auto player = f.ctx.db.players[0].bytes;
    f.page->Button6Click();
    expected.set(StaffRecord::SecondNationId, -2);
    expected.setId(StaffRecord::FavouriteClubs, 1, -2);
    expected.setId(StaffRecord::FavouriteClubs, 2, -2);
    expected.setId(StaffRecord::FavouriteStaff, 1, -2);
    expected.setId(StaffRecord::DislikedStaff, 1, -2);
    QCOMPARE(f.ctx.db.staff[people::Player].bytes, expected.bytes);
    QCOMPARE(f.ctx.db.players[0].bytes, player);

    // "<unknown>" chosen by hand is stored as -2 and shown again.
    f.show(people::Both);
    f.combo("StaffNation")->setCurrentIndex(3);
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.staff[people::Both].get(StaffRecord::NationId), -2);
    f.page->ListBoxStaffClick();
    QCOMPARE(f.combo("StaffNation")->currentText(), QStringLiteral("<unknown>"));
}

void StaffConfirmTest::changingAFirstNameMovesUsageCountsAndTheDisplayName()
{
    StaffFixture f;
    f.edit("StaffSearch")->setText(QStringLiteral("finn"));
    f.page->Button7Click();
    QListView* found = f.list("ListBoxStaff");
    QCOMPARE(found->model()->rowCount(), 1);
    selectRow(found, 0);
    f.page->ListBoxStaffClick();

    f.combo("StaffFirstName")->setCurrentIndex(9);  // Finn (5) to Jens (9)
    f.page->Button6Click();
    const auto& first = f.ctx.db.firstNames;
    QCOMPARE(f.ctx.db.staff[people::Player].get(StaffRecord::FirstNameId), 9);
    QCOMPARE(first[9].get(NameRecord::UsageCount), 8);
    QCOMPARE(first[5].get(NameRecord::UsageCount), 255);  // 0 - 1 wraps
    QCOMPARE(first[0].get(NameRecord::UsageCount), 3);
    QCOMPARE(f.ctx.db.staff[people::Player].displayName, std::string("Jens Johnson"));
    // The list keeps the text it had until it is filled again.
    QCOMPARE(found->model()->index(0, 0).data().toString(), QStringLiteral("Finn Johnson"));

    f.edit("StaffSearch")->setText(QStringLiteral("JENS"));
    f.page->Button7Click();
    QCOMPARE(found->model()->rowCount(), 1);
    QCOMPARE(found->model()->index(0, 0).data().toString(), QStringLiteral("Jens Johnson"));

    // Confirming again touches no count.
    selectRow(found, 0);
    f.page->Button6Click();
    QCOMPARE(first[9].get(NameRecord::UsageCount), 8);
    QCOMPARE(first[5].get(NameRecord::UsageCount), 255);
}

void StaffConfirmTest::numbersAreParsedAndStoredByTheirLowBits_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("stored");
    QTest::newRow("12abc") << "StaffCaps"
                           << "12abc" << qint64(12);
    QTest::newRow("-3x") << "StaffCaps"
                         << "-3x" << qint64(3);
    QTest::newRow("-3") << "StaffCaps"
                        << "-3" << qint64(253);
    QTest::newRow("$1F") << "StaffCaps"
                         << "$1F" << qint64(31);
    QTest::newRow("empty") << "StaffCaps"
                           << "" << qint64(0);
    QTest::newRow("300 in a byte") << "StaffGoals"
                                   << "300" << qint64(44);
    QTest::newRow("spaces, 0x") << "StaffAda"
                                << "   0x10" << qint64(16);
    QTest::newRow("wage -1") << "StaffWage"
                             << "-1" << qint64(-1);
    QTest::newRow("value hex") << "StaffValue"
                               << "$FFFFFFFF" << qint64(-1);
}

void StaffConfirmTest::numbersAreParsedAndStoredByTheirLowBits()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(qint64, stored);
    StaffFixture f;
    f.show(people::Both);
    f.edit(control.toLatin1().constData())->setText(text);
    f.page->Button6Click();
    const StaffRecord& s = f.ctx.db.staff[people::Both];
    const db::NumField field = control == "StaffCaps"    ? db::NumField(StaffRecord::InternationalCaps)
                               : control == "StaffGoals" ? db::NumField(StaffRecord::InternationalGoals)
                               : control == "StaffAda"   ? db::NumField(StaffRecord::Adaptability)
                               : control == "StaffWage"  ? db::NumField(StaffRecord::Wage)
                                                         : db::NumField(StaffRecord::Value);
    QCOMPARE(s.number(field), stored);

    // Attribute records take the same rule: 16-bit and byte fields.
    f.edit("StaffPPot")->setText(QStringLiteral("70000"));
    f.edit("StaffNPTac")->setText(QStringLiteral("-1"));
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.players[1].get(db::PlayerRecord::PotentialAbility), std::int16_t(70000 - 65536));
    QCOMPARE(f.ctx.db.nonPlayers[1].get(db::NonPlayerRecord::Tactics), 255);
}

void StaffConfirmTest::datesGoBackThroughTheMonthTable()
{
    StaffFixture f;
    f.show(people::Both);
    const auto reserved = f.ctx.db.staff[people::Both].get(db::I32Field{20});
    f.edit("StaffDOBDay")->setText(QStringLiteral("31"));
    f.edit("StaffDOBMonth")->setText(QStringLiteral("2"));
    f.edit("StaffDOBYear")->setText(QStringLiteral("70000"));
    f.edit("StaffClubEndDay")->setText(QStringLiteral("0"));
    f.edit("StaffClubEndMonth")->setText(QStringLiteral("1"));
    f.edit("StaffNatEndDay")->setText(QStringLiteral("1"));
    f.edit("StaffNatEndMonth")->setText(QStringLiteral("13"));
    f.page->Button6Click();
    const StaffRecord& s = f.ctx.db.staff[people::Both];
    QCOMPARE(s.get(StaffRecord::DateOfBirth.dayOfYear()), 61);
    QCOMPARE(s.get(StaffRecord::DateOfBirth.year()), std::int16_t(70000 - 65536));
    QCOMPARE(s.get(StaffRecord::ClubContractEnd.dayOfYear()), 65535);
    QCOMPARE(s.get(StaffRecord::NationContractEnd.dayOfYear()), 365);
    QCOMPARE(s.get(db::I32Field{20}), reserved);  // the date's reserved half
    f.page->ListBoxStaffClick();
    QCOMPARE(f.edit("StaffDOBDay")->text(), QStringLiteral("31"));
    QCOMPARE(f.edit("StaffDOBMonth")->text(), QStringLiteral("2"));
    QCOMPARE(f.edit("StaffClubEndDay")->text(), QStringLiteral("0"));
}

void StaffConfirmTest::preferenceEntriesAreStoredInListOrder()
{
    StaffFixture f;
    f.show(people::Player);
    // What a picker does: drop the selected entry, append the pick at the end.
    RecordListModel* fav = recordModel(f.list("StaffFavStaff"));
    fav->removeAt(0);
    fav->append(QStringLiteral("Emil Brown"), people::BrokenPlayer);
    RecordListModel* clubs = recordModel(f.list("StaffDisClubs"));
    clubs->removeAt(1);
    clubs->append(QStringLiteral("Alpha FC"), 0);
    f.page->Button6Click();
    const StaffRecord& s = f.ctx.db.staff[people::Player];
    QCOMPARE(s.id(StaffRecord::FavouriteStaff, 0), -2);
    QCOMPARE(s.id(StaffRecord::FavouriteStaff, 1), people::Both);
    QCOMPARE(s.id(StaffRecord::FavouriteStaff, 2), people::BrokenPlayer);
    QCOMPARE(s.id(StaffRecord::DislikedClubs, 0), -2);
    QCOMPARE(s.id(StaffRecord::DislikedClubs, 1), -2);
    QCOMPARE(s.id(StaffRecord::DislikedClubs, 2), 0);

    // A list that lost an entry stores "<none>" for the missing slot.
    recordModel(f.list("StaffFavClubs"))->removeAt(0);
    f.page->Button6Click();
    QCOMPARE(s.id(StaffRecord::FavouriteClubs, 0), -2);
    QCOMPARE(s.id(StaffRecord::FavouriteClubs, 2), -2);
}

void StaffConfirmTest::attributeRecordsFollowTheStoredClassification()
{
    StaffFixture f;
    // A classification-4 person after a player: "Playing" still shows the
    // player's values, and neither record is written, whatever is typed.
    f.show(people::Player);
    f.show(people::Youth);
    const auto players = f.ctx.db.players;
    const auto nonPlayers = f.ctx.db.nonPlayers;
    f.edit("StaffPPac")->setText(QStringLiteral("1"));
    f.edit("StaffNPTac")->setText(QStringLiteral("1"));
    f.edit("StaffCaps")->setText(QStringLiteral("9"));
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.staff[people::Youth].get(StaffRecord::InternationalCaps), 9);
    for (std::size_t i = 0; i < players.size(); ++i) QCOMPARE(f.ctx.db.players[i].bytes, players[i].bytes);
    for (std::size_t i = 0; i < nonPlayers.size(); ++i)
        QCOMPARE(f.ctx.db.nonPlayers[i].bytes, nonPlayers[i].bytes);

    // Classification 3 writes both records, each at its own link.
    f.show(people::Both);
    f.edit("StaffPPac")->setText(QStringLiteral("19"));
    f.edit("StaffPWor")->setText(QStringLiteral("18"));
    f.edit("StaffNPYou")->setText(QStringLiteral("17"));
    f.combo("StaffNPFormation")->setCurrentIndex(9);
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.players[1].get(db::PlayerRecord::Pace), 19);
    QCOMPARE(f.ctx.db.players[1].get(db::PlayerRecord::WorkRate), 18);
    QCOMPARE(f.ctx.db.players[1].get(db::PlayerRecord::Reserved69), 0xAB);
    QCOMPARE(f.ctx.db.nonPlayers[1].get(db::NonPlayerRecord::WorkingWithYoungsters), 17);
    QCOMPARE(f.ctx.db.nonPlayers[1].get(db::NonPlayerRecord::Formation), 9);
    QCOMPARE(f.ctx.db.players[0].bytes, players[0].bytes);
    QCOMPARE(f.ctx.db.nonPlayers[0].bytes, nonPlayers[0].bytes);
}

void StaffConfirmTest::brokenLinksWriteTheGeneralRecordOnly()
{
    StaffFixture f;
    for (int id : {people::BrokenPlayer, people::BrokenNonPlayer}) {
        f.show(id);
        const auto players = f.ctx.db.players;
        const auto nonPlayers = f.ctx.db.nonPlayers;
        f.edit("StaffGoals")->setText(QStringLiteral("7"));
        f.page->Button6Click();
        QCOMPARE(f.ctx.db.staff[static_cast<std::size_t>(id)].get(StaffRecord::InternationalGoals), 7);
        QCOMPARE(f.ctx.db.players.size(), players.size());
        QCOMPARE(f.ctx.db.nonPlayers.size(), nonPlayers.size());
        for (std::size_t i = 0; i < players.size(); ++i)
            QCOMPARE(f.ctx.db.players[i].bytes, players[i].bytes);
        for (std::size_t i = 0; i < nonPlayers.size(); ++i)
            QCOMPARE(f.ctx.db.nonPlayers[i].bytes, nonPlayers[i].bytes);
        QVERIFY(f.messages.shown.empty());
    }
}

QTEST_MAIN(StaffConfirmTest)
#include "StaffConfirmTest.moc"

// Whatever is typed or stored, the Staff tab neither crashes nor writes
// outside the selected person's records.

#include <QtTest>

#include "StaffFixture.h"
#include "kit/RecordListModel.h"
#include "staff/StaffFields.h"
#include "staff/StaffPage.h"

namespace {

std::vector<QLineEdit*> numericEdits(const StaffFixture& f)
{
    std::vector<QLineEdit*> out;
    for (const auto& b : staff::kGeneralNumbers) out.push_back(f.edit(b.control));
    for (const auto& b : staff::kNonPlayerNumbers) out.push_back(f.edit(b.control));
    for (const auto& b : staff::kPlayerNumbers) out.push_back(f.edit(b.control));
    for (const auto& b : staff::kDates)
        for (const char* n : {b.day, b.month, b.year}) out.push_back(f.edit(n));
    return out;
}

template <typename T>
void expectUnchangedExcept(const std::vector<T>& now, const std::vector<T>& before, std::size_t except)
{
    QCOMPARE(now.size(), before.size());
    for (std::size_t i = 0; i < now.size(); ++i)
        if (i != except) QVERIFY2(now[i].bytes == before[i].bytes, qPrintable(QString::number(i)));
}

}  // namespace

class StaffHostileTest : public QObject {
    Q_OBJECT
private slots:
    void hostileTextsInEveryNumericBox_data();
    void hostileTextsInEveryNumericBox();
    void emptyBoxesStoreZeroInEveryBoundField();
    void extraLastEntriesStoreNone();
    void hostileIdentifiersNeverIndexOutside();
    void nameCombosWithoutSelectionOrWithStaleRows();
};

void StaffHostileTest::hostileTextsInEveryNumericBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces") << QStringLiteral("     ");
    QTest::newRow("minus") << QStringLiteral("-");
    QTest::newRow("dollar") << QStringLiteral("$");
    QTest::newRow("0x") << QStringLiteral("0x");
    QTest::newRow("40 digits") << QStringLiteral("9999999999999999999999999999999999999999");
    QTest::newRow("40 hex digits") << QStringLiteral("$FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF");
    QTest::newRow("non-ASCII") << QStringLiteral("\u00c4\u20ac\u0663\U0001F600");
    QTest::newRow("10000 digits") << QString(10000, QLatin1Char('7'));
    QTest::newRow("10000 letters") << QString(10000, QLatin1Char('z'));
    QTest::newRow("sign and prefix") << QStringLiteral("-$10");
}

void StaffHostileTest::hostileTextsInEveryNumericBox()
{
    QFETCH(QString, text);
    StaffFixture f;
    for (int id : {people::Both, people::Player, people::NonPlayer, people::BrokenPlayer, people::Hostile}) {
        f.show(id);
        const auto staff = f.ctx.db.staff;
        const auto players = f.ctx.db.players;
        const auto nonPlayers = f.ctx.db.nonPlayers;
        const auto& s = f.ctx.db.staff[static_cast<std::size_t>(id)];
        const auto playerLink = static_cast<std::size_t>(s.get(db::StaffRecord::PlayerId));
        const auto nonPlayerLink = static_cast<std::size_t>(s.get(db::StaffRecord::NonPlayerId));
        for (QLineEdit* e : numericEdits(f)) e->setText(text);
        f.page->Button6Click();
        expectUnchangedExcept(f.ctx.db.staff, staff, static_cast<std::size_t>(id));
        // Only the person's own attribute records, and only those his
        // classification names, may change.
        const std::uint8_t c = s.get(db::StaffRecord::Classification);
        expectUnchangedExcept(f.ctx.db.players, players,
                              db::Classification::hasPlayer(c) ? playerLink : SIZE_MAX);
        expectUnchangedExcept(f.ctx.db.nonPlayers, nonPlayers,
                              db::Classification::hasNonPlayer(c) ? nonPlayerLink : SIZE_MAX);
        QCOMPARE(s.get(db::StaffRecord::StaffId), id);
        QCOMPARE(f.ctx.db.staff.size(), std::size_t(people::Count));
    }
    QVERIFY(f.messages.shown.empty());
}

void StaffHostileTest::emptyBoxesStoreZeroInEveryBoundField()
{
    // Every box of the binding tables reaches its own field.
    StaffFixture f;
    f.show(people::Both);
    for (QLineEdit* e : numericEdits(f)) e->setText(QStringLiteral("0"));
    f.page->Button6Click();
    const auto& s = f.ctx.db.staff[people::Both];
    const auto& p = f.ctx.db.players[1];
    const auto& n = f.ctx.db.nonPlayers[1];
    for (const auto& b : staff::kGeneralNumbers) QVERIFY2(s.number(b.field) == 0, b.control);
    for (const auto& b : staff::kPlayerNumbers) QVERIFY2(p.number(b.field) == 0, b.control);
    for (const auto& b : staff::kNonPlayerNumbers) QVERIFY2(n.number(b.field) == 0, b.control);
    for (const auto& b : staff::kDates) {
        QCOMPARE(s.get(b.field.dayOfYear()), 65535);  // day 0 of month 0
        QCOMPARE(s.get(b.field.year()), 0);
    }
    // Untouched: identifiers, links, contract fields, reserved bytes.
    QCOMPARE(s.get(db::StaffRecord::PlayerId), 1);
    QCOMPARE(s.get(db::StaffRecord::NonPlayerId), 1);
    QCOMPARE(s.get(db::StaffRecord::Reserved149), 149);
    QCOMPARE(p.get(db::PlayerRecord::PlayerId), 1);
    QCOMPARE(p.get(db::PlayerRecord::Reserved69), 0xAB);
    QCOMPARE(n.id(db::NonPlayerRecord::Reserved35, 7), -1);
}

void StaffHostileTest::extraLastEntriesStoreNone()
{
    StaffFixture f;
    f.show(people::Both);
    f.combo("StaffNation")->setCurrentIndex(f.combo("StaffNation")->count() - 1);
    f.combo("StaffSecondNation")->setCurrentIndex(f.combo("StaffSecondNation")->count() - 1);
    f.combo("StaffNPFormation")->setCurrentIndex(f.combo("StaffNPFormation")->count() - 1);
    f.combo("StaffFirstName")->setCurrentIndex(f.combo("StaffFirstName")->count() - 1);
    f.page->Button6Click();
    const auto& s = f.ctx.db.staff[people::Both];
    QCOMPARE(s.get(db::StaffRecord::NationId), -2);
    QCOMPARE(s.get(db::StaffRecord::SecondNationId), -2);
    QCOMPARE(s.get(db::StaffRecord::FirstNameId), 9);
    QCOMPARE(f.ctx.db.nonPlayers[1].get(db::NonPlayerRecord::Formation), 9);

    // A nation list without its extra entry (its load stopped part way)
    // stores -2 for a nation it cannot show.
    db::Database partial = f.ctx.db;
    partial.clearTables();
    partial.nations = f.ctx.db.nations;
    partial.firstNames = f.ctx.db.firstNames;
    partial.secondNames = f.ctx.db.secondNames;
    partial.commonNames = f.ctx.db.commonNames;
    partial.clubs = f.ctx.db.clubs;
    partial.staff = f.ctx.db.staff;
    partial.players = f.ctx.db.players;
    partial.nonPlayers = f.ctx.db.nonPlayers;
    for (int step = 0; step < static_cast<int>(db::LoadStep::Nations); ++step)
        partial.markStepComplete(static_cast<db::LoadStep>(step));
    f.page->clearLists();
    f.ctx.db = partial;
    f.page->fillLists();
    QCOMPARE(f.combo("StaffNation")->count(), 3);
    f.show(people::Player);  // NationId -2: no entry to select
    QCOMPARE(f.combo("StaffNation")->currentIndex(), -1);
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.staff[people::Player].get(db::StaffRecord::NationId), -2);
    QCOMPARE(f.ctx.db.staff[people::Player].get(db::StaffRecord::SecondNationId), -2);
}

void StaffHostileTest::hostileIdentifiersNeverIndexOutside()
{
    StaffFixture f;
    f.show(people::Hostile);  // names -7, club, nation and slots 2,000,000,000, codes 255
    const std::string before = f.snapshot();
    f.page->Button9Click();
    f.page->Button11Click();
    f.page->StaffFavStaffClick();
    f.page->StaffFavClubsClick();
    QCOMPARE(f.snapshot(), before);
    QVERIFY(f.messages.shown.empty());

    // Confirm: the names stay -7 (nothing was selected), no count moves, the
    // references that named nothing become -2.
    f.page->Button6Click();
    const auto& s = f.ctx.db.staff[people::Hostile];
    QCOMPARE(s.get(db::StaffRecord::FirstNameId), -7);
    QCOMPARE(s.get(db::StaffRecord::CommonNameId), -7);
    QCOMPARE(s.get(db::StaffRecord::NationId), -2);
    QCOMPARE(s.get(db::StaffRecord::ClubContractedId), 2000000000);  // read-only, never written
    QCOMPARE(s.id(db::StaffRecord::FavouriteStaff, 0), -2);
    QVERIFY(s.displayName.empty());
    for (const auto& n : f.ctx.db.firstNames) QVERIFY(n.get(db::NameRecord::UsageCount) != 2);

    // Choosing a name for him raises the new count and touches no record at -7.
    f.combo("StaffFirstName")->setCurrentIndex(1);
    f.combo("StaffSecondName")->setCurrentIndex(4);
    f.page->Button6Click();
    QCOMPARE(s.get(db::StaffRecord::FirstNameId), 1);
    QCOMPARE(f.ctx.db.firstNames[1].get(db::NameRecord::UsageCount), 4);
    QCOMPARE(s.displayName, std::string("Bob Brown"));

    // Links far beyond their tables.
    f.ctx.db.staff[people::Both].set(db::StaffRecord::PlayerId, 2000000000);
    f.ctx.db.staff[people::Both].set(db::StaffRecord::NonPlayerId, -2147483647 - 1);
    f.show(people::Both);
    const auto players = f.ctx.db.players;
    const auto nonPlayers = f.ctx.db.nonPlayers;
    f.page->Button6Click();
    for (std::size_t i = 0; i < players.size(); ++i) QCOMPARE(f.ctx.db.players[i].bytes, players[i].bytes);
    for (std::size_t i = 0; i < nonPlayers.size(); ++i)
        QCOMPARE(f.ctx.db.nonPlayers[i].bytes, nonPlayers[i].bytes);
}

void StaffHostileTest::nameCombosWithoutSelectionOrWithStaleRows()
{
    StaffFixture f;
    f.show(people::Player);
    const auto first = f.ctx.db.firstNames;
    f.combo("StaffFirstName")->setCurrentIndex(-1);
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.staff[people::Player].get(db::StaffRecord::FirstNameId), 5);
    for (std::size_t i = 0; i < first.size(); ++i) QCOMPARE(f.ctx.db.firstNames[i].bytes, first[i].bytes);

    // A row whose record is no longer in the table is ignored, as is a name
    // record whose NameId names nothing.
    recordModel(f.combo("StaffFirstName"))->append(QStringLiteral("ghost"), 4000);
    f.combo("StaffFirstName")->setCurrentIndex(f.combo("StaffFirstName")->count() - 1);
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.staff[people::Player].get(db::StaffRecord::FirstNameId), 5);
    f.ctx.db.firstNames[8].set(db::NameRecord::NameId, -7);
    f.combo("StaffFirstName")->setCurrentIndex(8);
    f.page->Button6Click();
    QCOMPARE(f.ctx.db.staff[people::Player].get(db::StaffRecord::FirstNameId), -7);
    QCOMPARE(f.ctx.db.firstNames[8].get(db::NameRecord::UsageCount), 4);
    QCOMPARE(f.ctx.db.firstNames[5].get(db::NameRecord::UsageCount), 255);
    QVERIFY(f.ctx.db.staff[people::Player].displayName.empty());
}

QTEST_MAIN(StaffHostileTest)
#include "StaffHostileTest.moc"

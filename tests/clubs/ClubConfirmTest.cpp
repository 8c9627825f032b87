// Confirm Changes on the Clubs tab: what each control stores, and that no
// input reaches anything but the selected club and its stadiums.

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "ClubWorld.h"
#include "db/format/Codes.h"

using clubtest::World;
using db::ClubRecord;
using db::StadiumRecord;

namespace {

void confirm(World& w)
{
    QTest::mouseClick(w.get<QPushButton>("Button1"), Qt::LeftButton);
}

// Every byte of the tables except club `club` and stadiums `stadiums`.
std::vector<std::uint8_t> othersOf(const World& w, int club, std::initializer_list<int> stadiums)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < w.ctx.db.clubs.size(); ++i)
        if (static_cast<int>(i) != club)
            out.insert(out.end(), w.ctx.db.clubs[i].bytes.begin(), w.ctx.db.clubs[i].bytes.end());
    for (std::size_t i = 0; i < w.ctx.db.stadiums.size(); ++i)
        if (std::find(stadiums.begin(), stadiums.end(), static_cast<int>(i)) == stadiums.end())
            out.insert(out.end(), w.ctx.db.stadiums[i].bytes.begin(), w.ctx.db.stadiums[i].bytes.end());
    for (const auto& s : w.ctx.db.staff) out.insert(out.end(), s.bytes.begin(), s.bytes.end());
    for (const auto& e : w.ctx.db.index) out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

const char* const kNumericBoxes[] = {
    "ClubCash",         "ClubTraining",    "ClubReputation",   "ClubLastPosition", "ClubAvgAtt",
    "ClubMinAtt",       "ClubMaxAtt",      "Stadium1Capacity", "Stadium1Seating",  "Stadium1Expansion",
    "Stadium2Capacity", "Stadium2Seating", "Stadium2Expansion"};

}  // namespace

class ClubConfirmTest : public QObject {
    Q_OBJECT
private slots:
    void storesEveryControlInItsField();
    void numbersKeepTheLowBitsOfTheirWidth();
    void cashFollowsTheTextToNumberRule_data();
    void cashFollowsTheTextToNumberRule();
    void namesFillTheirFieldWidth();
    void unknownColourStoresMinusTwoInItsFieldOnly();
    void unknownMainStadiumChangesNoStadium();
    void stadiumDetailsAreSharedByEveryClubNamingIt();
    void listEntriesStoreTheirIdentifiers();
    void everyExtraLastEntryStoresMinusTwo();
    void nothingIsWrittenWithoutASelectedClub();
    void hostileNumbersTouchOnlyTheSelectedClub();
};

void ClubConfirmTest::storesEveryControlInItsField()
{
    World w;
    w.selectClub(1);
    const ClubRecord before = w.ctx.db.clubs[1];
    w.edit("ClubLongName")->setText(QStringLiteral("Hillford Athletic"));
    w.edit("ClubShortName")->setText(QStringLiteral("Athletic"));
    w.combo("ClubNation")->setCurrentIndex(1);
    w.combo("ClubProStatus")->setCurrentIndex(3);
    w.edit("ClubCash")->setText(QStringLiteral("1000000"));
    w.edit("ClubTraining")->setText(QStringLiteral("17"));
    w.edit("ClubReputation")->setText(QStringLiteral("9999"));
    w.combo("ClubMatchday")->setCurrentIndex(4);
    w.get<QCheckBox>("ClubPLC")->setChecked(true);
    w.edit("ClubLastPosition")->setText(QStringLiteral("12"));
    w.combo("ClubDivision")->setCurrentIndex(1);
    w.combo("ClubLastDivision")->setCurrentIndex(0);
    w.combo("ClubResDivision")->setCurrentIndex(1);
    w.edit("ClubAvgAtt")->setText(QStringLiteral("5000"));
    w.edit("ClubMinAtt")->setText(QStringLiteral("x10"));
    w.edit("ClubMaxAtt")->setText(QStringLiteral("  9000"));
    const char* colourBoxes[] = {"ClubFg1", "ClubBg1", "ClubFg2", "ClubBg2", "ClubFg3", "ClubBg3"};
    for (int i = 0; i < 6; ++i) w.combo(colourBoxes[i])->setCurrentIndex(3 - i % 4);
    w.get<QCheckBox>("ClubOwnStadium")->setChecked(true);
    w.pick("ClubStadium2", 1);
    w.edit("Stadium2Name")->setText(QStringLiteral("River Park"));
    w.combo("Stadium2City")->setCurrentIndex(2);
    w.edit("Stadium2Capacity")->setText(QStringLiteral("9100"));
    w.edit("Stadium2Seating")->setText(QStringLiteral("9000"));
    w.edit("Stadium2Expansion")->setText(QStringLiteral("100"));
    w.combo("Stadium2Nearby")->setCurrentIndex(0);
    w.get<QCheckBox>("Stadium2Covered")->setChecked(true);
    w.get<QCheckBox>("Stadium2Undersoil")->setChecked(false);
    confirm(w);

    const ClubRecord& c = w.ctx.db.clubs[1];
    QCOMPARE(c.text(ClubRecord::LongName), std::string("Hillford Athletic"));
    QCOMPARE(c.text(ClubRecord::ShortName), std::string("Athletic"));
    QCOMPARE(c.get(ClubRecord::NationId), 1);
    QCOMPARE(c.get(ClubRecord::ProStatus), 3);
    QCOMPARE(c.get(ClubRecord::Cash), 1000000);
    QCOMPARE(c.get(ClubRecord::Training), 17);
    QCOMPARE(c.get(ClubRecord::Reputation), 9999);
    QCOMPARE(c.get(ClubRecord::Matchday), 4);
    QCOMPARE(c.get(ClubRecord::Plc), 255);
    QCOMPARE(c.get(ClubRecord::LastPosition), 12);
    QCOMPARE(c.get(ClubRecord::DivisionId), 1);
    QCOMPARE(c.get(ClubRecord::LastDivisionId), 0);
    QCOMPARE(c.get(ClubRecord::ReserveDivisionId), 1);
    QCOMPARE(c.get(ClubRecord::AverageAttendance), 5000);
    QCOMPARE(c.get(ClubRecord::MinimumAttendance), 16);
    QCOMPARE(c.get(ClubRecord::MaximumAttendance), 9000);
    QCOMPARE(c.get(ClubRecord::HomeForeColourId), 3);
    QCOMPARE(c.get(ClubRecord::HomeBackColourId), 2);
    QCOMPARE(c.get(ClubRecord::AwayForeColourId), 1);
    QCOMPARE(c.get(ClubRecord::AwayBackColourId), 0);
    QCOMPARE(c.get(ClubRecord::ThirdForeColourId), 3);
    QCOMPARE(c.get(ClubRecord::ThirdBackColourId), 2);
    QCOMPARE(c.get(ClubRecord::OwnStadium), 255);
    QCOMPARE(c.get(ClubRecord::StadiumId), 0);
    QCOMPARE(c.get(ClubRecord::ReserveStadiumId), 1);
    const StadiumRecord& s = w.ctx.db.stadiums[1];
    QCOMPARE(s.text(StadiumRecord::StadiumName), std::string("River Park"));
    QCOMPARE(s.get(StadiumRecord::CityId), 2);
    QCOMPARE(s.get(StadiumRecord::Capacity), 9100);
    QCOMPARE(s.get(StadiumRecord::Seating), 9000);
    QCOMPARE(s.get(StadiumRecord::Expansion), 100);
    QCOMPARE(s.get(StadiumRecord::NearbyStadiumId), 0);
    QCOMPARE(s.get(StadiumRecord::Covered), 255);
    QCOMPARE(s.get(StadiumRecord::UndersoilHeating), 0);
    // Never written: the identifier, the reserved bytes and the staff slots.
    QVERIFY(std::equal(before.bytes.begin(), before.bytes.begin() + 4, c.bytes.begin()));
    QCOMPARE(c.get(ClubRecord::Reserved55), 0x55);
    QCOMPARE(c.get(ClubRecord::Reserved82), 0x82);
    QVERIFY(std::equal(before.bytes.begin() + 191, before.bytes.end(), c.bytes.begin() + 191));
    // No redisplay, no message; lists built before keep their old text.
    QCOMPARE(w.texts("ListBoxClubs").at(1), QStringLiteral("Hillford Town"));
    QVERIFY(w.messages.shown.empty());
}

void ClubConfirmTest::numbersKeepTheLowBitsOfTheirWidth()
{
    World w;
    w.selectClub(0);
    w.edit("ClubTraining")->setText(QStringLiteral("300"));
    w.edit("ClubLastPosition")->setText(QStringLiteral("-1"));
    w.edit("ClubReputation")->setText(QStringLiteral("70000"));
    confirm(w);
    const ClubRecord& c = w.ctx.db.clubs[0];
    QCOMPARE(c.get(ClubRecord::Training), 44);
    QCOMPARE(c.get(ClubRecord::LastPosition), 255);
    QCOMPARE(c.get(ClubRecord::Reputation), 4464);
    w.selectClub(1);
    w.selectClub(0);
    QCOMPARE(w.edit("ClubReputation")->text(), QStringLiteral("4464"));
    QCOMPARE(w.edit("ClubTraining")->text(), QStringLiteral("44"));
    QCOMPARE(w.edit("ClubLastPosition")->text(), QStringLiteral("255"));
}

void ClubConfirmTest::cashFollowsTheTextToNumberRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::newRow("12abc") << "12abc" << 12;
    QTest::newRow("abc") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("$1F") << "$1F" << 31;
    QTest::newRow("-12x") << "-12x" << 12;
    QTest::newRow("-12") << "-12" << -12;
    QTest::newRow("0x7fffffff") << "0x7fffffff" << 0x7fffffff;
    QTest::newRow("spaces then -5") << "   -5" << -5;
}

void ClubConfirmTest::cashFollowsTheTextToNumberRule()
{
    QFETCH(QString, text);
    QFETCH(int, stored);
    World w;
    w.selectClub(0);
    w.edit("ClubCash")->setText(text);
    confirm(w);
    QCOMPARE(w.ctx.db.clubs[0].get(ClubRecord::Cash), stored);
}

void ClubConfirmTest::namesFillTheirFieldWidth()
{
    World w;
    QCOMPARE(w.edit("ClubLongName")->maxLength(), 51);
    QCOMPARE(w.edit("ClubShortName")->maxLength(), 26);
    QCOMPARE(w.edit("Stadium1Name")->maxLength(), 51);
    QCOMPARE(w.edit("Stadium2Name")->maxLength(), 51);
    w.selectClub(0);
    QLineEdit* longName = w.edit("ClubLongName");
    longName->clear();
    QTest::keyClicks(longName, QString(60, QLatin1Char('L')));
    QCOMPARE(longName->text().size(), 51);
    w.edit("ClubShortName")->setText(QStringLiteral("Z\u00e9"));  // é is one Windows-1252 byte
    confirm(w);
    const ClubRecord& c = w.ctx.db.clubs[0];
    QCOMPARE(c.text(ClubRecord::LongName), std::string(51, 'L'));
    QCOMPARE(c.get(ClubRecord::Reserved55), 0x55);  // no terminator written past the field
    QCOMPARE(c.text(ClubRecord::ShortName), std::string("Z\xe9"));
    QCOMPARE(c.bytes[56 + 2], 0);
    QCOMPARE(c.bytes[56 + 25], 0);
    w.selectClub(1);
    w.selectClub(0);
    QCOMPARE(w.edit("ClubShortName")->text(), QStringLiteral("Z\u00e9"));
}

void ClubConfirmTest::unknownColourStoresMinusTwoInItsFieldOnly()
{
    World w;
    w.selectClub(0);
    w.combo("ClubBg2")->setCurrentIndex(4);  // "<unknown>"
    w.combo("ClubFg1")->setCurrentIndex(3);
    confirm(w);
    const ClubRecord& c = w.ctx.db.clubs[0];
    QCOMPARE(c.get(ClubRecord::AwayBackColourId), -2);
    QCOMPARE(c.get(ClubRecord::HomeForeColourId), 3);
    QCOMPARE(c.get(ClubRecord::HomeBackColourId), 1);
    QCOMPARE(c.get(ClubRecord::AwayForeColourId), 2);
    QCOMPARE(c.get(ClubRecord::ThirdForeColourId), 1);
    QCOMPARE(c.get(ClubRecord::ThirdBackColourId), 2);
}

void ClubConfirmTest::unknownMainStadiumChangesNoStadium()
{
    World w;
    w.selectClub(0);
    // Details typed first, then the stadium set to "<unknown>" (which
    // empties them), then typed again: none of it has a stadium to go to.
    w.edit("Stadium1Name")->setText(QStringLiteral("Lost"));
    w.pick("ClubStadium1", 3);
    w.edit("Stadium1Name")->setText(QStringLiteral("Lost Again"));
    w.edit("Stadium1Capacity")->setText(QStringLiteral("1"));
    const auto stadiums = w.ctx.db.stadiums;
    confirm(w);
    QCOMPARE(w.ctx.db.clubs[0].get(ClubRecord::StadiumId), -2);
    QCOMPARE(w.ctx.db.clubs[0].get(ClubRecord::ReserveStadiumId), 1);
    for (std::size_t i = 0; i < stadiums.size(); ++i)
        QVERIFY(stadiums[i].bytes == w.ctx.db.stadiums[i].bytes);
}

void ClubConfirmTest::stadiumDetailsAreSharedByEveryClubNamingIt()
{
    World w;
    w.selectClub(0);
    w.edit("Stadium1Name")->setText(QStringLiteral("New Old Park"));
    w.edit("Stadium1Capacity")->setText(QStringLiteral("30000"));
    w.get<QCheckBox>("Stadium1Undersoil")->setChecked(true);
    confirm(w);
    w.selectClub(1);  // Hillford Town plays at Old Park too
    QCOMPARE(w.edit("Stadium1Name")->text(), QStringLiteral("New Old Park"));
    QCOMPARE(w.edit("Stadium1Capacity")->text(), QStringLiteral("30000"));
    QVERIFY(w.get<QCheckBox>("Stadium1Undersoil")->isChecked());
    // The pick list keeps the name it was filled with.
    QCOMPARE(w.combo("ClubStadium1")->currentText(), QStringLiteral("Old Park"));

    // Main and reserve on the same stadium: the reserve page is stored last.
    w.pick("ClubStadium2", 0);
    w.edit("Stadium1Capacity")->setText(QStringLiteral("111"));
    w.edit("Stadium2Capacity")->setText(QStringLiteral("222"));
    confirm(w);
    QCOMPARE(w.ctx.db.stadiums[0].get(StadiumRecord::Capacity), 222);
}

void ClubConfirmTest::listEntriesStoreTheirIdentifiers()
{
    // A club literally named "<none>" stores -2 like the text it shows.
    db::Database d = clubtest::sampleDatabase();
    d.clubs[3].setText(ClubRecord::LongName, "<none>");
    World w(d);
    w.selectClub(0);
    QCOMPARE(w.texts("ClubRivalClubs"), (QStringList{"Hillford Town", "Marrow Rovers", "<none>"}));
    w.model("ClubFavStaff")->append(QStringLiteral("Ann Brown"), 1);  // a fourth line is never stored
    confirm(w);
    const ClubRecord& c = w.ctx.db.clubs[0];
    QCOMPARE(c.id(ClubRecord::RivalClubs, 0), 1);
    QCOMPARE(c.id(ClubRecord::RivalClubs, 1), 2);
    QCOMPARE(c.id(ClubRecord::RivalClubs, 2), -2);
    QCOMPARE(c.id(ClubRecord::FavouriteStaff, 0), 4);
    QCOMPARE(c.id(ClubRecord::FavouriteStaff, 1), -2);
    QCOMPARE(c.id(ClubRecord::FavouriteStaff, 2), -2);
    QCOMPARE(c.id(ClubRecord::DislikedStaff, 2), 5);

    // A list that lost lines (only possible from code) keeps the slots it lacks.
    w.model("ClubDisStaff")->removeAt(2);
    w.model("ClubDisStaff")->removeAt(1);
    confirm(w);
    QCOMPARE(c.id(ClubRecord::DislikedStaff, 0), -2);
    QCOMPARE(c.id(ClubRecord::DislikedStaff, 2), 5);
    // An entry whose record is out of range stores -2.
    w.model("ClubDisStaff")->append(QStringLiteral("Ghost"), 2000000000);
    w.model("ClubDisStaff")->append(QStringLiteral("Ghost"), -7);
    confirm(w);
    QCOMPARE(c.id(ClubRecord::DislikedStaff, 1), -2);
    QCOMPARE(c.id(ClubRecord::DislikedStaff, 2), -2);
}

void ClubConfirmTest::everyExtraLastEntryStoresMinusTwo()
{
    World w;
    w.selectClub(0);
    const auto stadiums = w.ctx.db.stadiums;
    for (QComboBox* c : w.page->findChildren<QComboBox*>()) {
        c->setCurrentIndex(c->count() - 1);
        emit c->activated(c->count() - 1);
    }
    confirm(w);
    const ClubRecord& c = w.ctx.db.clubs[0];
    for (db::I32Field f :
         {ClubRecord::NationId, ClubRecord::DivisionId, ClubRecord::LastDivisionId,
          ClubRecord::ReserveDivisionId, ClubRecord::StadiumId, ClubRecord::ReserveStadiumId,
          ClubRecord::HomeForeColourId, ClubRecord::HomeBackColourId, ClubRecord::AwayForeColourId,
          ClubRecord::AwayBackColourId, ClubRecord::ThirdForeColourId, ClubRecord::ThirdBackColourId})
        QCOMPARE(c.get(f), -2);
    // The fixed lists' last entries are real codes.
    QCOMPARE(c.get(ClubRecord::ProStatus), 3);
    QCOMPARE(c.get(ClubRecord::Matchday), 7);
    for (std::size_t i = 0; i < stadiums.size(); ++i)
        QVERIFY(stadiums[i].bytes == w.ctx.db.stadiums[i].bytes);

    // The detail pick lists' extra entries, on a real stadium.
    w.pick("ClubStadium1", 2);
    w.combo("Stadium1City")->setCurrentIndex(3);
    w.combo("Stadium1Nearby")->setCurrentIndex(3);
    confirm(w);
    QCOMPARE(w.ctx.db.stadiums[2].get(StadiumRecord::CityId), -2);
    QCOMPARE(w.ctx.db.stadiums[2].get(StadiumRecord::NearbyStadiumId), -2);
}

void ClubConfirmTest::nothingIsWrittenWithoutASelectedClub()
{
    World w;
    const auto before = w.snapshot();
    confirm(w);  // nothing ever selected
    w.selectClub(0);
    w.edit("ClubCash")->setText(QStringLiteral("1"));
    w.edit("ClubSearch")->setText(QStringLiteral("nothing matches this"));
    QTest::mouseClick(w.get<QPushButton>("Button2"), Qt::LeftButton);
    confirm(w);
    w.edit("ClubSearch")->setText(QStringLiteral("lake"));
    QTest::mouseClick(w.get<QPushButton>("Button2"), Qt::LeftButton);
    confirm(w);  // listed again, but not selected
    QTest::mouseClick(w.get<QPushButton>("Button3"), Qt::LeftButton);
    confirm(w);
    QVERIFY(w.snapshot() == before);
}

void ClubConfirmTest::hostileNumbersTouchOnlyTheSelectedClub()
{
    const QString hostile[] = {QString(),
                               QStringLiteral("   "),
                               QStringLiteral("-"),
                               QStringLiteral("$"),
                               QStringLiteral("0x"),
                               QStringLiteral("+"),
                               QStringLiteral("-$5"),
                               QString(40, QLatin1Char('9')),
                               QStringLiteral("-") + QString(40, QLatin1Char('7')),
                               QStringLiteral("$") + QString(40, QLatin1Char('F')),
                               QStringLiteral("\u00bd\u4e2d\U0001F600 12"),
                               QStringLiteral("\u0661\u0662"),  // Arabic-Indic digits are no digits here
                               QString(10000, QLatin1Char('5')),
                               QString(10000, QChar(0x4e2d))};
    World w;
    w.selectClub(0);
    const auto others = othersOf(w, 0, {0, 1});
    int tried = 0;
    for (const QString& text : hostile) {
        for (const char* box : kNumericBoxes) w.edit(box)->setText(text);
        confirm(w);
        ++tried;
        QVERIFY(othersOf(w, 0, {0, 1}) == others);
        w.selectClub(0);  // redisplay what was stored
        for (const char* box : kNumericBoxes) {
            bool ok = false;
            w.edit(box)->text().toLongLong(&ok);
            QVERIFY2(ok, box);
        }
    }
    QCOMPARE(tried, 14);
    // Values that are plainly no number store 0.
    for (const char* box : kNumericBoxes) w.edit(box)->setText(QStringLiteral("\u00bd"));
    confirm(w);
    QCOMPARE(w.ctx.db.clubs[0].get(ClubRecord::Cash), 0);
    QCOMPARE(w.ctx.db.stadiums[1].get(StadiumRecord::Expansion), 0);
    QVERIFY(w.messages.shown.empty());
}

QTEST_MAIN(ClubConfirmTest)
#include "ClubConfirmTest.moc"

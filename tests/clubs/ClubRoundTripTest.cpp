// A game folder loaded, edited on the Clubs tab, saved and loaded afresh:
// the edits come back and nothing else in club.dat or stadium.dat moved.

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ClubWorld.h"
#include "db/storage/Progress.h"
#include "db/storage/Storage.h"
#include "tools/sample/SampleDb.h"

using clubtest::World;
using db::ClubRecord;
using db::StadiumRecord;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <std::size_t N>
void putRecord(QByteArray& file, std::size_t at, const db::RecordBytes<N>& r)
{
    file.replace(static_cast<qsizetype>(at * N), static_cast<qsizetype>(N),
                 reinterpret_cast<const char*>(r.data()), static_cast<qsizetype>(N));
}

db::Database load(const QString& dir)
{
    db::Database d;
    db::NullProgress progress;
    db::readIndex(d, dir.toStdString());
    db::loadDatabase(d, dir.toStdString(), (dir + QStringLiteral("/wizard.quarn")).toStdString(), progress);
    return d;
}

}  // namespace

class ClubRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void editedClubSurvivesSaveAndLoad();
};

void ClubRoundTripTest::editedClubSurvivesSaveAndLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.path() + QStringLiteral("/data/");
    sample::writeDataFolder(sample::makeDatabase({0.02, 7}), dir.path().toStdString());
    {
        QFile wizard(dir.path() + QStringLiteral("/wizard.quarn"));
        QVERIFY(wizard.open(QIODevice::WriteOnly));
        wizard.write(QByteArray(2, '\0'));  // no templates
    }
    const QByteArray clubFile = readAll(data + QStringLiteral("club.dat"));
    const QByteArray stadiumFile = readAll(data + QStringLiteral("stadium.dat"));

    World w(load(dir.path()));
    QVERIFY(w.ctx.db.loadComplete());
    QVERIFY(w.ctx.db.clubs.size() > 3);
    const int clubCount = static_cast<int>(w.ctx.db.clubs.size());
    w.selectClub(2);
    const int stadium = w.combo("ClubStadium1")->currentIndex();
    QVERIFY(db::isValidRef(stadium, w.ctx.db.stadiums.size()));
    w.edit("ClubLongName")->setText(QStringLiteral("Round Trip Wanderers"));
    w.edit("ClubCash")->setText(QStringLiteral("$BEEF"));
    w.edit("ClubReputation")->setText(QStringLiteral("70000"));
    w.combo("ClubFg3")->setCurrentIndex(w.combo("ClubFg3")->count() - 1);
    w.edit("Stadium1Capacity")->setText(QStringLiteral("123456"));
    QTest::mouseClick(w.get<QPushButton>("Button1"), Qt::LeftButton);
    w.page->addClub();

    db::NullProgress progress;
    db::saveDatabase(w.ctx.db, dir.path().toStdString(), progress);

    const db::Database again = load(dir.path());
    QCOMPARE(static_cast<int>(again.clubs.size()), clubCount + 1);
    const ClubRecord& c = again.clubs[2];
    QCOMPARE(c.text(ClubRecord::LongName), std::string("Round Trip Wanderers"));
    QCOMPARE(c.get(ClubRecord::Cash), 0xBEEF);
    QCOMPARE(c.get(ClubRecord::Reputation), 4464);
    QCOMPARE(c.get(ClubRecord::ThirdForeColourId), -2);
    QCOMPARE(again.stadiums[static_cast<std::size_t>(stadium)].get(StadiumRecord::Capacity), 123456);
    QCOMPARE(again.clubs.back().text(ClubRecord::LongName), std::string("<new club>"));

    // Byte for byte: the old files with just the changed records replaced,
    // and club.dat one record longer.
    QByteArray expectedClubs = clubFile;
    putRecord(expectedClubs, 2, w.ctx.db.clubs[2]);
    expectedClubs.append(reinterpret_cast<const char*>(w.ctx.db.clubs.back().data()), 581);
    QCOMPARE(readAll(data + QStringLiteral("club.dat")), expectedClubs);
    QByteArray expectedStadiums = stadiumFile;
    putRecord(expectedStadiums, static_cast<std::size_t>(stadium),
              w.ctx.db.stadiums[static_cast<std::size_t>(stadium)]);
    QCOMPARE(readAll(data + QStringLiteral("stadium.dat")), expectedStadiums);
    // The edited record differs from the original only in the edited fields,
    // and in list slots that named nobody and now hold -2, the value the
    // page stores for "<none>".
    ClubRecord before;
    std::copy_n(clubFile.constData() + 2 * 581, 581, reinterpret_cast<char*>(before.data()));
    const std::size_t staffCount = again.staff.size();
    for (int i = 0; i < 581; ++i) {
        if (before.bytes[i] == c.bytes[i]) continue;
        const bool edited =
            (i >= 4 && i < 55) || (i >= 101 && i < 105) || (i >= 128 && i < 130) || (i >= 147 && i < 151);
        bool noneSlot = false;
        if (i >= 155 && i < 191) {
            const db::I32Field slot{static_cast<std::uint16_t>(155 + (i - 155) / 4 * 4)};
            const std::size_t table = i >= 179 ? static_cast<std::size_t>(clubCount) : staffCount;
            noneSlot = !db::isValidRef(before.get(slot), table) && c.get(slot) == -2;
        }
        QVERIFY2(edited || noneSlot, qPrintable(QString::number(i)));
    }
}

QTEST_MAIN(ClubRoundTripTest)
#include "ClubRoundTripTest.moc"

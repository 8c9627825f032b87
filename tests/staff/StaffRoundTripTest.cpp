// A person edited on every sub-page, confirmed, saved to the game's files
// and loaded again: the files hold exactly what was typed, and nothing else
// moved.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "StaffFixture.h"
#include "kit/RecordListModel.h"
#include "db/format/Codes.h"
#include "db/storage/Storage.h"
#include "staff/StaffFields.h"
#include "staff/StaffPage.h"
#include "tools/sample/SampleDb.h"

namespace {

void load(db::Database& d, const QString& dir)
{
    db::NullProgress progress;
    d = db::Database();
    db::readIndex(d, dir.toStdString());
    db::loadDatabase(d, dir.toStdString(), (dir + QStringLiteral("/wizard.quarn")).toStdString(), progress);
}

template <typename T>
bool sameBytes(const std::vector<T>& a, const std::vector<T>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].bytes != b[i].bytes) return false;
    return true;
}

// What is typed into each box: values within every field's width, distinct
// per box so that a box written to the wrong field shows.
QString typedFor(std::size_t k, const db::NumField& f)
{
    if (f.width == 1) return QString::number(1 + k % 20);
    if (f.width == 2) return QString::number(-50 + static_cast<int>(k) * 7);
    return QString::number(-1000000 - static_cast<int>(k));
}

}  // namespace

class StaffRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void editConfirmSaveReload();
};

void StaffRoundTripTest::editConfirmSaveReload()
{
    useProgramFont();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    sample::Options options;
    options.scale = 0.01;
    sample::writeDataFolder(sample::makeDatabase(options), dir.path().toStdString());
    {
        QFile wizard(dir.path() + QStringLiteral("/wizard.quarn"));
        QVERIFY(wizard.open(QIODevice::WriteOnly));
        wizard.write(QByteArray(2, '\0'));  // no templates
    }

    AppContext ctx;
    RecordingMessages messages;
    ctx.messages = &messages;
    load(ctx.db, dir.path());
    StaffPage page(ctx);
    ctx.staffPage = &page;
    page.fillLists();

    // Someone with both attribute records, so every sub-page is written.
    int id = -1;
    for (std::size_t i = 0; i < ctx.db.staff.size() && id < 0; ++i) {
        const auto& s = ctx.db.staff[i];
        if (s.get(db::StaffRecord::Classification) == db::Classification::NonPlayerAndPlayer &&
            db::isValidRef(s.get(db::StaffRecord::PlayerId), ctx.db.players.size()) &&
            db::isValidRef(s.get(db::StaffRecord::NonPlayerId), ctx.db.nonPlayers.size()))
            id = static_cast<int>(i);
    }
    if (id < 0) {
        // The sample has none: make the first player one.
        for (std::size_t i = 0; i < ctx.db.staff.size() && id < 0; ++i)
            if (ctx.db.staff[i].get(db::StaffRecord::Classification) == db::Classification::Player) {
                ctx.db.staff[i].set(db::StaffRecord::Classification, db::Classification::NonPlayerAndPlayer);
                ctx.db.staff[i].set(db::StaffRecord::NonPlayerId, 0);
                id = static_cast<int>(i);
            }
    }
    QVERIFY(id >= 0);
    page.showStaff(id);
    auto edit = [&](const char* n) { return page.findChild<QLineEdit*>(QString::fromLatin1(n)); };
    auto combo = [&](const char* n) { return page.findChild<QComboBox*>(QString::fromLatin1(n)); };

    std::size_t k = 0;
    for (const auto& b : staff::kGeneralNumbers) edit(b.control)->setText(typedFor(k++, b.field));
    for (const auto& b : staff::kNonPlayerNumbers) edit(b.control)->setText(typedFor(k++, b.field));
    for (const auto& b : staff::kPlayerNumbers) edit(b.control)->setText(typedFor(k++, b.field));
    int year = 1960;
    for (const auto& b : staff::kDates) {
        edit(b.day)->setText(QStringLiteral("29"));
        edit(b.month)->setText(QStringLiteral("2"));
        edit(b.year)->setText(QString::number(year++));
    }
    const int firstName = (combo("StaffFirstName")->currentIndex() + 1) % combo("StaffFirstName")->count();
    combo("StaffFirstName")->setCurrentIndex(firstName);
    combo("StaffNation")->setCurrentIndex(combo("StaffNation")->count() - 1);  // "<unknown>"
    combo("StaffSecondNation")->setCurrentIndex(0);
    combo("StaffNPFormation")->setCurrentIndex(7);
    RecordListModel* fav = recordModel(page.findChild<QListView*>(QStringLiteral("StaffFavClubs")));
    fav->removeAt(0);
    fav->append(QStringLiteral("club 0"), 0);
    page.Button6Click();
    QVERIFY(messages.shown.empty());

    const db::Database edited = ctx.db;
    db::NullProgress progress;
    db::saveDatabase(ctx.db, dir.path().toStdString(), progress);
    db::Database back;
    load(back, dir.path());

    QVERIFY(sameBytes(back.staff, edited.staff));
    QVERIFY(sameBytes(back.players, edited.players));
    QVERIFY(sameBytes(back.nonPlayers, edited.nonPlayers));
    QVERIFY(sameBytes(back.staffExtra, edited.staffExtra));
    QVERIFY(sameBytes(back.firstNames, edited.firstNames));
    QVERIFY(sameBytes(back.clubs, edited.clubs));
    QVERIFY(sameBytes(back.index, edited.index));
    QCOMPARE(back.staff[static_cast<std::size_t>(id)].displayName,
             edited.staff[static_cast<std::size_t>(id)].displayName);

    // Shown again from the files: every box shows what was typed.
    AppContext again;
    again.db = back;
    StaffPage reloaded(again);
    reloaded.fillLists();
    reloaded.showStaff(id);
    k = 0;
    auto shown = [&](const char* n) {
        return reloaded.findChild<QLineEdit*>(QString::fromLatin1(n))->text();
    };
    for (const auto& b : staff::kGeneralNumbers) QCOMPARE(shown(b.control), typedFor(k++, b.field));
    for (const auto& b : staff::kNonPlayerNumbers) QCOMPARE(shown(b.control), typedFor(k++, b.field));
    for (const auto& b : staff::kPlayerNumbers) QCOMPARE(shown(b.control), typedFor(k++, b.field));
    for (const auto& b : staff::kDates) {
        QCOMPARE(shown(b.day), QStringLiteral("29"));
        QCOMPARE(shown(b.month), QStringLiteral("2"));
    }
    QCOMPARE(reloaded.findChild<QComboBox*>(QStringLiteral("StaffFirstName"))->currentIndex(), firstName);
    QCOMPARE(reloaded.findChild<QComboBox*>(QStringLiteral("StaffNation"))->currentText(),
             QStringLiteral("<unknown>"));
    QCOMPARE(reloaded.findChild<QComboBox*>(QStringLiteral("StaffNPFormation"))->currentIndex(), 7);
    QCOMPARE(back.staff[static_cast<std::size_t>(id)].id(db::StaffRecord::FavouriteClubs, 2), 0);
}

QTEST_MAIN(StaffRoundTripTest)
#include "StaffRoundTripTest.moc"

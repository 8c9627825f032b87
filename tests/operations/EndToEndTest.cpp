// A game folder loaded, a person added, transferred to a club, a wizard
// player made, everything saved and loaded afresh: the new records, the
// club's slot and the index come back exactly.

#include <QComboBox>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>

#include "OperationsFixture.h"
#include "kit/RecordListModel.h"
#include "clubs/ClubPage.h"
#include "db/storage/Progress.h"
#include "db/storage/Storage.h"
#include "operations/AddStaffForm.h"
#include "operations/TransferForm.h"
#include "operations/WizForm.h"
#include "staff/StaffPage.h"
#include "tools/sample/SampleDb.h"

namespace {

db::Database load(const QString& dir)
{
    db::Database d;
    db::NullProgress progress;
    db::readIndex(d, dir.toStdString());
    db::loadDatabase(d, dir.toStdString(), (dir + QStringLiteral("/wizard.quarn")).toStdString(), progress);
    return d;
}

void writeWizard(const QString& path)
{
    db::WizardTemplate t;
    t.setText(db::WizardTemplate::TemplateName, "Target Man");
    for (int n = 62; n < 116; ++n) t.bytes[static_cast<std::size_t>(n)] = 12;
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x01\x00", 2));
    f.write(reinterpret_cast<const char*>(t.data()), static_cast<qint64>(t.Size));
}

// A club with a free scout slot (one is freed when the sample has none).
int clubWithFreeScoutSlot(db::Database& d)
{
    for (std::size_t c = 0; c < d.clubs.size(); ++c)
        for (int k = 0; k < db::ClubRecord::ScoutIds.count; ++k)
            if (d.clubs[c].id(db::ClubRecord::ScoutIds, k) == -1) return static_cast<int>(c);
    d.clubs[0].setId(db::ClubRecord::ScoutIds, 6, -1);
    return 0;
}

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void addTransferWizardSaveAndReload();
};

void EndToEndTest::addTransferWizardSaveAndReload()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    sample::writeDataFolder(sample::makeDatabase({0.02, 11}), dir.path().toStdString());
    writeWizard(dir.path() + QStringLiteral("/wizard.quarn"));

    OpsWorld w;
    w.ctx.db = load(dir.path());
    QVERIFY(w.ctx.db.loadComplete());
    QCOMPARE(w.ctx.db.wizardTemplates.size(), std::size_t(1));
    StaffPage staffPage(w.ctx);
    ClubPage clubPage(w.ctx);
    TransferForm transfer(w.ctx);
    AddStaffForm addStaff(w.ctx);
    WizForm wizard(w.ctx);
    w.ctx.staffPage = &staffPage;
    w.ctx.clubPage = &clubPage;
    w.ctx.transferForm = &transfer;
    staffPage.fillLists();
    clubPage.fillLists();
    transfer.fillLists();
    wizard.fillLists();
    const std::size_t staffBefore = w.ctx.db.staff.size();
    const std::size_t nonPlayersBefore = w.ctx.db.nonPlayers.size();
    const std::size_t playersBefore = w.ctx.db.players.size();

    // A new scout, shown alone on the staff page.
    addStaff.findChild<QComboBox*>("StaffClassification")->setCurrentIndex(1);
    addStaff.findChild<QComboBox*>("StaffJob")->setCurrentIndex(9);
    addStaff.Button2Click();
    const int scout = static_cast<int>(staffBefore);
    QCOMPARE(w.ctx.db.staff.size(), staffBefore + 1);
    QCOMPARE(rowRecords(staffPage.findChild<QListView*>("ListBoxStaff")), std::vector<int>{scout});

    // Transfer Player on the staff page, then a club with room for a scout.
    const int club = clubWithFreeScoutSlot(w.ctx.db);
    staffPage.Button9Click();
    QVERIFY(transfer.isVisible());
    QCOMPARE(transfer.TransferStaffId, scout);
    QCOMPARE(transfer.FromClubId, -2);
    auto* clubs = transfer.findChild<QListView*>("ListBoxClubs");
    selectRow(clubs, club);
    QCOMPARE(transfer.ToClubId, club);
    transfer.Button6Click();
    QCOMPARE(w.ctx.db.staff.back().get(db::StaffRecord::ClubContractedId), club);

    // A wizard player.
    selectRow(wizard.findChild<QListView*>("ListBox1"), 0);
    wizard.setRandomSource([] { return db::RandomAddition([] { return 3; }); });
    wizard.Button1Click();
    const int player = scout + 1;
    QCOMPARE(w.ctx.db.staff.size(), staffBefore + 2);
    QCOMPARE(w.messages.texts(),
             (QStringList{"Adding staff was performed well!", "Adding staff was performed well!"}));

    db::NullProgress progress;
    db::saveDatabase(w.ctx.db, dir.path().toStdString(), progress);
    const db::Database again = load(dir.path());
    QVERIFY(again.loadComplete());

    QCOMPARE(again.staff.size(), staffBefore + 2);
    QCOMPARE(again.nonPlayers.size(), nonPlayersBefore + 1);
    QCOMPARE(again.players.size(), playersBefore + 1);
    for (int k = 0; k < db::Entry::Count; ++k)
        QVERIFY2(again.index[static_cast<std::size_t>(k)].bytes ==
                     w.ctx.db.index[static_cast<std::size_t>(k)].bytes,
                 qPrintable(QString::number(k)));
    // staff.dat's tables lie back to back at the offsets of the index.
    const auto offset = [&](int k) { return again.entry(k).get(db::IndexEntry::TableOffset); };
    QCOMPARE(offset(8), static_cast<std::int32_t>(again.staff.size() * 157));
    QCOMPARE(offset(9), offset(8) + static_cast<std::int32_t>(again.staffExtra.size() * 8));
    QCOMPARE(offset(10), offset(9) + static_cast<std::int32_t>(again.nonPlayers.size() * 68));

    for (int id : {scout, player})
        QVERIFY(again.staff[static_cast<std::size_t>(id)].bytes ==
                w.ctx.db.staff[static_cast<std::size_t>(id)].bytes);
    QVERIFY(again.nonPlayers.back().bytes == w.ctx.db.nonPlayers.back().bytes);
    QVERIFY(again.players.back().bytes == w.ctx.db.players.back().bytes);
    QVERIFY(again.clubs[static_cast<std::size_t>(club)].bytes ==
            w.ctx.db.clubs[static_cast<std::size_t>(club)].bytes);

    const db::StaffRecord& s = again.staff[static_cast<std::size_t>(scout)];
    QCOMPARE(s.get(db::StaffRecord::ClubContractedId), club);
    QCOMPARE(int(s.get(db::StaffRecord::JobForClub)), 9);
    QCOMPARE(s.get(db::StaffRecord::NonPlayerId), static_cast<std::int32_t>(nonPlayersBefore));
    int held = 0;
    for (int k = 0; k < db::ClubRecord::ScoutIds.count; ++k)
        held += again.clubs[static_cast<std::size_t>(club)].id(db::ClubRecord::ScoutIds, k) == scout;
    QCOMPARE(held, 1);
    const db::StaffRecord& p = again.staff[static_cast<std::size_t>(player)];
    QCOMPARE(p.get(db::StaffRecord::PlayerId), static_cast<std::int32_t>(playersBefore));
    QCOMPARE(int(again.players.back().get(db::PlayerRecord::Pace)), 15);
    QCOMPARE(int(again.players.back().get(db::PlayerRecord::RightFoot)), 0);
}

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"

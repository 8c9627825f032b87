#include "OperationsFixture.h"

#include <QListView>

#include "kit/RecordListModel.h"
#include "db/editing/Transfer.h"

namespace {

db::ClubRecord namedClub(const char* longName, const char* shortName)
{
    db::ClubRecord c;
    c.setText(db::ClubRecord::LongName, longName);
    c.setText(db::ClubRecord::ShortName, shortName);
    c.set(db::ClubRecord::ChairmanId, db::kFreeSlot);
    c.set(db::ClubRecord::ManagerId, db::kFreeSlot);
    c.set(db::ClubRecord::AssistantManagerId, db::kFreeSlot);
    for (db::IdListField list :
         {db::ClubRecord::DirectorIds, db::ClubRecord::PlayerIds, db::ClubRecord::CoachIds,
          db::ClubRecord::ScoutIds, db::ClubRecord::PhysioIds})
        c.fillIds(list, db::kFreeSlot);
    return c;
}

}  // namespace

OpsWorld::OpsWorld()
{
    ctx.messages = &messages;
    ctx.db = db::Database::withEmptyIndex();
    ctx.db.appendClub(namedClub("Arsenal", "Gunners"));
    ctx.db.appendClub(namedClub("Barnet", "Bees"));
    ctx.db.appendClub(namedClub("Chelsea", "Blues"));
    for (const char* name : {"Alan Smith", "Bob Jones", "Carl Smithers", "Dan Brown", "Eric Black"}) {
        db::StaffRecord s;
        s.set(db::StaffRecord::ClubContractedId, db::kNoClub);
        s.set(db::StaffRecord::Classification, 1);
        s.displayName = name;
        ctx.db.appendStaff(s, db::NonPlayerRecord{}, std::nullopt);
    }
}

void OpsWorld::employ(int id, int clubId, int job)
{
    person(id).set(db::StaffRecord::ClubContractedId, clubId);
    person(id).set(db::StaffRecord::JobForClub, static_cast<std::uint8_t>(job));
    db::placeAtClub(club(clubId), id, job);
}

std::vector<unsigned char> OpsWorld::snapshot() const
{
    std::vector<unsigned char> all;
    auto add = [&](const auto& table) {
        for (const auto& r : table) all.insert(all.end(), r.bytes.begin(), r.bytes.end());
        all.push_back(0xEE);  // table boundary, so lengths count too
    };
    add(ctx.db.index);
    add(ctx.db.clubs);
    add(ctx.db.staff);
    add(ctx.db.nonPlayers);
    add(ctx.db.players);
    add(ctx.db.wizardTemplates);
    return all;
}

QListView* ensureList(QWidget* page, const char* name)
{
    if (auto* list = page->findChild<QListView*>(QLatin1String(name))) return list;
    auto* list = new QListView(page);
    list->setObjectName(QLatin1String(name));
    attachModel(list);
    return list;
}

QStringList rowTexts(const QListView* list)
{
    QStringList out;
    const RecordListModel* m = recordModel(list);
    for (int r = 0; m && r < m->size(); ++r) out << m->textAt(r);
    return out;
}

std::vector<int> rowRecords(const QListView* list)
{
    std::vector<int> out;
    const RecordListModel* m = recordModel(list);
    for (int r = 0; m && r < m->size(); ++r) out.push_back(m->recordAt(r));
    return out;
}

#include "HistoryFigures.h"

#include "BenchUtil.h"
#include "db/format/FieldCatalog.h"

namespace bench {

db::ChangeStep confirmPlayer(db::Database& d, std::size_t k)
{
    const std::size_t id = (k * 7919) % d.staff.size();
    db::ChangeRecorder r(d);
    r.touch(db::TableId::Staff, static_cast<std::int64_t>(id));
    r.touch(db::TableId::Players, d.staff[id].get(db::StaffRecord::PlayerId));
    d.staff[id].set(db::StaffRecord::Wage, static_cast<std::int32_t>(k + 1000));
    const std::int32_t p = d.staff[id].get(db::StaffRecord::PlayerId);
    if (db::isValidRef(p, d.players.size()))
        d.players[static_cast<std::size_t>(p)].set(db::PlayerRecord::Pace,
                                                   static_cast<std::uint8_t>(k % 200 + 1));
    return r.finish(d);
}

HistoryFigures measureHistory(db::Database& d, int changes, int runs, std::vector<db::ChangeStep>& steps,
                              db::LoadedFingerprints& fingerprints)
{
    HistoryFigures h;
    h.fingerprintMs = medianMs(runs, [&] { fingerprints = db::fingerprintTables(d); });
    for (std::size_t k = 0; k < db::kTableCount; ++k) {
        const auto t = static_cast<db::TableId>(k);
        if (db::isSavedTable(t)) h.dataBytes += db::tableSize(d, t) * db::tableLayout(t).recordSize;
    }
    // The first step after the load, taken afresh each run: the step of the
    // run before is undone outside the timing, so each one is a first one.
    std::size_t k = 99991;
    db::ChangeStep last;
    bool done = false;
    const auto undoLast = [&] {
        if (done) last.undo(d);
        done = false;
    };
    h.firstChangeMs = medianMs(runs, undoLast, [&] {
        last = confirmPlayer(d, k++);
        done = true;
    });
    undoLast();

    steps.clear();
    steps.reserve(static_cast<std::size_t>(changes));
    for (int i = 0; i < changes; ++i) steps.push_back(confirmPlayer(d, static_cast<std::size_t>(i)));
    for (const db::ChangeStep& s : steps)
        for (const db::RecordChange& c : s.changes)
            h.historyBytes += c.before.bytes.size() + c.after.bytes.size() + sizeof(c);
    for (const db::TableFingerprint& t : fingerprints.tables) h.historyBytes += t.blocks.size() * 8;
    return h;
}

}  // namespace bench

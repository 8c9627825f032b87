#include "EditStep.h"

#include <QComboBox>

#include "kit/AppContext.h"
#include "kit/EditHistory.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "clubs/ClubBindings.h"
#include "clubs/ClubPage.h"
#include "staff/StaffFields.h"
#include "staff/StaffPage.h"

using db::TableId;

EditStep::EditStep(AppContext& ctx, QString text) : ctx_(ctx), text_(std::move(text))
{
    if (!ctx_.history) return;
    ctx_.history->beforeChange();
    recorder_ = std::make_unique<db::ChangeRecorder>(ctx_.db);
}

EditStep::EditStep(EditStep&& other) noexcept
    : ctx_(other.ctx_), text_(std::move(other.text_)), recorder_(std::move(other.recorder_))
{
}

EditStep::~EditStep()
{
    if (!recorder_ || !ctx_.history) return;
    try {
        ctx_.history->push(text_, recorder_->finish(ctx_.db));
    } catch (...) {
        // Recording must never turn a finished operation into a failure.
    }
}

void EditStep::touch(TableId table, std::int64_t position)
{
    if (recorder_) recorder_->touch(table, position);
}

void EditStep::touchAll()
{
    if (recorder_) recorder_->touchAll();
}

namespace {

QString confirmText(const std::string& rawName)
{
    return QStringLiteral("Confirm Changes of %1").arg(fromRaw(rawName));
}

}  // namespace

EditStep clubConfirmStep(AppContext& ctx, int clubId)
{
    const bool named = db::isValidRef(clubId, ctx.db.clubs.size());
    EditStep step(
        ctx, confirmText(named ? ctx.db.clubs[static_cast<std::size_t>(clubId)].text(db::ClubRecord::LongName)
                               : std::string()));
    step.touch(TableId::Clubs, clubId);
    if (ctx.clubPage)
        for (const clubs::StadiumPage& p : clubs::kStadiumPages)
            if (auto* c = ctx.clubPage->findChild<QComboBox*>(
                    QLatin1String(p.selector.data(), static_cast<qsizetype>(p.selector.size()))))
                step.touch(TableId::Stadiums, c->currentIndex());
    return step;
}

EditStep staffConfirmStep(AppContext& ctx, int staffId)
{
    const bool known = db::isValidRef(staffId, ctx.db.staff.size());
    EditStep step(ctx, confirmText(known ? ctx.db.staff[static_cast<std::size_t>(staffId)].displayName
                                         : std::string()));
    if (!known) return step;
    const db::StaffRecord& s = ctx.db.staff[static_cast<std::size_t>(staffId)];
    step.touch(TableId::Staff, staffId);
    step.touch(TableId::Players, s.get(db::StaffRecord::PlayerId));
    step.touch(TableId::NonPlayers, s.get(db::StaffRecord::NonPlayerId));
    for (const staff::NameBinding& b : staff::kNames) {
        const auto table =
            static_cast<TableId>(static_cast<int>(TableId::FirstNames) + static_cast<int>(b.kind));
        step.touch(table, s.get(b.field));
        if (!ctx.staffPage) continue;
        if (auto* c = ctx.staffPage->findChild<QComboBox*>(QLatin1String(b.control)))
            if (const RecordListModel* m = recordModel(c)) step.touch(table, m->recordAt(c->currentIndex()));
    }
    return step;
}

EditStep transferStep(AppContext& ctx, int staffId, int fromClubId, int toClubId)
{
    EditStep step(ctx, QStringLiteral("Transfer"));
    step.touch(TableId::Staff, staffId);
    step.touch(TableId::Clubs, fromClubId);
    step.touch(TableId::Clubs, toClubId);
    return step;
}

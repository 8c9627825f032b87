#include "AddStaff.h"

#include "kit/AppContext.h"
#include "kit/EditStep.h"
#include "kit/Messages.h"
#include "kit/QtText.h"

namespace {

// The newcomer alone in the staff page's list, selected and shown, then the message.
void presentNewcomer(AppContext& ctx, std::int32_t staffId, const char* text)
{
    if (ctx.navigation) ctx.navigation->showNewStaff(staffId, QString::fromLatin1(text));
    ctx.messages->information(QStringLiteral("Adding staff was performed well!"));
}

// A newcomer counts one more user of name 0 of each list.
void touchNewcomerNames(EditStep& step)
{
    for (db::TableId t : {db::TableId::FirstNames, db::TableId::SecondNames, db::TableId::CommonNames})
        step.touch(t, 0);
}

}  // namespace

std::int32_t AddStaff(AppContext& ctx, std::uint8_t classification, std::uint8_t job)
{
    std::int32_t id = -1;
    EditStep step(ctx, QStringLiteral("New Staff"));
    touchNewcomerNames(step);
    try {
        id = db::addNewStaff(ctx.db, classification, job);
    } catch (const db::Error& e) {
        ctx.messages->failure(fromRaw(e.what()));
        return -1;
    }
    presentNewcomer(ctx, id, db::kNewStaffName);
    return id;
}

std::int32_t AddWizardPlayer(AppContext& ctx, int templateIndex, const db::RandomAddition& addition)
{
    if (!db::isValidRef(templateIndex, ctx.db.wizardTemplates.size())) return -1;
    const db::WizardTemplate t = ctx.db.wizardTemplates[static_cast<std::size_t>(templateIndex)];
    std::int32_t id = -1;
    EditStep step(ctx, QStringLiteral("Wizard Player"));
    touchNewcomerNames(step);
    try {
        id = db::addWizardPlayer(ctx.db, t, addition);
    } catch (const db::Error& e) {
        ctx.messages->failure(fromRaw(e.what()));
        return -1;
    }
    presentNewcomer(ctx, id, db::kNewWizardPlayerName);
    return id;
}

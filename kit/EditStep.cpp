#include "EditStep.h"

#include "kit/AppContext.h"
#include "kit/EditHistory.h"
#include "kit/QtText.h"

EditStep::EditStep(AppContext& ctx, QString text) : ctx_(ctx), text_(std::move(text))
{
    if (ctx_.history) ctx_.history->beforeChange();
    recorder_ = std::make_unique<db::ChangeRecorder>(ctx_.db);
}

EditStep::EditStep(EditStep&& other) noexcept
    : ctx_(other.ctx_), text_(std::move(other.text_)), recorder_(std::move(other.recorder_))
{
}

EditStep::~EditStep()
{
    if (!recorder_) return;
    try {
        db::ChangeStep step = recorder_->finish(ctx_.db);
        if (step.empty()) return;
        if (ctx_.history) {
            ctx_.history->push(text_, std::move(step));
        } else {
            // Without an edit history (some window tests) nothing is kept,
            // but the windows still hear of the change.
            ctx_.events.announce({DatabaseChange::Kind::Done, &step});
        }
    } catch (...) {
        // Recording must never turn a finished operation into a failure.
    }
}

void EditStep::touch(db::TableId table, std::int64_t position)
{
    if (recorder_) recorder_->touch(table, position);
}

void EditStep::touchAll()
{
    if (recorder_) recorder_->touchAll();
}

QString confirmStepText(const std::string& rawName)
{
    return QStringLiteral("Confirm Changes of %1").arg(fromRaw(rawName));
}

#include "StatusForm.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include "kit/AppContext.h"
#include "kit/WindowUtil.h"
#include "ui_StatusForm.h"

namespace {
// The clock is looked at every so many steps, and the window repaints when
// this long has passed: often enough that the bar moves smoothly, rarely
// enough that repainting costs a load almost nothing (a repaint every few
// thousand records took a quarter of a large load's time).
constexpr int ClockEverySteps = 1024;
constexpr qint64 RepaintEveryMs = 40;
}  // namespace

StatusForm::StatusForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ctx_(ctx),
      ui(std::make_unique<Ui::StatusForm>())
{
    ui->setupUi(this);
    setFixedSize(356, 76);
    setModal(false);
}

StatusForm::~StatusForm() = default;

void StatusForm::show()
{
    QDialog::show();
    repaintNow();
}

void StatusForm::hide()
{
    QDialog::hide();
}

void StatusForm::setStatus(std::string_view text)
{
    const QString status = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    history_ << status;
    ui->ActionText->setText(status);
    // Painted with the next repaint that is due: a table read in a few
    // milliseconds would otherwise cost more in painting than in reading.
    repaintIfDue();
}

void StatusForm::setMaximum(int maximum)
{
    // An empty table asks for a maximum below the minimum of 0.
    maximum_ = std::max(0, maximum);
    position_ = std::min(position_, maximum_);
    ui->ProgressBar->setMaximum(maximum_);
    ui->ProgressBar->setValue(position_);
}

void StatusForm::setPosition(int position)
{
    position_ = std::clamp(position, 0, maximum_);
    ui->ProgressBar->setValue(position_);
}

void StatusForm::step()
{
    if (position_ < maximum_) ++position_;
    // One step is a record, so the clock is looked at only every so many.
    if (++steps_ % ClockEverySteps == 0 || position_ == maximum_) showPosition();
}

void StatusForm::advance(int steps)
{
    if (steps <= 0) return;
    position_ = static_cast<int>(std::min<long long>(maximum_, static_cast<long long>(position_) + steps));
    showPosition();
}

void StatusForm::showPosition()
{
    // The bar formats its text and repaints itself at once whenever its
    // percentage changes, so it is told only when the window is due a
    // repaint anyway, and at the end of a table.
    const bool due = repaintDue();
    if (due || position_ == maximum_) ui->ProgressBar->setValue(position_);
    if (due) repaintNow();
}

QString StatusForm::statusText() const
{
    return ui->ActionText->text();
}

int StatusForm::position() const
{
    return position_;
}

int StatusForm::maximum() const
{
    return maximum_;
}

void StatusForm::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centred_ = true;
        centerOnScreen(this);
    }
    QDialog::showEvent(event);
}

void StatusForm::closeEvent(QCloseEvent* event)
{
    // No close button, and Alt+F4 must not take it away either.
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void StatusForm::repaintNow()
{
    sinceRepaint_.start();
    if (isVisible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool StatusForm::repaintDue() const
{
    return !sinceRepaint_.isValid() || sinceRepaint_.hasExpired(RepaintEveryMs);
}

void StatusForm::repaintIfDue()
{
    if (repaintDue()) repaintNow();
}

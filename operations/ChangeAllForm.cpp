#include "ChangeAllForm.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QTimer>

#include "db/format/FieldCatalog.h"
#include "db/query/Query.h"
#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/EditStep.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/TextTableModel.h"
#include "operations/FindConditions.h"
#include "ui_ChangeAllForm.h"

namespace {

enum Operation { SetTo, Add, Multiply, ClampInto, CopyFrom };

QString quotedUnlessNumber(const QString& value)
{
    static const QRegularExpression number(QStringLiteral("^-?\\d+$"));
    const QString v = value.trimmed();
    if (number.match(v).hasMatch()) return v;
    QString inner = v;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

}  // namespace

ChangeAllForm::ChangeAllForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::ChangeAllForm>())
{
    ui->setupUi(this);
    model_ = new TextTableModel(
        {QStringLiteral("Record"), QStringLiteral("Field"), QStringLiteral("Now"), QStringLiteral("After")},
        this);
    ui->PreviewList->setModel(model_);
    ui->PreviewList->verticalHeader()->hide();
    ui->PreviewList->horizontalHeader()->setStretchLastSection(true);
    ui->ChangeValue->setInsertPolicy(QComboBox::NoInsert);
    ui->ChangeField->setInsertPolicy(QComboBox::NoInsert);

    connect(ui->ChangeField, &QComboBox::currentTextChanged, this, &ChangeAllForm::fieldChosen);
    connect(ui->ChangeOperation, &QComboBox::currentIndexChanged, this, &ChangeAllForm::fieldChosen);
    connect(ui->ChangeValue, &QComboBox::currentTextChanged, this, &ChangeAllForm::schedulePreview);
    connect(ui->ChangeValueTo, &QLineEdit::textChanged, this, &ChangeAllForm::schedulePreview);
    connect(ui->OverflowChoice, &QComboBox::currentIndexChanged, this, &ChangeAllForm::schedulePreview);
    connect(ui->ApplyButton, &QPushButton::clicked, this, &ChangeAllForm::apply);
    connect(ui->CancelButton, &QPushButton::clicked, this, &QWidget::hide);
    // A preview is of the database as it is now.
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this] {
        if (isVisible()) schedulePreview();
    });
}

ChangeAllForm::~ChangeAllForm() = default;

void ChangeAllForm::open(db::TableId t, std::vector<std::int32_t> ids)
{
    table_ = t;
    ids_ = std::move(ids);
    ui->Records->setText(QStringLiteral("Change %L1 records of %2.")
                             .arg(ids_.size())
                             .arg(QString::fromStdString(db::queryTableName(t))));
    {
        const QSignalBlocker quiet(ui->ChangeField);
        ui->ChangeField->clear();
        // Only the fields a bulk change may touch are offered.
        for (const db::FieldInfo& f : db::fieldsOf(t))
            if (f.named() && !f.reserved && db::bulkRefusal(t, f).empty())
                ui->ChangeField->addItem(fromRaw(f.name));
        ui->ChangeField->setCurrentIndex(-1);
    }
    ui->ChangeValueTo->setVisible(ui->ChangeOperation->currentIndex() == ClampInto);
    edits_.reset();
    model_->setRows({});
    ui->Summary->clear();
    ui->ApplyButton->setEnabled(false);
    show();
    raise();
    activateWindow();
}

void ChangeAllForm::setChange(const QString& field, const QString& operation, const QString& value,
                              const QString& to, bool clamp)
{
    ui->ChangeField->setCurrentText(field);
    ui->ChangeOperation->setCurrentText(operation);
    ui->ChangeValue->setCurrentText(value);
    ui->ChangeValueTo->setText(to);
    ui->OverflowChoice->setCurrentIndex(clamp ? 1 : 0);
}

// The value list suits the field and the operation: its pick list to set
// it, the table's fields to copy from, nothing to type a number.
void ChangeAllForm::fieldChosen()
{
    const int op = ui->ChangeOperation->currentIndex();
    ui->ChangeValueTo->setVisible(op == ClampInto);
    QStringList items;
    if (const db::FieldInfo* f = db::findField(table_, ui->ChangeField->currentText().toStdString())) {
        if (op == SetTo) items = valueChoices(ctx_.db, *f);
        if (op == CopyFrom)
            for (const db::FieldInfo& other : db::fieldsOf(table_))
                if (other.named() && !other.reserved && &other != f) items << fromRaw(other.name);
    }
    const QString kept = ui->ChangeValue->currentText();
    {
        const QSignalBlocker quiet(ui->ChangeValue);
        ui->ChangeValue->clear();
        ui->ChangeValue->addItems(items);
        ui->ChangeValue->setCurrentText(kept);
    }
    schedulePreview();
}

QString ChangeAllForm::changeText() const
{
    const QString field = ui->ChangeField->currentText().trimmed();
    const QString value = ui->ChangeValue->currentText().trimmed();
    if (field.isEmpty()) return {};
    switch (ui->ChangeOperation->currentIndex()) {
        case Add:
            return value.startsWith(QLatin1Char('-')) ? field + QStringLiteral("-=") + value.mid(1)
                                                      : field + QStringLiteral("+=") + value;
        case Multiply:
            return field + QStringLiteral("*=") + value +
                   (value.endsWith(QLatin1Char('%')) ? QString() : QStringLiteral("%"));
        case ClampInto:
            return QStringLiteral("%1=clamp(%2,%3)").arg(field, value, ui->ChangeValueTo->text().trimmed());
        case CopyFrom:
            return field + QLatin1Char('=') + value;
        default:
            return field + QLatin1Char('=') + quotedUnlessNumber(value);
    }
}

void ChangeAllForm::schedulePreview()
{
    if (previewPending_) return;
    previewPending_ = true;
    QTimer::singleShot(0, this, [this] {
        previewPending_ = false;
        if (isVisible()) preview();
    });
}

bool ChangeAllForm::preview()
{
    edits_.reset();
    ui->ApplyButton->setEnabled(false);
    model_->setRows({});
    const QString change = changeText();
    if (change.isEmpty() || ui->ChangeValue->currentText().trimmed().isEmpty()) {
        ui->Summary->setText(QStringLiteral("Choose a field, what to do with it and a value."));
        return false;
    }
    try {
        plan_ = db::BulkPlan{
            table_,
            {db::parseBulkOperation(ctx_.db, table_, change.toUtf8().toStdString())},
            ui->OverflowChoice->currentIndex() == 1 ? db::OverflowPolicy::Clamp : db::OverflowPolicy::Skip};
        edits_ = db::planBulkChange(ctx_.db, plan_, ids_);
    } catch (const std::exception& e) {
        ui->Summary->setText(QString::fromUtf8(e.what()));
        return false;
    }
    const db::BulkPreview& p = edits_->preview;
    std::vector<QStringList> rows;
    for (const db::BulkValueChange& c : p.sample)
        rows.push_back({fromRaw(c.record), fromRaw(c.field), fromRaw(c.before), fromRaw(c.after)});
    for (const db::BulkOverflow& o : p.overflows)
        rows.push_back({fromRaw(o.record), fromRaw(o.field), QString(),
                        QStringLiteral("%1 does not fit").arg(fromRaw(o.value))});
    for (const db::BulkLeftUnchanged& u : p.unchanged)
        rows.push_back({fromRaw(u.record), QString(), QString(), fromRaw(u.reason)});
    model_->setRows(std::move(rows));
    ui->PreviewList->resizeColumnsToContents();
    QString summary =
        QStringLiteral("%L1 of %L2 records change (%L3 values).").arg(p.changed).arg(p.records).arg(p.values);
    if (!p.overflows.empty())
        summary += ui->OverflowChoice->currentIndex() == 1
                       ? QStringLiteral(" %L1 values do not fit and are clamped.").arg(p.overflows.size())
                       : QStringLiteral(" %L1 records are skipped: their values do not fit.").arg(p.skipped);
    if (!p.unchanged.empty())
        summary += QStringLiteral(" %L1 records cannot be changed (listed below).").arg(p.unchanged.size());
    ui->Summary->setText(summary);
    ui->ApplyButton->setEnabled(p.changed > 0);
    return true;
}

bool ChangeAllForm::apply()
{
    if (!edits_ || edits_->preview.changed == 0) return false;
    const db::BulkEdits edits = std::move(*edits_);
    edits_.reset();
    ui->ApplyButton->setEnabled(false);
    db::BulkResult done;
    try {
        EditStep step(ctx_, fromRaw(db::bulkCaption(ctx_.db, plan_, edits.preview.changed)));
        db::touchForBulk(step.recorder(), ctx_.db, edits);
        done = db::applyBulkChange(ctx_.db, edits);
    } catch (const std::exception& e) {
        if (ctx_.messages) ctx_.messages->failure(QString::fromUtf8(e.what()));
        return false;
    }
    hide();
    return done.changed > 0;
}

#include "WhereUsedForm.h"

#include <QHeaderView>

#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/QtText.h"
#include "kit/TextTableModel.h"
#include "ui_WhereUsedForm.h"

WhereUsedForm::WhereUsedForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::WhereUsedForm>())
{
    ui->setupUi(this);
    model_ = new TextTableModel(
        {QStringLiteral("Table"), QStringLiteral("Record"), QStringLiteral("Name"), QStringLiteral("Field")},
        this);
    ui->UseList->setModel(model_);
    ui->UseList->verticalHeader()->hide();
    ui->UseList->horizontalHeader()->setStretchLastSection(true);
    connect(ui->UseList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { showRecordOf(index.row()); });
    connect(ui->SaveCsvButton, &QPushButton::clicked, this,
            [this] { saveTableAsCsv(this, *model_, QStringLiteral("where-used.csv"), ctx_.messages); });
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this] {
        if (isVisible()) refresh();
    });
}

WhereUsedForm::~WhereUsedForm() = default;

void WhereUsedForm::showUses(db::TableId table, std::size_t record)
{
    table_ = table;
    record_ = record;
    refresh();
    show();
    raise();
    activateWindow();
}

void WhereUsedForm::refresh()
{
    const db::Database& d = ctx_.db;
    uses_ = db::whereUsed(d, table_, record_);
    const db::RecordNamer namer(d);
    std::vector<QStringList> rows;
    rows.reserve(uses_.size());
    for (const db::Use& u : uses_) {
        const std::string field =
            u.element < 0 ? std::string(u.field->name) : db::elementName(*u.field, u.element);
        rows.push_back({fromRaw(db::tableName(u.table)), QString::number(u.record),
                        fromRaw(namer.name(u.table, u.record)), fromRaw(field)});
    }
    model_->setRows(std::move(rows));
    const std::string name = record_ < db::tableSize(d, table_) ? namer.name(table_, record_) : std::string();
    setWindowTitle(QStringLiteral("Where Used: %1").arg(fromRaw(name)));
    ui->Summary->setText(uses_.empty()
                             ? QStringLiteral("Nothing refers to %1.").arg(fromRaw(name))
                             : QStringLiteral("%1 fields refer to %2.").arg(uses_.size()).arg(fromRaw(name)));
    ui->UseList->resizeColumnsToContents();
}

void WhereUsedForm::showRecordOf(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= uses_.size() || !ctx_.navigation) return;
    const db::Use& u = uses_[static_cast<std::size_t>(row)];
    ctx_.navigation->goToRecord(ctx_.db, u.table, u.record, u.field);
}

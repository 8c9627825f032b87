#include "ChangesForm.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QSaveFile>

#include "kit/AppContext.h"
#include "kit/EditHistory.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/TextTableModel.h"
#include "ui_ChangesForm.h"

ChangesForm::ChangesForm(EditHistory& history, QWidget* parent)
    : QDialog(parent), history_(history), ui(std::make_unique<Ui::ChangesForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    auto* model = new TextTableModel(
        {QStringLiteral("Table"), QStringLiteral("Record"), QStringLiteral("Name"), QStringLiteral("Field"),
         QStringLiteral("Old value"), QStringLiteral("New value")},
        this);
    model_ = model;
    ui->ChangesList->setModel(model);
    ui->ChangesList->verticalHeader()->hide();
    ui->ChangesList->horizontalHeader()->setStretchLastSection(true);
    connect(ui->ChangesList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { showRecordOf(index.row()); });
    connect(ui->SaveCsvButton, &QPushButton::clicked, this, &ChangesForm::SaveCsvButtonClick);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(&history_, &EditHistory::changed, this, [this] {
        if (isVisible()) refresh();
    });
}

ChangesForm::~ChangesForm() = default;

void ChangesForm::refresh()
{
    const db::Database& d = history_.context().db;
    const std::vector<const db::ChangeStep*> steps = history_.appliedSteps();
    const db::LoadedBaseline loaded = history_.baseline(steps);
    entries_ = db::listChanges(loaded, d, steps);
    const db::RecordNamer namer(d);
    lines_.clear();
    lines_.reserve(entries_.size());
    for (const db::ChangeEntry& e : entries_) lines_.push_back(db::describeChange(e, loaded, d, namer));
    std::vector<QStringList> rows;
    rows.reserve(lines_.size());
    for (const db::ChangeText& l : lines_)
        rows.push_back({fromRaw(l.table), fromRaw(l.record), fromRaw(l.name), fromRaw(l.field),
                        fromRaw(l.oldValue), fromRaw(l.newValue)});
    model_->setRows(std::move(rows));
    ui->Summary->setText(
        lines_.empty() ? QStringLiteral("Nothing has been changed since the database was loaded.")
                       : QStringLiteral("%1 changes since the database was loaded.").arg(lines_.size()));
    ui->ChangesList->resizeColumnsToContents();
}

void ChangesForm::showRecordOf(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) return;
    AppContext& ctx = history_.context();
    const db::ChangeEntry& e = entries_[static_cast<std::size_t>(row)];
    const auto fields = db::fieldsOf(e.table);
    const db::FieldInfo* field = e.field >= 0 && static_cast<std::size_t>(e.field) < fields.size()
                                     ? &fields[static_cast<std::size_t>(e.field)]
                                     : nullptr;
    if (ctx.navigation) ctx.navigation->goToRecord(ctx.db, e.table, e.record, field);
}

bool ChangesForm::saveCsv(const QString& path)
{
    const std::string csv = db::changesCsv(lines_);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) ||
        !file.commit()) {
        if (AppContext& ctx = history_.context(); ctx.messages)
            ctx.messages->failure(QStringLiteral("Cannot create file %1").arg(path));
        return false;
    }
    return true;
}

void ChangesForm::SaveCsvButtonClick()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the list of changes"),
                                                      QStringLiteral("changes.csv"),
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty()) saveCsv(path);
}

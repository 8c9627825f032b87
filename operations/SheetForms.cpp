#include "SheetForms.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QSaveFile>

#include "db/exchange/SheetColumns.h"
#include "db/exchange/SpreadsheetExport.h"
#include "db/query/Query.h"
#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/EditHistory.h"
#include "kit/EditStep.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/TextTableModel.h"
#include "ui_ExportSheetForm.h"
#include "ui_ImportSheetForm.h"

namespace {

std::function<QString(QWidget*, bool)>& chooser()
{
    static std::function<QString(QWidget*, bool)> c;
    return c;
}

void fillTables(QComboBox* box)
{
    for (const std::string& name : db::sheetTableNames()) box->addItem(QString::fromStdString(name));
    box->setCurrentText(QStringLiteral("staff"));
}

db::TableId chosenTable(const QComboBox* box)
{
    return db::sheetTableByName(box->currentText().toStdString()).value_or(db::TableId::Staff);
}

}  // namespace

QString chooseSheetFile(QWidget* parent, bool save, const QString& suggested)
{
    if (chooser()) return chooser()(parent, save);
    const QString filter = QStringLiteral("Spreadsheet files (*.csv *.txt);;All files (*)");
    return save ? QFileDialog::getSaveFileName(parent, QStringLiteral("Export to Spreadsheet"), suggested,
                                               filter)
                : QFileDialog::getOpenFileName(parent, QStringLiteral("Import from Spreadsheet"), QString(),
                                               filter);
}

void setSheetFileChooser(std::function<QString(QWidget*, bool)> c)
{
    chooser() = std::move(c);
}

// ---- Export -------------------------------------------------------------------

ExportSheetForm::ExportSheetForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::ExportSheetForm>())
{
    ui->setupUi(this);
    fillTables(ui->SheetTable);
    connect(ui->SheetTable, &QComboBox::currentIndexChanged, this, [this] {
        // The Find window's results belong to one table.
        const bool found = foundTable_ == chosenTable(ui->SheetTable);
        ui->FindResults->setEnabled(found);
        if (!found && ui->FindResults->isChecked()) ui->AllRecords->setChecked(true);
    });
    connect(ui->ExportButton, &QPushButton::clicked, this, [this] {
        const QString path =
            chooseSheetFile(this, true, ui->SheetTable->currentText() + QStringLiteral(".csv"));
        if (!path.isEmpty()) exportTo(path);
    });
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
}

ExportSheetForm::~ExportSheetForm() = default;

void ExportSheetForm::showExport(db::TableId t, std::vector<std::int32_t> found)
{
    const bool fromFind = !found.empty();
    foundTable_ = fromFind ? t : db::TableId::Count;
    found_ = std::move(found);
    ui->FindResults->setText(fromFind ? QStringLiteral("The &Find window's results (%L1)").arg(found_.size())
                                      : QStringLiteral("The &Find window's results"));
    ui->SheetTable->setCurrentText(QString::fromStdString(db::queryTableName(t)));
    ui->FindResults->setEnabled(fromFind);
    (fromFind ? ui->FindResults : ui->AllRecords)->setChecked(true);
    ui->Summary->clear();
    show();
    raise();
    activateWindow();
}

std::vector<std::int32_t> ExportSheetForm::changedRecords(db::TableId t) const
{
    if (!ctx_.history) return {};
    const std::vector<const db::ChangeStep*> steps = ctx_.history->appliedSteps();
    const db::LoadedBaseline loaded = ctx_.history->baseline(steps);
    return db::changedRecords(db::listChanges(loaded, ctx_.db, steps), t);
}

bool ExportSheetForm::exportTo(const QString& path)
{
    const db::TableId t = chosenTable(ui->SheetTable);
    db::RecordSelection which;
    if (ui->FindResults->isChecked() && foundTable_ == t)
        which = db::RecordSelection::only(found_);
    else if (ui->ChangedRecords->isChecked())
        which = db::RecordSelection::only(changedRecords(t));
    std::string bytes;
    try {
        bytes = db::exportCsv(ctx_.db, t, which);
    } catch (const std::exception& e) {
        if (ctx_.messages) ctx_.messages->failure(QString::fromUtf8(e.what()));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        if (ctx_.messages) ctx_.messages->failure(QStringLiteral("Cannot create file %1").arg(path));
        return false;
    }
    const std::size_t rows = which.all ? db::tableSize(ctx_.db, t) : which.ids.size();
    ui->Summary->setText(
        QStringLiteral("%L1 records written to %2.").arg(rows).arg(QFileInfo(path).fileName()));
    return true;
}

// ---- Import -------------------------------------------------------------------

ImportSheetForm::ImportSheetForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::ImportSheetForm>())
{
    ui->setupUi(this);
    fillTables(ui->SheetTable);
    model_ = new TextTableModel({}, this);
    ui->ImportList->setModel(model_);
    ui->ImportList->verticalHeader()->hide();
    ui->ImportList->horizontalHeader()->setStretchLastSection(true);
    connect(ui->ChooseFileButton, &QPushButton::clicked, this, [this] {
        const QString path = chooseSheetFile(this, false, QString());
        if (!path.isEmpty()) readFile(path);
    });
    connect(ui->SheetTable, &QComboBox::currentIndexChanged, this, [this] {
        if (!fileName_.isEmpty()) check();
    });
    connect(ui->ApplyButton, &QPushButton::clicked, this, &ImportSheetForm::apply);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    // The preview is of the database as it is: any change checks the file
    // again, at once while the window shows it, else when it shows again.
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this] {
        if (fileName_.isEmpty()) return;
        if (isVisible())
            check();
        else
            stale_ = true;
    });
}

ImportSheetForm::~ImportSheetForm() = default;

void ImportSheetForm::showImport()
{
    if (stale_ && !fileName_.isEmpty()) check();
    show();
    raise();
    activateWindow();
}

bool ImportSheetForm::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (ctx_.messages) ctx_.messages->failure(QStringLiteral("Cannot open file %1").arg(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    bytes_.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    fileName_ = QFileInfo(path).fileName();
    ui->FileName->setText(fileName_);
    check();
    return plan_.ok();
}

void ImportSheetForm::check()
{
    stale_ = false;
    plan_ = db::planImport(ctx_.db, chosenTable(ui->SheetTable), bytes_);
    std::vector<QStringList> rows;
    if (!plan_.ok()) {
        model_->setTitles({QStringLiteral("Row"), QStringLiteral("Column"), QStringLiteral("Problem")});
        for (const db::ImportFault& f : plan_.faults)
            rows.push_back({f.row ? QString::number(f.row) : QString(), QString::fromStdString(f.column),
                            QString::fromStdString(f.message)});
        ui->Summary->setText(
            (plan_.faultCount == 1
                 ? QStringLiteral("1 fault: nothing was changed.")
                 : QStringLiteral("%L1 faults: nothing was changed.").arg(plan_.faultCount)) +
            (plan_.faultCount > plan_.faults.size()
                 ? QStringLiteral(" The first %1 are listed.").arg(plan_.faults.size())
                 : QString()));
    } else {
        model_->setTitles({QStringLiteral("Table"), QStringLiteral("Record"), QStringLiteral("Name"),
                           QStringLiteral("Field"), QStringLiteral("Old value"),
                           QStringLiteral("New value")});
        for (const db::ChangeText& c : plan_.changes)
            rows.push_back({fromRaw(c.table), fromRaw(c.record), fromRaw(c.name), fromRaw(c.field),
                            fromRaw(c.oldValue), fromRaw(c.newValue)});
        ui->Summary->setText(
            plan_.step.empty() ? QStringLiteral("%L1 rows read: nothing to change.").arg(plan_.rows)
                               : QStringLiteral("%L1 rows read: %L2 records change, %L3 are added. Apply to "
                                                "make these changes.")
                                     .arg(plan_.rows)
                                     .arg(plan_.changedRecords)
                                     .arg(plan_.newRecords));
    }
    model_->setRows(std::move(rows));
    ui->ImportList->resizeColumnsToContents();
    ui->ApplyButton->setEnabled(plan_.ok() && !plan_.step.empty());
}

bool ImportSheetForm::apply()
{
    if (stale_) check();
    if (!plan_.ok() || plan_.step.empty()) return false;
    const db::ImportPlan plan = std::move(plan_);
    // Applied once: the file is an undo step now and is not checked again.
    const QString name = fileName_;
    fileName_.clear();
    ui->ApplyButton->setEnabled(false);
    try {
        EditStep step(ctx_, QStringLiteral("Import from Spreadsheet: %1").arg(name));
        db::touchImport(step.recorder(), plan);
        db::applyImport(ctx_.db, plan);
    } catch (const std::exception& e) {
        if (ctx_.messages) ctx_.messages->failure(QString::fromUtf8(e.what()));
        return false;
    }
    ui->Summary->setText(QStringLiteral("%1 was imported: %L2 records changed, %L3 added.")
                             .arg(name)
                             .arg(plan.changedRecords)
                             .arg(plan.newRecords));
    model_->setRows({});
    return true;
}

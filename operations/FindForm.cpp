#include "FindForm.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QSaveFile>
#include <QSettings>
#include <QTimer>
#include <algorithm>

#include "db/rules/TextRules.h"
#include "db/rules/Win1252.h"
#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/QueryResultModel.h"
#include "operations/ChangeAllForm.h"
#include "operations/CompareRecordsForm.h"
#include "operations/FindConditions.h"
#include "ui_FindForm.h"

namespace {

const QString kSavedSearches = QStringLiteral("Find/SavedSearches");
const QString kAddColumn = QStringLiteral("Add column...");

QString columnList(const std::vector<db::Column>& columns)
{
    QStringList names;
    for (const db::Column& c : columns) names << QString::fromStdString(c.name);
    return names.join(QStringLiteral(", "));
}

QString matchText(std::size_t n)
{
    if (n == 0) return QStringLiteral("No matches");
    if (n == 1) return QStringLiteral("1 match");
    return QStringLiteral("%L1 matches").arg(static_cast<qulonglong>(n));
}

}  // namespace

FindForm::FindForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::FindForm>())
{
    ui->setupUi(this);
    setModal(false);
    model_ = new QueryResultModel(ctx_.db, this);
    conditions_ = new FindConditions(ctx_.db, ui->ConditionRows, this);

    QTableView* view = ui->Results;
    view->setModel(model_);
    view->verticalHeader()->hide();
    // Every row the same height: the view never measures a million rows.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setResizeContentsPrecision(64);
    view->horizontalHeader()->setSectionsClickable(true);
    view->setWordWrap(false);
    connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        sortBy(column, QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { openRecord(i.row()); });

    for (const std::string& name : db::queryTableNames())
        ui->TableChoice->addItem(QString::fromStdString(name));
    ui->TableChoice->setCurrentText(QStringLiteral("staff"));
    const db::QueryDate start = db::kDefaultReferenceDate;
    ui->AgeDate->setDate(QDate(start.year, 1, 1).addDays(start.dayOfYear));

    connect(ui->TableChoice, &QComboBox::currentIndexChanged, this, &FindForm::tableChosen);
    connect(conditions_, &FindConditions::changed, this,
            [this] { ui->QueryText->setText(conditions_->queryText()); });
    connect(ui->AddConditionButton, &QPushButton::clicked, conditions_, &FindConditions::addRow);
    connect(ui->RemoveConditionButton, &QPushButton::clicked, conditions_, &FindConditions::removeRow);
    connect(ui->QueryText, &QLineEdit::returnPressed, this, &FindForm::runQuery);
    connect(ui->ColumnsText, &QLineEdit::returnPressed, this, &FindForm::runQuery);
    connect(ui->FindButton, &QPushButton::clicked, this, &FindForm::runQuery);
    connect(ui->AgeDate, &QDateEdit::dateChanged, this, [this] {
        if (ran_) runQuery();
    });
    connect(ui->AddColumn, &QComboBox::activated, this, [this](int index) {
        if (index <= 0) return;
        const QString name = ui->AddColumn->itemText(index);
        const QString now = ui->ColumnsText->text().trimmed();
        ui->ColumnsText->setText(now.isEmpty() ? name : now + QStringLiteral(", ") + name);
        ui->AddColumn->setCurrentIndex(0);
        if (ran_) runQuery();
    });
    connect(ui->CompareButton, &QPushButton::clicked, this, &FindForm::compareSelected);
    connect(ui->ChangeAllButton, &QPushButton::clicked, this, &FindForm::changeAll);
    connect(ui->WhereUsedButton, &QPushButton::clicked, this, &FindForm::showWhereUsed);
    // Every field of the chosen records (or of every result), for a spreadsheet.
    connect(ui->ExportButton, &QPushButton::clicked, this, [this] {
        if (ctx_.navigation && model_->rowCount() > 0)
            ctx_.navigation->showExport(model_->table(), chosenRecords());
    });
    connect(ui->SaveCsvButton, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Save as CSV"), QStringLiteral("find.csv"),
                                         QStringLiteral("CSV files (*.csv);;All files (*)"));
        if (!path.isEmpty() && !saveCsv(path) && ctx_.messages)
            ctx_.messages->failure(QStringLiteral("Cannot create file %1").arg(path));
    });
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(ui->SavedSearches, &QComboBox::activated, this, [this](int index) {
        if (index > 0) loadSearch(ui->SavedSearches->itemText(index));
    });
    connect(ui->SaveSearchButton, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, QStringLiteral("Save Search"), QStringLiteral("Name:"),
                                  QLineEdit::Normal, ui->SavedSearches->currentText(), &ok)
                .trimmed();
        if (ok && !name.isEmpty()) saveSearch(name);
    });
    connect(ui->DeleteSearchButton, &QPushButton::clicked, this, [this] {
        if (ui->SavedSearches->currentIndex() > 0) deleteSearch(ui->SavedSearches->currentText());
    });
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this](const DatabaseChange& c) {
        if (c.kind == DatabaseChange::Kind::Unloaded) {
            model_->clear();
            ui->MatchCount->clear();
            return;
        }
        followChange();
    });

    tableChosen();
    fillSavedSearches();
}

FindForm::~FindForm() = default;

void FindForm::showFind()
{
    if (stale_ && ran_) runQuery();
    stale_ = false;
    show();
    raise();
    activateWindow();
    ui->QueryText->setFocus();
}

db::TableId FindForm::table() const
{
    return db::queryTableByName(ui->TableChoice->currentText().toStdString()).value_or(db::TableId::Staff);
}

db::QueryDate FindForm::ageDate() const
{
    const QDate d = ui->AgeDate->date();
    return {static_cast<std::int16_t>(d.year()), static_cast<std::uint16_t>(d.dayOfYear() - 1)};
}

void FindForm::setTableName(const QString& name)
{
    ui->TableChoice->setCurrentText(name);
}

void FindForm::tableChosen()
{
    const db::TableId t = table();
    conditions_->setTable(t);
    ui->ColumnsText->setText(columnList(db::defaultColumns(t)));
    const QSignalBlocker quiet(ui->AddColumn);
    ui->AddColumn->clear();
    ui->AddColumn->addItem(kAddColumn);
    for (const std::string& name : db::columnNames(t)) ui->AddColumn->addItem(QString::fromStdString(name));
    sort_.clear();
    ran_ = false;
    model_->clear();
    ui->MatchCount->clear();
    ui->QueryMessage->clear();
}

bool FindForm::runQuery()
{
    const db::TableId t = table();
    const db::QueryDate date = ageDate();
    db::Query query;
    std::vector<db::Column> columns;
    const char* part = "query";
    try {
        query = db::Query::parse(t, ui->QueryText->text().toUtf8().toStdString());
        part = "columns";
        const std::string columnsText = ui->ColumnsText->text().toUtf8().toStdString();
        columns = columnsText.find_first_not_of(' ') == std::string::npos ? db::defaultColumns(t)
                                                                          : db::parseColumns(t, columnsText);
    } catch (const db::QueryError& e) {
        model_->clear();
        ran_ = false;
        ui->MatchCount->clear();
        ui->QueryMessage->setText(QStringLiteral("The %1 cannot be read at position %2: %3.")
                                      .arg(QLatin1String(part))
                                      .arg(e.position() + 1)
                                      .arg(QString::fromStdString(e.message())));
        return false;
    }
    columns.insert(columns.begin(), db::resolveColumn(t, "Id"));
    // Sort keys name columns by place; other columns start unsorted.
    if (model_->columns().size() != columns.size() ||
        !std::equal(columns.begin(), columns.end(), model_->columns().begin(),
                    [](const db::Column& a, const db::Column& b) { return a.name == b.name; }))
        sort_.clear();

    std::vector<std::int32_t> ids = query.run(ctx_.db, date);
    std::vector<db::SortKey> keys;
    for (const auto& [column, descending] : sort_)
        keys.push_back({columns[static_cast<std::size_t>(column)], descending});
    db::sortRecords(ctx_.db, t, ids, keys, date);
    const std::size_t found = ids.size();
    model_->setResults(t, std::move(columns), std::move(ids), date);
    model_->setSortMarks(sort_);
    ran_ = true;
    stale_ = false;
    ui->QueryMessage->clear();
    ui->MatchCount->setText(matchText(found));
    ui->Results->resizeColumnsToContents();
    return true;
}

void FindForm::sortBy(int column, bool addKey)
{
    if (column < 0 || static_cast<std::size_t>(column) >= model_->columns().size()) return;
    auto it = std::find_if(sort_.begin(), sort_.end(), [column](const auto& k) { return k.first == column; });
    if (addKey) {
        if (it != sort_.end())
            it->second = !it->second;
        else
            sort_.emplace_back(column, false);
    } else {
        const bool descending = sort_.size() == 1 && it != sort_.end() && !it->second;
        sort_ = {{column, descending}};
    }
    applySort();
}

void FindForm::applySort()
{
    std::vector<std::int32_t> ids = model_->ids();
    std::vector<db::SortKey> keys;
    for (const auto& [column, descending] : sort_)
        keys.push_back({model_->columns()[static_cast<std::size_t>(column)], descending});
    const db::QueryDate date = ageDate();
    db::sortRecords(ctx_.db, model_->table(), ids, keys, date);
    model_->setResults(model_->table(), model_->columns(), std::move(ids), date);
    model_->setSortMarks(sort_);
}

// Runs the query again after the database changed, once for a burst of
// changes, keeping the selected records selected and the top row in view.
void FindForm::followChange()
{
    if (!ran_) return;
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    if (rerunPending_) return;
    rerunPending_ = true;
    QTimer::singleShot(0, this, [this] {
        rerunPending_ = false;
        if (!ran_) return;
        const bool someSelected = ui->Results->selectionModel()->hasSelection();
        std::vector<std::int32_t> wanted = someSelected ? chosenRecords() : std::vector<std::int32_t>();
        const std::int32_t top = model_->idAt(ui->Results->rowAt(0));
        if (!runQuery()) return;
        if (const int row = model_->rowOf(top); row >= 0)
            ui->Results->scrollTo(model_->index(row, 0), QAbstractItemView::PositionAtTop);
        if (!someSelected) return;
        // One pass over the rows, not a search of them per selected record,
        // and one range per run of selected rows.
        std::sort(wanted.begin(), wanted.end());
        QItemSelection keep;
        const std::vector<std::int32_t>& ids = model_->ids();
        const int last = model_->columnCount() - 1;
        int runStart = -1;
        for (int row = 0; row <= static_cast<int>(ids.size()); ++row) {
            const bool in =
                row < static_cast<int>(ids.size()) &&
                std::binary_search(wanted.begin(), wanted.end(), ids[static_cast<std::size_t>(row)]);
            if (in && runStart < 0) runStart = row;
            if (!in && runStart >= 0) {
                keep.select(model_->index(runStart, 0), model_->index(row - 1, last));
                runStart = -1;
            }
        }
        ui->Results->selectionModel()->select(keep, QItemSelectionModel::ClearAndSelect);
    });
}

std::vector<std::int32_t> FindForm::chosenRecords() const
{
    const QModelIndexList rows = ui->Results->selectionModel()->selectedRows();
    if (rows.isEmpty()) return model_->ids();
    std::vector<int> positions;
    for (const QModelIndex& i : rows) positions.push_back(i.row());
    std::sort(positions.begin(), positions.end());
    std::vector<std::int32_t> out;
    for (int row : positions) out.push_back(model_->idAt(row));
    return out;
}

void FindForm::openRecord(int row)
{
    const std::int32_t id = model_->idAt(row);
    if (id < 0 || !ctx_.navigation) return;
    ctx_.navigation->goToRecord(ctx_.db, model_->table(), static_cast<std::size_t>(id));
}

void FindForm::compareSelected()
{
    const QModelIndexList rows = ui->Results->selectionModel()->selectedRows();
    if (rows.size() != 2) {
        if (ctx_.messages) ctx_.messages->information(QStringLiteral("Select two records to compare."));
        return;
    }
    if (!compare_) compare_ = new CompareRecordsForm(ctx_, this);
    const int a = std::min(rows[0].row(), rows[1].row());
    const int b = std::max(rows[0].row(), rows[1].row());
    compare_->compare(model_->table(), model_->idAt(a), model_->idAt(b));
}

void FindForm::changeAll()
{
    if (model_->rowCount() == 0) return;
    if (!changeAll_) changeAll_ = new ChangeAllForm(ctx_, this);
    changeAll_->open(model_->table(), chosenRecords());
}

void FindForm::showWhereUsed()
{
    const std::int32_t id = model_->idAt(ui->Results->currentIndex().row());
    if (id < 0 || !ctx_.navigation) return;
    ctx_.navigation->showWhereUsed(model_->table(), static_cast<std::size_t>(id));
}

QString FindForm::sortText() const
{
    QStringList keys;
    for (const auto& [column, descending] : sort_)
        keys << (descending ? QStringLiteral("-") : QString()) +
                    QString::fromStdString(model_->columns()[static_cast<std::size_t>(column)].name);
    return keys.join(QLatin1Char(','));
}

void FindForm::saveSearch(const QString& name)
{
    QSettings settings;
    QVariantMap searches = settings.value(kSavedSearches).toMap();
    searches.insert(name, QStringList{ui->TableChoice->currentText(), ui->QueryText->text(),
                                      ui->ColumnsText->text(), sortText()});
    settings.setValue(kSavedSearches, searches);
    fillSavedSearches();
    ui->SavedSearches->setCurrentText(name);
}

bool FindForm::loadSearch(const QString& name)
{
    const QStringList search = QSettings().value(kSavedSearches).toMap().value(name).toStringList();
    if (search.size() < 4 || ui->TableChoice->findText(search[0]) < 0) return false;
    setTableName(search[0]);
    ui->QueryText->setText(search[1]);
    ui->ColumnsText->setText(search[2]);
    if (!runQuery()) return false;
    sort_.clear();
    for (const QString& key : search[3].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const bool descending = key.startsWith(QLatin1Char('-'));
        const std::string column = (descending ? key.mid(1) : key).toStdString();
        for (std::size_t k = 0; k < model_->columns().size(); ++k)
            if (model_->columns()[k].name == column) sort_.emplace_back(static_cast<int>(k), descending);
    }
    applySort();
    ui->SavedSearches->setCurrentText(name);
    return true;
}

void FindForm::deleteSearch(const QString& name)
{
    QSettings settings;
    QVariantMap searches = settings.value(kSavedSearches).toMap();
    searches.remove(name);
    settings.setValue(kSavedSearches, searches);
    fillSavedSearches();
}

QStringList FindForm::savedSearchNames()
{
    return QSettings().value(kSavedSearches).toMap().keys();
}

void FindForm::fillSavedSearches()
{
    const QSignalBlocker quiet(ui->SavedSearches);
    ui->SavedSearches->clear();
    ui->SavedSearches->addItem(QString());
    ui->SavedSearches->addItems(savedSearchNames());
}

bool FindForm::saveCsv(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    std::string out;
    auto flush = [&] {
        const bool ok =
            file.write(out.data(), static_cast<qint64>(out.size())) == static_cast<qint64>(out.size());
        out.clear();
        return ok;
    };
    const int columns = model_->columnCount();
    for (int c = 0; c < columns; ++c)
        out += (c ? "," : "") + db::csvField(model_->columns()[static_cast<std::size_t>(c)].name);
    out += "\r\n";
    for (int row = 0; row < model_->rowCount(); ++row) {
        for (int c = 0; c < columns; ++c)
            out += (c ? "," : "") + db::csvField(db::win1252ToUtf8(model_->rawText(row, c)));
        out += "\r\n";
        if (out.size() > (1 << 20) && !flush()) return false;
    }
    return flush() && file.commit();
}

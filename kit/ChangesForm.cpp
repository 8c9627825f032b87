#include "ChangesForm.h"

#include <QAbstractTableModel>
#include <QFileDialog>
#include <QHeaderView>
#include <QSaveFile>

#include "kit/AppContext.h"
#include "kit/EditHistory.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "ui_ChangesForm.h"

namespace {

class ChangesModel : public QAbstractTableModel {
public:
    explicit ChangesModel(const std::vector<db::ChangeText>& lines, QObject* parent)
        : QAbstractTableModel(parent), lines_(lines)
    {
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 6;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
        const db::ChangeText& l = lines_[static_cast<std::size_t>(index.row())];
        const std::string* cells[] = {&l.table, &l.record, &l.name, &l.field, &l.oldValue, &l.newValue};
        return fromRaw(*cells[index.column()]);
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        static const char* const titles[] = {"Table", "Record", "Name", "Field", "Old value", "New value"};
        if (role != Qt::DisplayRole || o != Qt::Horizontal || section < 0 || section >= 6) return {};
        return QString::fromLatin1(titles[section]);
    }

private:
    const std::vector<db::ChangeText>& lines_;
};

}  // namespace

ChangesForm::ChangesForm(EditHistory& history, QWidget* parent)
    : QDialog(parent), history_(history), ui(std::make_unique<Ui::ChangesForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    auto* model = new ChangesModel(lines_, this);
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
    static_cast<ChangesModel*>(model_)->reset();
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
    std::int64_t staffId = -1;
    switch (e.table) {
        case db::TableId::Clubs:
            if (ctx.navigation) ctx.navigation->goToClub(static_cast<int>(e.record));
            return;
        case db::TableId::Staff:
            staffId = static_cast<std::int64_t>(e.record);
            break;
        case db::TableId::Players:
        case db::TableId::NonPlayers:
            staffId = db::RecordNamer(ctx.db).ownerOf(e.table, e.record);
            break;
        default:
            return;
    }
    if (staffId >= 0 && ctx.navigation) ctx.navigation->showStaff(static_cast<int>(staffId));
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

#include "CompareForm.h"

#include <QAbstractTableModel>
#include <QFileDialog>
#include <QHeaderView>
#include <QSaveFile>

#include "db/exchange/Update.h"
#include "db/exchange/json/UpdateJson.h"
#include "db/storage/Storage.h"
#include "kit/AppContext.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "ui_CompareForm.h"

namespace {

std::function<QString(QWidget*)>& chooser()
{
    static std::function<QString(QWidget*)> c;
    return c;
}

class DifferencesModel : public QAbstractTableModel {
public:
    DifferencesModel(const std::vector<db::ChangeText>& lines, QObject* parent)
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
        static const char* const titles[] = {"Table", "Record", "Name", "Field", "Its value", "Ours"};
        if (role != Qt::DisplayRole || o != Qt::Horizontal || section < 0 || section >= 6) return {};
        return QString::fromLatin1(titles[section]);
    }

private:
    const std::vector<db::ChangeText>& lines_;
};

bool writeFile(const QString& path, const std::string& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
           file.commit();
}

}  // namespace

CompareForm::CompareForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::CompareForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    auto* model = new DifferencesModel(lines_, this);
    model_ = model;
    ui->DifferencesList->setModel(model);
    ui->DifferencesList->verticalHeader()->hide();
    ui->DifferencesList->horizontalHeader()->setStretchLastSection(true);
    connect(ui->SaveUpdateButton, &QPushButton::clicked, this, &CompareForm::SaveUpdateButtonClick);
    connect(ui->SaveCsvButton, &QPushButton::clicked, this, &CompareForm::SaveCsvButtonClick);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
}

CompareForm::~CompareForm() = default;

bool CompareForm::compareWith(const QString& gameDir)
{
    const std::string dir = QFile::encodeName(gameDir).toStdString();
    db::Database other;
    try {
        db::readIndex(other, dir);
        db::NullProgress progress;
        // No player templates: the game's tables all come before them.
        try {
            db::loadDatabase(other, dir, "", progress);
        } catch (const db::Error&) {
            if (!other.stepComplete(db::LoadStep::Players)) throw;
        }
    } catch (const std::exception& e) {
        if (ctx_.messages)
            ctx_.messages->error(
                QStringLiteral("Cannot load %1: %2").arg(gameDir, QFile::decodeName(QByteArray(e.what()))));
        return false;
    }
    other_ = std::move(other);
    const db::DatabaseImage theirs = db::savedTablesImage(other_);
    const std::vector<db::ChangeEntry> entries = db::listChanges(theirs, ctx_.db, {});
    const db::RecordNamer namer(ctx_.db);
    lines_.clear();
    lines_.reserve(entries.size());
    for (const db::ChangeEntry& e : entries) lines_.push_back(db::describeChange(e, theirs, ctx_.db, namer));
    static_cast<DifferencesModel*>(model_)->reset();
    ui->Summary->setText(lines_.empty()
                             ? QStringLiteral("The loaded database holds what %1 holds.").arg(gameDir)
                             : QStringLiteral("%1 differences between %2 and the loaded database.")
                                   .arg(lines_.size())
                                   .arg(gameDir));
    ui->DifferencesList->resizeColumnsToContents();
    return true;
}

bool CompareForm::saveUpdate(const QString& path)
{
    std::string text;
    try {
        text = db::encodeUpdate(db::diffDatabases(other_, ctx_.db));
    } catch (const db::Error& e) {
        if (ctx_.messages) ctx_.messages->error(fromRaw(e.what()) + QLatin1Char('.'));
        return false;
    }
    if (writeFile(path, text)) return true;
    if (ctx_.messages) ctx_.messages->failure(QStringLiteral("Cannot create file %1").arg(path));
    return false;
}

bool CompareForm::saveCsv(const QString& path)
{
    if (writeFile(path, db::changesCsv(lines_))) return true;
    if (ctx_.messages) ctx_.messages->failure(QStringLiteral("Cannot create file %1").arg(path));
    return false;
}

void CompareForm::SaveUpdateButtonClick()
{
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save as Update"), QStringLiteral("update.json"),
                                     QStringLiteral("Quarn db updates (*.json);;All files (*)"));
    if (!path.isEmpty()) saveUpdate(path);
}

void CompareForm::SaveCsvButtonClick()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the differences"),
                                                      QStringLiteral("differences.csv"),
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty()) saveCsv(path);
}

void compareWithFolder(AppContext& ctx, QWidget* parent)
{
    const QString dir =
        chooser() ? chooser()(parent)
                  : QFileDialog::getExistingDirectory(parent, QStringLiteral("Compare with Folder"));
    if (dir.isEmpty()) return;
    auto* form = parent ? parent->findChild<CompareForm*>(QStringLiteral("CompareForm")) : nullptr;
    if (!form) {
        form = new CompareForm(ctx, parent);
        form->setObjectName(QStringLiteral("CompareForm"));
    }
    if (form->compareWith(dir)) form->show();
}

void setCompareFolderChooser(std::function<QString(QWidget*)> c)
{
    chooser() = std::move(c);
}

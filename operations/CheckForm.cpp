#include "CheckForm.h"

#include <QHeaderView>
#include <QTimer>
#include <algorithm>

#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/QtText.h"
#include "kit/TextTableModel.h"
#include "ui_CheckForm.h"

namespace {

QString gradeText(db::Grade g)
{
    const std::string_view w = db::gradeWord(g);
    return QString::fromLatin1(w.data(), static_cast<qsizetype>(w.size()));
}

}  // namespace

CheckForm::CheckForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::CheckForm>())
{
    ui->setupUi(this);
    model_ = new TextTableModel({QStringLiteral("Grade"), QStringLiteral("Table"), QStringLiteral("Record"),
                                 QStringLiteral("Name"), QStringLiteral("Field"), QStringLiteral("Problem")},
                                this);
    ui->ProblemList->setModel(model_);
    ui->ProblemList->verticalHeader()->hide();
    ui->ProblemList->horizontalHeader()->setStretchLastSection(true);
    connect(ui->ProblemList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { showRecordOf(index.row()); });
    connect(ui->GradeFilter, &QComboBox::currentIndexChanged, this, &CheckForm::refresh);
    connect(ui->SaveCsvButton, &QPushButton::clicked, this,
            [this] { saveTableAsCsv(this, *model_, QStringLiteral("problems.csv"), ctx_.messages); });
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    // Many changes in a row (an update, several undos) cost one check.
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this] {
        if (!isVisible() || refreshPending_) return;
        refreshPending_ = true;
        QTimer::singleShot(0, this, [this] {
            refreshPending_ = false;
            if (isVisible()) refresh();
        });
    });
}

CheckForm::~CheckForm() = default;

void CheckForm::showProblems(int grade)
{
    ui->GradeFilter->setCurrentIndex(grade < 0 ? 0 : grade + 1);
    refresh();
    show();
    raise();
    activateWindow();
}

void CheckForm::refresh()
{
    problems_ = db::checkRecords(ctx_.db);
    // Sorted by table, then record; the checker's order within a record.
    std::stable_sort(problems_.begin(), problems_.end(), [](const db::Problem& a, const db::Problem& b) {
        return std::tie(a.table, a.record) < std::tie(b.table, b.record);
    });
    const int filter = ui->GradeFilter->currentIndex() - 1;
    shown_.clear();
    std::vector<QStringList> rows;
    for (const db::Problem& p : problems_) {
        if (filter >= 0 && static_cast<int>(p.grade) != filter) continue;
        shown_.push_back(p);
        rows.push_back({gradeText(p.grade), fromRaw(p.table),
                        p.record < 0 ? QString() : QString::number(p.record), fromRaw(p.recordName),
                        fromRaw(p.field), fromRaw(p.message)});
    }
    model_->setRows(std::move(rows));
    ui->Summary->setText(
        shown_.empty() ? QStringLiteral("No problems found.")
                       : QStringLiteral("%1 of %2 problems shown.").arg(shown_.size()).arg(problems_.size()));
    ui->ProblemList->resizeColumnsToContents();
}

void CheckForm::showRecordOf(int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size() || !ctx_.navigation) return;
    const db::Problem& p = shown_[static_cast<std::size_t>(row)];
    if (p.record < 0 || p.tableId == db::TableId::Count) return;
    ctx_.navigation->goToRecord(ctx_.db, p.tableId, static_cast<std::size_t>(p.record), p.fieldInfo);
}

std::vector<std::string> damageLines(const db::Database& d)
{
    std::vector<std::string> lines;
    for (const db::Problem& p : db::checkRecords(d))
        if (p.grade == db::Grade::Damage) lines.push_back(p.line());
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<db::Problem> newDamage(const db::Database& d, const std::vector<std::string>& before)
{
    std::vector<db::Problem> out;
    for (db::Problem& p : db::checkRecords(d))
        if (p.grade == db::Grade::Damage && !std::binary_search(before.begin(), before.end(), p.line()))
            out.push_back(std::move(p));
    return out;
}

#include "NamesForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/EditStep.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "kit/WindowUtil.h"
#include "staff/StaffPage.h"
#include "ui_NamesForm.h"

NamesForm::NamesForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::NamesForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
    attachModel(ui->Nation);
    connect(ui->Button1, &QPushButton::clicked, this, &NamesForm::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &NamesForm::Button2Click);
    followLoads(ctx_.events, this);
}

NamesForm::~NamesForm() = default;

void NamesForm::fillLists()
{
    // Every nation in table order; this list has no extra "none" entry.
    std::vector<RecordListModel::Row> rows;
    rows.reserve(ctx_.db.nations.size());
    for (std::size_t i = 0; i < ctx_.db.nations.size(); ++i)
        rows.push_back({fromRaw(ctx_.db.nations[i].text(db::NationRecord::NationName)), static_cast<int>(i)});
    recordModel(ui->Nation)->setRows(std::move(rows));
    ui->Nation->setCurrentIndex(-1);
}

void NamesForm::clearLists()
{
    recordModel(ui->Nation)->clear();
}

void NamesForm::open(int kind)
{
    kind_ = kind;
    // Mirror the staff page's nation; its extra "<unknown>" entry has no
    // counterpart here and selects nothing.
    int nation = -1;
    if (ctx_.staffPage)
        if (auto* staffNation = ctx_.staffPage->findChild<QComboBox*>(QStringLiteral("StaffNation")))
            nation = staffNation->currentIndex();
    ui->Nation->setCurrentIndex(nation >= 0 && nation < ui->Nation->count() ? nation : -1);

    centerOnScreen(this);
    show();
    raise();
    activateWindow();
}

void NamesForm::Button1Click()
{
    if (kind_ < 0 || kind_ > 2) return;
    const QString text = ui->Name->text();
    if (text.trimmed().isEmpty()) return;
    const auto kind = static_cast<db::NameKind>(kind_);
    // The staff page lists and chooses the new name when the step announces it.
    const EditStep step(ctx_, QStringLiteral("New Name"));
    try {
        ctx_.db.appendName(kind, toRaw(text));
    } catch (const db::Error& e) {
        // The index was not read: nothing was appended.
        if (ctx_.messages) ctx_.messages->failure(QString::fromStdString(e.what()));
        return;
    }
    hide();
}

void NamesForm::Button2Click()
{
    hide();
}

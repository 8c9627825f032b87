#include "WizForm.h"

#include <vector>

#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/Messages.h"
#include "kit/QtText.h"
#include "kit/RecordListModel.h"
#include "kit/WindowUtil.h"
#include "operations/AddStaff.h"
#include "ui_WizForm.h"

WizForm::WizForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::WizForm>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
    attachModel(ui->ListBox1);
    ui->ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ui->Button1, &QPushButton::clicked, this, &WizForm::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &WizForm::Button2Click);
    followLoads(ctx_.events, this);
}

WizForm::~WizForm() = default;

void WizForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centerOnScreen(this);
}

void WizForm::fillLists()
{
    std::vector<RecordListModel::Row> rows;
    rows.reserve(ctx_.db.wizardTemplates.size());
    for (std::size_t i = 0; i < ctx_.db.wizardTemplates.size(); ++i)
        rows.push_back({fromRaw(ctx_.db.wizardTemplates[i].text(db::WizardTemplate::TemplateName)),
                        static_cast<int>(i)});
    recordModel(ui->ListBox1)->setRows(std::move(rows));
}

void WizForm::clearLists()
{
    recordModel(ui->ListBox1)->clear();
}

void WizForm::setRandomSource(std::function<db::RandomAddition()> makeSource)
{
    if (makeSource) makeSource_ = std::move(makeSource);
}

void WizForm::Button1Click()
{
    const int record = recordModel(ui->ListBox1)->recordAt(selectedRow(ui->ListBox1));
    if (!db::isValidRef(record, ctx_.db.wizardTemplates.size())) {
        // Nothing to build from: leave every table and list alone.
        ctx_.messages->warning(QStringLiteral("Choose a template first!"));
        return;
    }
    if (AddWizardPlayer(ctx_, record, makeSource_()) >= 0) hide();
}

void WizForm::Button2Click()
{
    hide();
}

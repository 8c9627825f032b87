#include "CompareRecordsForm.h"

#include <QHeaderView>

#include "db/format/FieldCatalog.h"
#include "kit/AppContext.h"
#include "kit/DatabaseEvents.h"
#include "kit/QtText.h"
#include "kit/TextTableModel.h"
#include "ui_CompareRecordsForm.h"

namespace {

// Every element of a field, lists joined as the Find window shows them.
QString fieldText(const db::Database& d, const db::FieldInfo& f, const std::uint8_t* record)
{
    QStringList parts;
    for (int e = 0; e < f.count; ++e) parts << fromRaw(db::formatValue(d, f, e, record));
    return parts.join(QStringLiteral(", "));
}

}  // namespace

CompareRecordsForm::CompareRecordsForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui(std::make_unique<Ui::CompareRecordsForm>())
{
    ui->setupUi(this);
    model_ = new TextTableModel({QString(), QStringLiteral("Field"), QString(), QString()}, this);
    ui->CompareList->setModel(model_);
    ui->CompareList->verticalHeader()->hide();
    ui->CompareList->horizontalHeader()->setStretchLastSection(true);
    connect(ui->DifferencesOnly, &QCheckBox::toggled, this, &CompareRecordsForm::refresh);
    connect(ui->CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(&ctx_.events, &DatabaseEvents::changed, this, [this] {
        if (isVisible()) refresh();
    });
}

CompareRecordsForm::~CompareRecordsForm() = default;

const std::vector<QStringList>& CompareRecordsForm::rows() const
{
    return model_->rows();
}

void CompareRecordsForm::compare(db::TableId t, std::int32_t a, std::int32_t b)
{
    table_ = t;
    a_ = a;
    b_ = b;
    refresh();
    show();
    raise();
    activateWindow();
}

void CompareRecordsForm::refresh()
{
    const db::Database& d = ctx_.db;
    const std::size_t size = db::tableSize(d, table_);
    std::vector<QStringList> rows;
    if (a_ < 0 || b_ < 0 || static_cast<std::size_t>(a_) >= size || static_cast<std::size_t>(b_) >= size) {
        // A record undone away since: nothing left to compare.
        model_->setRows({});
        ui->Summary->setText(QStringLiteral("The records are no longer in the database."));
        return;
    }
    const db::RecordNamer namer(d);
    const QString nameA = fromRaw(namer.name(table_, static_cast<std::size_t>(a_)));
    const QString nameB = fromRaw(namer.name(table_, static_cast<std::size_t>(b_)));
    const std::uint8_t* recA = db::recordData(d, table_, static_cast<std::size_t>(a_));
    const std::uint8_t* recB = db::recordData(d, table_, static_cast<std::size_t>(b_));
    int differences = 0;
    for (const db::FieldInfo& f : db::fieldsOf(table_)) {
        if (!f.named()) continue;
        const QString va = fieldText(d, f, recA);
        const QString vb = fieldText(d, f, recB);
        const bool differs = va != vb;
        differences += differs;
        if (differs || !ui->DifferencesOnly->isChecked())
            rows.push_back({differs ? QStringLiteral("\u2260") : QString(), fromRaw(f.name), va, vb});
    }
    model_->setTitles({QString(), QStringLiteral("Field"), QStringLiteral("#%1 %2").arg(a_).arg(nameA),
                       QStringLiteral("#%1 %2").arg(b_).arg(nameB)});
    model_->setRows(std::move(rows));
    setWindowTitle(QStringLiteral("Compare: %1 and %2").arg(nameA, nameB));
    ui->Summary->setText(differences == 1 ? QStringLiteral("1 field differs.")
                                          : QStringLiteral("%1 fields differ.").arg(differences));
    ui->CompareList->resizeColumnsToContents();
}

#include "FindConditions.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QRegularExpression>
#include <QStringList>

#include "db/format/FieldCatalog.h"
#include "db/query/Query.h"
#include "kit/QtText.h"

namespace {

const QStringList kOperators = {
    QStringLiteral("="),           QStringLiteral("<>"),      QStringLiteral("<"),
    QStringLiteral("<="),          QStringLiteral(">"),       QStringLiteral(">="),
    QStringLiteral("between"),     QStringLiteral("in"),      QStringLiteral("contains"),
    QStringLiteral("starts with"), QStringLiteral("is none"), QStringLiteral("is not none")};

// Pick lists of referenced records stay short enough to open at once;
// longer tables (staff, at any size) are typed.
constexpr std::size_t kMostNamesListed = 5000;

QString quoted(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QComboBox* makeCombo(QWidget* parent, const QString& name, bool editable)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    if (editable && box->completer()) {
        box->completer()->setCompletionMode(QCompleter::PopupCompletion);
        box->completer()->setFilterMode(Qt::MatchContains);
        box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    }
    return box;
}

}  // namespace

FindConditions::FindConditions(const db::Database& d, QWidget* area, QObject* parent)
    : QObject(parent), db_(d), area_(area), grid_(new QGridLayout(area))
{
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setColumnStretch(1, 2);
    grid_->setColumnStretch(3, 2);
    grid_->setColumnStretch(4, 1);
}

void FindConditions::setTable(db::TableId t)
{
    table_ = t;
    while (!rows_.empty()) removeRow();
    addRow();
}

void FindConditions::addRow()
{
    const int n = static_cast<int>(rows_.size()) + 1;
    const QString k = QString::number(n);
    Row r{makeCombo(area_, QStringLiteral("ConditionJoin") + k, false),
          makeCombo(area_, QStringLiteral("ConditionField") + k, true),
          makeCombo(area_, QStringLiteral("ConditionOperator") + k, false),
          makeCombo(area_, QStringLiteral("ConditionValue") + k, true),
          makeCombo(area_, QStringLiteral("ConditionValueTo") + k, true)};
    r.join->addItems({QStringLiteral("and"), QStringLiteral("or")});
    r.join->setMinimumContentsLength(3);
    r.join->setVisible(n > 1);
    r.field->addItem(QString());
    for (const std::string& name : db::columnNames(table_)) r.field->addItem(QString::fromStdString(name));
    r.field->setCurrentIndex(0);
    r.op->addItems(kOperators);
    r.op->setMinimumContentsLength(9);
    grid_->addWidget(r.join, n - 1, 0);
    grid_->addWidget(r.field, n - 1, 1);
    grid_->addWidget(r.op, n - 1, 2);
    grid_->addWidget(r.value, n - 1, 3);
    grid_->addWidget(r.to, n - 1, 4);
    rows_.push_back(r);
    showParts(rows_.back());

    const std::size_t index = rows_.size() - 1;
    auto edited = [this] { emit changed(); };
    connect(r.join, &QComboBox::currentIndexChanged, this, edited);
    connect(r.field, &QComboBox::currentTextChanged, this, [this, index] {
        fillValues(rows_[index]);
        emit changed();
    });
    connect(r.op, &QComboBox::currentIndexChanged, this, [this, index] {
        showParts(rows_[index]);
        emit changed();
    });
    connect(r.value, &QComboBox::currentTextChanged, this, edited);
    connect(r.to, &QComboBox::currentTextChanged, this, edited);
    emit changed();
}

void FindConditions::removeRow()
{
    if (rows_.empty()) return;
    const Row r = rows_.back();
    rows_.pop_back();
    for (QComboBox* box : {r.join, r.field, r.op, r.value, r.to}) {
        grid_->removeWidget(box);
        box->deleteLater();
    }
    emit changed();
}

void FindConditions::setRow(int k, const QString& field, const QString& op, const QString& value,
                            const QString& to, bool orJoin)
{
    while (rowCount() <= k) addRow();
    Row& r = rows_[static_cast<std::size_t>(k)];
    r.join->setCurrentIndex(orJoin ? 1 : 0);
    r.field->setCurrentText(field);
    r.op->setCurrentIndex(std::max(0, static_cast<int>(kOperators.indexOf(op))));
    r.value->setCurrentText(value);
    r.to->setCurrentText(to);
}

void FindConditions::showParts(Row& r)
{
    const QString op = r.op->currentText();
    r.value->setVisible(!op.startsWith(QStringLiteral("is ")));
    r.to->setVisible(op == QStringLiteral("between"));
}

QStringList valueChoices(const db::Database& d, const db::FieldInfo& f)
{
    QStringList items;
    if (f.kind == db::FieldKind::Code) {
        for (std::string_view caption : f.captions) items << fromRaw(caption);
    } else if (f.kind == db::FieldKind::Reference && f.target != db::TableId::Count) {
        const std::size_t n = db::tableSize(d, f.target);
        if (n <= kMostNamesListed) {
            const db::RecordNamer namer(d);
            for (std::size_t i = 0; i < n; ++i)
                if (QString name = fromRaw(namer.name(f.target, i)); !name.isEmpty()) items << name;
            items.removeDuplicates();
            items.sort(Qt::CaseInsensitive);
        }
    } else if (f.kind == db::FieldKind::Flag) {
        items << QStringLiteral("Yes") << QStringLiteral("No");
    }
    return items;
}

// The pick list of values that suit the row's field.
void FindConditions::fillValues(Row& r)
{
    QStringList items;
    try {
        const db::Column c = db::resolveColumn(table_, r.field->currentText().toStdString());
        if (c.source == db::Column::Source::Field && c.field) items = valueChoices(db_, *c.field);
    } catch (const db::QueryError&) {
        // A field being typed: no pick list until it names one.
    }
    for (QComboBox* box : {r.value, r.to}) {
        const QString kept = box->currentText();
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(items);
        box->setCurrentText(kept);
    }
}

QString FindConditions::valueText(const Row& r, const QString& value) const
{
    static const QRegularExpression number(QStringLiteral("^-?\\d+$"));
    const QString v = value.trimmed();
    bool textual = false;
    try {
        const db::Column c = db::resolveColumn(table_, r.field->currentText().toStdString());
        textual = c.source == db::Column::Source::Name ||
                  (c.field && (c.field->kind == db::FieldKind::Text || c.field->kind == db::FieldKind::Date));
    } catch (const db::QueryError&) {
    }
    return !textual && number.match(v).hasMatch() ? v : quoted(v);
}

QString FindConditions::rowText(const Row& r) const
{
    const QString field = r.field->currentText().trimmed();
    if (field.isEmpty()) return {};
    const QString op = r.op->currentText();
    if (op.startsWith(QStringLiteral("is "))) return field + QLatin1Char(' ') + op;
    if (op == QStringLiteral("between"))
        return QStringLiteral("%1 between %2 and %3")
            .arg(field, valueText(r, r.value->currentText()), valueText(r, r.to->currentText()));
    if (op == QStringLiteral("in")) {
        QStringList items;
        for (const QString& item : r.value->currentText().split(QLatin1Char(','), Qt::SkipEmptyParts))
            items << valueText(r, item);
        return QStringLiteral("%1 in (%2)").arg(field, items.join(QStringLiteral(", ")));
    }
    if (op == QStringLiteral("contains") || op == QStringLiteral("starts with"))
        return QStringLiteral("%1 %2 %3").arg(field, op, quoted(r.value->currentText().trimmed()));
    return QStringLiteral("%1 %2 %3").arg(field, op, valueText(r, r.value->currentText()));
}

QString FindConditions::queryText() const
{
    QString out;
    for (const Row& r : rows_) {
        const QString text = rowText(r);
        if (text.isEmpty()) continue;
        if (!out.isEmpty()) out += QLatin1Char(' ') + r.join->currentText() + QLatin1Char(' ');
        out += text;
    }
    return out;
}

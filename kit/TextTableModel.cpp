#include "TextTableModel.h"

#include <QFileDialog>
#include <QSaveFile>

#include "db/rules/TextRules.h"
#include "kit/Messages.h"

namespace {

void appendLine(QByteArray& out, const QStringList& cells)
{
    for (qsizetype k = 0; k < cells.size(); ++k) {
        if (k) out += ',';
        out += QByteArray::fromStdString(db::csvField(cells[k].toUtf8().toStdString()));
    }
    out += "\r\n";
}

}  // namespace

QByteArray TextTableModel::csv() const
{
    QByteArray out;
    appendLine(out, titles_);
    for (const QStringList& row : rows_) appendLine(out, row);
    return out;
}

bool saveTableAsCsv(QWidget* parent, const TextTableModel& model, const QString& suggested, MessageSink* messages)
{
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save as CSV"), suggested,
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty()) return false;
    const QByteArray bytes = model.csv();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (messages) messages->failure(QStringLiteral("Cannot create file %1").arg(path));
        return false;
    }
    return true;
}

#include "Messages.h"

#include <QMessageBox>

QString MessageSink::failureText(const QString& text)
{
    if (!text.isEmpty() && text.back() > QChar('.')) return text + QLatin1Char('.');
    return text;
}

void BoxMessages::show(Kind kind, const QString& text)
{
    switch (kind) {
    case Kind::Information: QMessageBox::information(parent_, QStringLiteral("Information"), text); break;
    case Kind::Warning: QMessageBox::warning(parent_, QStringLiteral("Warning"), text); break;
    case Kind::Error: QMessageBox::critical(parent_, QStringLiteral("Error"), text); break;
    case Kind::Failure: QMessageBox::critical(parent_, QStringLiteral("Quarn db"), text); break;
    }
}

QStringList RecordingMessages::texts() const
{
    QStringList out;
    for (const Shown& s : shown) out << s.text;
    return out;
}

#include "Messages.h"

#include <QMessageBox>
#include <QPushButton>

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
    case Kind::Question: QMessageBox::question(parent_, QStringLiteral("Confirm"), text); break;
    }
}

MessageSink::Answer BoxMessages::ask(const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton, parent_);
    QPushButton* save = box.addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return Answer::Save;
    if (box.clickedButton() == discard) return Answer::DontSave;
    return Answer::Cancel;
}

MessageSink::Answer RecordingMessages::ask(const QString& text)
{
    shown.push_back({Kind::Question, text});
    if (answers.empty()) return Answer::Cancel;
    const Answer a = answers.front();
    answers.erase(answers.begin());
    return a;
}

QStringList RecordingMessages::texts() const
{
    QStringList out;
    for (const Shown& s : shown) out << s.text;
    return out;
}

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
    QMessageBox::Icon icon = QMessageBox::Critical;
    QString caption = QStringLiteral("Error");
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
    case Kind::Information: icon = QMessageBox::Information, caption = QStringLiteral("Information"); break;
    case Kind::Warning: icon = QMessageBox::Warning, caption = QStringLiteral("Warning"); break;
    case Kind::Error: break;
    case Kind::Failure: caption = QStringLiteral("Quarn db"); break;
    case Kind::Question:
        icon = QMessageBox::Question, caption = QStringLiteral("Confirm"), buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    }
    QMessageBox box(icon, caption, text, buttons, parent_);
    // The status window and the dialogs stay on top; a box that did not
    // would come up underneath them, out of sight yet holding the keyboard.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

MessageSink::Answer BoxMessages::ask(Question question, const QString& text)
{
    const bool damage = question == Question::DamagingSave;
    QMessageBox box(damage ? QMessageBox::Warning : QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::NoButton, parent_);
    QPushButton* save =
        box.addButton(damage ? QStringLiteral("Save anyway") : QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(damage ? QStringLiteral("Show the problems") : QStringLiteral("Don't Save"),
                                         damage ? QMessageBox::ActionRole : QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);  // as in show()
    box.exec();
    if (box.clickedButton() == save) return Answer::Save;
    if (box.clickedButton() == discard) return damage ? Answer::ShowProblems : Answer::DontSave;
    return Answer::Cancel;
}

MessageSink::Answer RecordingMessages::ask(Question, const QString& text)
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

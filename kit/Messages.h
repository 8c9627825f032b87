#pragma once

// Every message box of the program goes through this interface, so that the
// windows never block on QMessageBox themselves and tests can record what
// would have been shown.

#include <QString>
#include <vector>

class QWidget;

class MessageSink {
public:
    enum class Kind { Information, Warning, Error, Failure, Question };
    // The buttons of a question box.
    enum class Answer { Save, DontSave, Cancel, ShowProblems };
    enum class Question { SaveBeforeQuit, DamagingSave };

    virtual ~MessageSink() = default;

    // Information, warning and error boxes: caption "Information", "Warning"
    // or "Error", the matching icon and one OK button.
    void information(const QString& text) { show(Kind::Information, text); }
    void warning(const QString& text) { show(Kind::Warning, text); }
    void error(const QString& text) { show(Kind::Error, text); }

    // The error box for a failed operation: caption "Quarn db", stop icon,
    // the message with a full stop appended when its last character's code is
    // above '.'.
    void failure(const QString& text) { show(Kind::Failure, failureText(text)); }

    static QString failureText(const QString& text);

    // A question with the buttons Save, Don't Save and Cancel (caption
    // "Confirm", question icon). A sink that cannot ask answers Cancel, so
    // nothing is ever thrown away unasked.
    Answer askToSave(const QString& text) { return ask(Question::SaveBeforeQuit, text); }
    // Before a save that would write damage the files did not have: "Save
    // anyway" (Save), "Show the problems" (ShowProblems) and "Cancel".
    Answer askBeforeDamagingSave(const QString& text) { return ask(Question::DamagingSave, text); }

protected:
    virtual void show(Kind kind, const QString& text) = 0;
    virtual Answer ask(Question, const QString&) { return Answer::Cancel; }
};

// Real modal message boxes.
class BoxMessages : public MessageSink {
public:
    explicit BoxMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

protected:
    void show(Kind kind, const QString& text) override;
    Answer ask(Question question, const QString& text) override;

private:
    QWidget* parent_;
};

// Records messages instead of showing them (tests).
class RecordingMessages : public MessageSink {
public:
    struct Shown {
        Kind kind;
        QString text;
    };
    std::vector<Shown> shown;
    // The answers to the next questions, first one first; Cancel when none is left.
    std::vector<Answer> answers;

    QStringList texts() const;
    void clear() { shown.clear(); }

protected:
    void show(Kind kind, const QString& text) override { shown.push_back({kind, text}); }
    Answer ask(Question question, const QString& text) override;
};

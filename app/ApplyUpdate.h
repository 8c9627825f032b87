#pragma once

// File > Apply Update...: reading a database update file, checking it
// against the loaded database and applying it in memory in one step. The
// user saves as usual afterwards.

#include <QString>
#include <functional>

#include "kit/Messages.h"

class QWidget;

namespace db {
class Database;
}

// What to tell the user after an attempt.
struct UpdateOutcome {
    bool applied = false;
    MessageSink::Kind kind = MessageSink::Kind::Information;
    QString text;
};

// Reads the update at `path`, checks every old value against `d` and, when
// all agree, applies it. A bad file or any conflict leaves `d` untouched and
// the outcome says why (every conflict, one per line).
UpdateOutcome applyUpdateFile(db::Database& d, const QString& path);

void showOutcome(MessageSink& messages, const UpdateOutcome& outcome);

// Asks for the update file; empty when the user cancels. Tests replace the
// file dialog with setUpdateFileChooser.
QString chooseUpdateFile(QWidget* parent);
void setUpdateFileChooser(std::function<QString(QWidget*)> chooser);

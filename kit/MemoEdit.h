#pragma once

// The program's multi-line edit box (the Main page's notes).
//
// Qt 6.4's text control reads the first format of whatever the clipboard
// offers before it looks at the text, so pasting (Ctrl+V, Shift+Insert, the
// middle button, the context menu) while the clipboard or the selection holds
// nothing at all reads past an empty list and crashes. This box takes such
// an empty offer as nothing to paste.

#include <QTextEdit>

class MemoEdit : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

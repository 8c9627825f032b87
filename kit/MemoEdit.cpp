#include "MemoEdit.h"

#include <QMimeData>

namespace {

bool offersNothing(const QMimeData* source)
{
    return !source || source->formats().isEmpty();
}

}  // namespace

bool MemoEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return !offersNothing(source) && QTextEdit::canInsertFromMimeData(source);
}

void MemoEdit::insertFromMimeData(const QMimeData* source)
{
    if (offersNothing(source)) return;
    QTextEdit::insertFromMimeData(source);
}

#include "RecoveryHook.h"

#include <QFile>

#include "kit/Messages.h"
#include "db/storage/Recovery.h"

FolderState recoverBeforeUse(const std::string& gameDir, MessageSink& messages)
{
    db::RecoveryReport report;
    try {
        report = db::recoverGameFolder(gameDir);
    } catch (const std::exception& e) {
        messages.failure(QFile::decodeName(QByteArray(e.what())));
        return FolderState::NotWhole;
    }
    if (!report.foundAnything()) return FolderState::Unchanged;
    const QString text = QFile::decodeName(QByteArray::fromStdString(report.text()));
    switch (report.outcome) {
        case db::RecoveryReport::Outcome::NotWhole:
            messages.failure(text);
            return FolderState::NotWhole;
        case db::RecoveryReport::Outcome::RolledForward:
        case db::RecoveryReport::Outcome::RolledBack:
            messages.warning(text);
            return FolderState::Changed;
        default:
            if (report.leftAlone.empty())
                messages.information(text);
            else
                messages.warning(text);
            return FolderState::Unchanged;
    }
}

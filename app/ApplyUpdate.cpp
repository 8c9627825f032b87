#include "ApplyUpdate.h"

#include <QFile>
#include <QFileDialog>

#include "kit/QtText.h"
#include "db/exchange/Update.h"
#include "db/exchange/json/UpdateJson.h"

namespace {

// A message box shows this many conflicts; the rest are counted.
constexpr std::size_t kShownConflicts = 20;

std::function<QString(QWidget*)>& chooser()
{
    static std::function<QString(QWidget*)> c;
    return c;
}

QString plural(std::size_t n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

}  // namespace

UpdateOutcome applyUpdateFile(db::Database& d, const QString& path)
{
    UpdateOutcome out;
    out.kind = MessageSink::Kind::Error;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.text = QStringLiteral("Cannot open file %1").arg(path);
        return out;
    }
    if (static_cast<std::uint64_t>(file.size()) > db::kMaxUpdateBytes) {
        out.text = QStringLiteral("The update is too large (at most %1 MB).").arg(db::kMaxUpdateBytes >> 20);
        return out;
    }
    const QByteArray bytes = file.readAll();
    db::Update update;
    try {
        update =
            db::decodeUpdate(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const db::Error& e) {
        out.text = QString::fromUtf8(e.what()) + QLatin1Char('.');
        return out;
    }

    db::ApplyResult result;
    try {
        result = db::applyUpdate(d, update);
    } catch (const db::Error& e) {
        out.text = fromRaw(e.what()) + QLatin1Char('.');
        return out;
    }
    if (!result.applied) {
        out.kind = MessageSink::Kind::Warning;
        out.text = QStringLiteral("The update does not fit the loaded database; nothing was changed.\n%1:\n")
                       .arg(plural(result.conflicts.size(), "conflict", "conflicts"));
        for (std::size_t i = 0; i < result.conflicts.size() && i < kShownConflicts; ++i)
            out.text += QLatin1Char('\n') + fromRaw(result.conflicts[i].line());
        if (result.conflicts.size() > kShownConflicts)
            out.text += QStringLiteral("\n... and %1 more.").arg(result.conflicts.size() - kShownConflicts);
        return out;
    }
    out.applied = true;
    out.kind = MessageSink::Kind::Information;
    out.text = QStringLiteral(
                   "The update was applied: %1 in %2 changed, %3 appended. Save to write it to the "
                   "game's files.")
                   .arg(plural(result.changedFields, "field", "fields"),
                        plural(result.changedRecords, "record", "records"),
                        plural(result.appendedRecords, "record", "records"));
    return out;
}

void showOutcome(MessageSink& messages, const UpdateOutcome& outcome)
{
    switch (outcome.kind) {
        case MessageSink::Kind::Information:
            messages.information(outcome.text);
            break;
        case MessageSink::Kind::Warning:
            messages.warning(outcome.text);
            break;
        default:
            messages.error(outcome.text);
    }
}

QString chooseUpdateFile(QWidget* parent)
{
    if (chooser()) return chooser()(parent);
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Apply Update"), QString(),
                                        QStringLiteral("Quarn db updates (*.json);;All files (*)"));
}

void setUpdateFileChooser(std::function<QString(QWidget*)> c)
{
    chooser() = std::move(c);
}

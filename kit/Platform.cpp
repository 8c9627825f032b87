#include "Platform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

// ---- Wine's registry files ----------------------------------------------------
//
// A Wine registry file is text: a header line, then blocks that start with a
// key line `[Key\\Name] <time>` followed by `"Value"=<data>` lines. Backslashes,
// quotes and non-ASCII characters inside names and strings are escaped C-style.

namespace {

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Reads an escaped string from `pos` up to the unescaped `end` character and
// leaves `pos` after it. Returns false when the line ends first.
bool readEscaped(const QString& s, qsizetype& pos, QChar end, QString& out)
{
    out.clear();
    while (pos < s.size()) {
        const QChar c = s[pos++];
        if (c == end) return true;
        if (c != QLatin1Char('\\') || pos >= s.size()) {
            out += c;
            continue;
        }
        const QChar e = s[pos++];
        switch (e.unicode()) {
            case 'a':
                out += QChar(7);
                break;
            case 'b':
                out += QChar(8);
                break;
            case 'e':
                out += QChar(27);
                break;
            case 'f':
                out += QChar(12);
                break;
            case 'n':
                out += QChar(10);
                break;
            case 'r':
                out += QChar(13);
                break;
            case 't':
                out += QChar(9);
                break;
            case 'v':
                out += QChar(11);
                break;
            case 'x': {
                char16_t code = 0;
                int digits = 0;
                while (digits < 4 && pos < s.size() && isHexDigit(s[pos])) {
                    code = static_cast<char16_t>(code * 16 + QString(s[pos++]).toUInt(nullptr, 16));
                    ++digits;
                }
                out += digits ? QChar(code) : QChar(u'x');
                break;
            }
            default:
                if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
                    char16_t code = static_cast<char16_t>(e.unicode() - '0');
                    for (int digits = 1; digits < 3 && pos < s.size() && s[pos] >= QLatin1Char('0') &&
                                         s[pos] <= QLatin1Char('7');
                         ++digits)
                        code = static_cast<char16_t>(code * 8 + (s[pos++].unicode() - '0'));
                    out += QChar(code);
                } else {
                    out += e;  // \\, \", \[, \] and anything unknown stand for themselves
                }
        }
    }
    return false;
}

// The text of a hex(1)/hex(2) value: UTF-16LE bytes written as "xx,xx,...".
QString decodeHexString(const QString& data)
{
    QByteArray bytes;
    for (const QString& part : data.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint b = part.trimmed().toUInt(&ok, 16);
        if (ok && b < 256) bytes += static_cast<char>(b);
    }
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    while (text.endsWith(QChar(0))) text.chop(1);
    return text;
}

[[noreturn]] void wrongType(const QString& name)
{
    throw PlatformError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
}

// The string held by the data part of a value line (after '='), with `lines`
// and `next` giving the continuation lines of long hex values.
QString stringData(const QString& data, const QString& name, const QStringList& lines, qsizetype next)
{
    qsizetype pos = 0;
    QString text;
    if (data.startsWith(QLatin1Char('"'))) {
        pos = 1;
        readEscaped(data, pos, QLatin1Char('"'), text);
        return text;
    }
    if (data.startsWith(QLatin1String("str(1):\"")) || data.startsWith(QLatin1String("str(2):\""))) {
        pos = 8;
        readEscaped(data, pos, QLatin1Char('"'), text);
        return text;
    }
    if (data.startsWith(QLatin1String("hex(1):")) || data.startsWith(QLatin1String("hex(2):"))) {
        QString hex = data.mid(7).trimmed();
        while (hex.endsWith(QLatin1Char('\\')) && next < lines.size()) {
            hex.chop(1);
            hex += lines[next++].trimmed();
        }
        return decodeHexString(hex);
    }
    wrongType(name);
}

}  // namespace

namespace wine {

QString prefixPath()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    return prefix.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : prefix;
}

std::optional<QString> readStringValue(const QString& registryText, const QString& key, const QString& name)
{
    const QStringList lines = registryText.split(QLatin1Char('\n'));
    bool inKey = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.startsWith(QLatin1Char('['))) {
            qsizetype pos = 1;
            QString keyName;
            inKey = readEscaped(line, pos, QLatin1Char(']'), keyName) &&
                    keyName.compare(key, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inKey || !line.startsWith(QLatin1Char('"'))) continue;
        qsizetype pos = 1;
        QString valueName;
        if (!readEscaped(line, pos, QLatin1Char('"'), valueName)) continue;
        if (valueName.compare(name, Qt::CaseInsensitive) != 0) continue;
        if (pos >= line.size() || line[pos] != QLatin1Char('=')) continue;
        return stringData(line.mid(pos + 1), name, lines, i + 1);
    }
    return std::nullopt;
}

QString toUnixPath(const QString& prefix, const QString& windowsPath)
{
    QString path = windowsPath;
    const bool hasDrive =
        path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter() && path[0].unicode() < 128;
    if (!hasDrive)
        return QDir::fromNativeSeparators(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));

    const QString drive = path.left(1).toLower();
    QString base = prefix + QStringLiteral("/dosdevices/") + drive + QLatin1Char(':');
    if (!QFileInfo::exists(base) && drive == QLatin1String("c") && QFileInfo::exists(prefix + "/drive_c"))
        base = prefix + QStringLiteral("/drive_c");
    const QString canonical = QFileInfo(base).canonicalFilePath();
    if (!canonical.isEmpty()) base = canonical;

    // Windows names are not case-sensitive: take the folder that exists.
    const QStringList parts = path.mid(2).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString result = base;
    bool found = true;
    for (const QString& part : parts) {
        QString name = part;
        if (found && !QFileInfo::exists(QDir(result).filePath(part))) {
            found = false;
            const QStringList entries =
                QDir(result).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    name = entry;
                    found = true;
                    break;
                }
            }
        }
        result = QDir(result).filePath(name);
    }
    return result;
}

QString gameDirectory(const QString& prefix)
{
    if (prefix.isEmpty()) return {};
    QFile file(prefix + QStringLiteral("/system.reg"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromUtf8(file.readAll());
    const QString name = QString::fromLatin1(LocationValue);
    // A 64-bit prefix keeps what 32-bit installers write under Wow6432Node.
    for (const char* key : {GameKey32, GameKey}) {
        if (const std::optional<QString> value = readStringValue(text, QString::fromLatin1(key), name))
            return value->isEmpty() ? QString() : toUnixPath(prefix, *value);
    }
    return {};
}

}  // namespace wine

bool openWithBrowserVariable(const QString& url)
{
    const QStringList candidates =
        qEnvironmentVariable("BROWSER").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& candidate : candidates) {
        QString program;
        if (candidate.contains(QLatin1Char('/'))) {
            const QFileInfo info(candidate);
            if (info.isFile() && info.isExecutable()) program = info.absoluteFilePath();
        } else {
            program = QStandardPaths::findExecutable(candidate);
        }
        if (!program.isEmpty() && QProcess::startDetached(program, {url})) return true;
    }
    return false;
}

#ifndef _WIN32

QString Platform::gameDirectory() const
{
    return wine::gameDirectory(wine::prefixPath());
}

bool Platform::openUrl(const QString& url) const
{
    if (openWithBrowserVariable(url)) return true;
    return QDesktopServices::openUrl(QUrl(url));
}

#endif

#include "QtText.h"

#include <QList>

#include "db/rules/Win1252.h"

QString fromRaw(std::string_view raw)
{
    QString out(static_cast<qsizetype>(raw.size()), Qt::Uninitialized);
    QChar* p = out.data();
    for (char c : raw) *p++ = QChar(db::win1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string toRaw(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        const int b = db::unicodeToWin1252(static_cast<char32_t>(cp));
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

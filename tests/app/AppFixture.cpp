#include "AppFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QTest>

#include "app/MainForm.h"
#include "kit/RecordListModel.h"
#include "app/Startup.h"
#include "db/format/Records.h"
#include "tools/sample/SampleDb.h"

SampleFolder::SampleFolder(double scale)
{
    gameDir = tmp.filePath(QStringLiteral("game"));
    prefixDir = tmp.filePath(QStringLiteral("prefix"));
    wizardPath = tmp.filePath(QStringLiteral("wizard.quarn"));
    notesPath = tmp.filePath(QStringLiteral("quarndb.txt"));
    sample::Options options;
    options.scale = scale;
    written = sample::makeDatabase(options);
    sample::writeDataFolder(written, QFile::encodeName(gameDir).toStdString());
    writeGamePrefix(prefixDir, gameDir);
    writeWizardFile(wizardPath, templateNames);
    writeTextFile(notesPath, "Welcome to Quarn db\r\nSecond line of the notes\r\n");
}

void writeGamePrefix(const QString& prefix, const QString& gameDir)
{
#ifdef _WIN32
    const auto escaped = [](QString s) { return s.replace(QStringLiteral("\\"), QStringLiteral("\\\\")); };
    QDir().mkpath(prefix);
    writeTextFile(
        prefix + QStringLiteral("/system.reg"),
        QStringLiteral("WINE REGISTRY Version 2\n\n[%1] 0\n\"Location\"=\"%2\"\n")
            .arg(escaped(QString::fromLatin1(wine::GameKey)), escaped(QDir::toNativeSeparators(gameDir)))
            .toUtf8());
#else
    sample::writeWinePrefix(QFile::encodeName(prefix).toStdString(),
                            QFile::encodeName(gameDir).toStdString());
#endif
}

#ifdef _WIN32
QString FixturePlatform::gameDirectory() const
{
    QFile reg(wine::prefixPath() + QStringLiteral("/system.reg"));
    if (!reg.open(QIODevice::ReadOnly)) return {};
    const std::optional<QString> location = wine::readStringValue(
        QString::fromUtf8(reg.readAll()), QString::fromLatin1(wine::GameKey), QStringLiteral("Location"));
    return location.value_or(QString());
}
#endif

void writeWizardFile(const QString& path, const QStringList& names)
{
    QByteArray bytes;
    const auto count = static_cast<quint16>(names.size());
    bytes.append(static_cast<char>(count & 0xff)).append(static_cast<char>(count >> 8));
    for (const QString& name : names) {
        db::WizardTemplate t;
        t.setText(db::WizardTemplate::TemplateName, name.toStdString());
        bytes.append(reinterpret_cast<const char*>(t.bytes.data()), static_cast<qsizetype>(t.bytes.size()));
    }
    writeTextFile(path, bytes);
}

void writeTextFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Editor::Editor(const QString& notesPath, const QString& wizardPath)
{
    ctx.messages = &messages;
    ctx.platform = &platform;
    ctx.notesPath = notesPath;
    ctx.wizardPath = wizardPath;
    createWindows(ctx);
}

Editor::~Editor()
{
    delete ctx.mainForm;
}

RecordListModel* comboModel(const QWidget* root, const char* name)
{
    const auto* combo = root ? root->findChild<QComboBox*>(QLatin1String(name)) : nullptr;
    return recordModel(combo);
}

RecordListModel* listModel(const QWidget* root, const char* name)
{
    const auto* view = root ? root->findChild<QListView*>(QLatin1String(name)) : nullptr;
    return recordModel(view);
}

// The About box and its homepage link.

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "about/AboutForm.h"
#include "about/LumvardUrlLabel.h"
#include "kit/AppContext.h"
#include "kit/Platform.h"
#include "app/Startup.h"

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
const QColor Purple(128, 0, 128);

void enter(QWidget* w)
{
    QEnterEvent e(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

// A program for $BROWSER that writes its arguments into `out`.
QString fakeBrowser(const QTemporaryDir& dir, const QString& out)
{
    const QString path = dir.filePath("fake-browser");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the fake browser");
    f.write(
        QStringLiteral("#!/bin/sh\nprintf '%s|' \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n").arg(out).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return path;
}

QByteArray waitForFile(const QString& path)
{
    QFile f(path);
    for (int i = 0; i < 100 && !f.exists(); ++i) QTest::qWait(50);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class LinkLabelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void createdAsABlueUnderlinedLink()
    {
        LumvardUrlLabel label;
        QCOMPARE(label.textColor(), Blue);
        QCOMPARE(label.colorMouseOver(), Red);
        QCOMPARE(label.colorActive(), Purple);
        QVERIFY(label.font().underline());
        QCOMPARE(label.popupString(), QStringLiteral("Copy Link Location"));
        QCOMPARE(label.copyAction()->text(), QStringLiteral("Copy Link Location"));
        QCOMPARE(label.cursorMouseOver(), LumvardUrlLabel::crMozilla);
        QVERIFY(!label.url().isEmpty());

        label.setPopupString("Copy");
        QCOMPARE(label.copyAction()->text(), QStringLiteral("Copy"));
    }

    void coloursFollowThePointerAndTheLeftButton()
    {
        LumvardUrlLabel label;
        label.resize(200, 20);
        QStringList opened;
        label.setOpener([&](const QString& url) { opened << url; });
        label.setUrl("https://quarndb.example.org/a");

        enter(&label);
        QCOMPARE(label.textColor(), Red);
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(label.textColor(), Purple);
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(label.textColor(), Red);
        QCOMPARE(opened, QStringList{"https://quarndb.example.org/a"});
        leave(&label);
        QCOMPARE(label.textColor(), Blue);

        // Pressed, dragged off and released elsewhere: nothing opens.
        enter(&label);
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(250, 40), label.mapToGlobal(QPointF(250, 40)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&label, &move);
        QCOMPARE(label.textColor(), Blue);
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(250, 40));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(label.textColor(), Blue);

        // Another button pressed on it turns it red but opens nothing.
        QTest::mousePress(&label, Qt::MiddleButton, {}, QPoint(5, 5));
        QCOMPARE(label.textColor(), Red);
        QTest::mouseRelease(&label, Qt::MiddleButton, {}, QPoint(5, 5));
        QCOMPARE(opened.size(), 1);

        // Changed colours take effect at once.
        label.setColorMouseOver(Qt::green);
        QCOMPARE(label.textColor(), QColor(Qt::green));
    }

    void contextMenuCopiesTheAddress()
    {
        LumvardUrlLabel label;
        label.resize(200, 20);
        label.show();
        label.setUrl("https://quarndb.example.org/copy-me");
        QGuiApplication::clipboard()->setText("something else");

        QTest::mousePress(&label, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(label.textColor(), Red);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&label, &menuEvent);
        QCOMPARE(label.textColor(), Blue);
        QVERIFY(!label.mouseOver() && !label.active());
        QVERIFY(label.popupMenu()->isVisible());
        QCOMPARE(label.popupMenu()->actions(), QList<QAction*>{label.copyAction()});

        label.copyAction()->trigger();
        label.popupMenu()->hide();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("https://quarndb.example.org/copy-me"));
    }

    void cursorsComeFromTheResources()
    {
        LumvardUrlLabel label;
        QList<QImage> shapes;
        for (auto c : {LumvardUrlLabel::crMozilla, LumvardUrlLabel::crMSIE, LumvardUrlLabel::crHelpHand}) {
            label.setCursorMouseOver(c);
            QCOMPARE(label.cursorMouseOver(), c);
            QCOMPARE(label.cursor().shape(), Qt::BitmapCursor);
            const QImage shape = label.cursor().pixmap().toImage();
            QCOMPARE(shape.size(), QSize(32, 32));
            QVERIFY(!shapes.contains(shape));
            shapes << shape;
        }
        label.setCursorMouseOver(LumvardUrlLabel::crDefaultCursor);
        QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    }

    void browserVariableNamesTheProgramToStart()
    {
#ifdef _WIN32
        QSKIP("$BROWSER is the Linux desktops' convention; Windows opens addresses through the shell");
#endif
        QTemporaryDir dir;
        const QString out = dir.filePath("opened");
        qputenv("BROWSER", QFile::encodeName(dir.filePath("no-such-browser") + ":" + fakeBrowser(dir, out)));
        QVERIFY(Platform().openUrl("https://quarndb.example.org/x?a=1&b=2"));
        QCOMPARE(waitForFile(out), QByteArray("https://quarndb.example.org/x?a=1&b=2|"));

        // A command with arguments is not a program name: not started.
        qputenv("BROWSER", QFile::encodeName(fakeBrowser(dir, out) + " --new-window"));
        QVERIFY(!openWithBrowserVariable("https://quarndb.example.org/"));
        qputenv("BROWSER", "");
        QVERIFY(!openWithBrowserVariable("https://quarndb.example.org/"));
        qunsetenv("BROWSER");
    }

    void aboutBoxLayoutAndLink()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("opened");
        qputenv("BROWSER", QFile::encodeName(fakeBrowser(dir, out)));
        AppContext ctx;
        Platform platform;
        ctx.platform = &platform;
        AboutForm about(ctx);
        about.show();

        QCOMPARE(about.windowTitle(), QStringLiteral("About Quarn db"));
        QCOMPARE(about.size(), QSize(298, 225));
        QVERIFY(!(about.windowFlags() & Qt::WindowCloseButtonHint));
        const QMap<QString, QString> texts{
            {"Label1", "Quarn db"},         {"Label2", "Version:"},   {"Label6", "1.1"},
            {"Label3", "Release Date:"},    {"Label7", "1999-07-29"}, {"Label4", "Authors:"},
            {"Label5", "Lead Programers:"}, {"Label10", "Homepage:"}};
        for (auto it = texts.begin(); it != texts.end(); ++it)
            QCOMPARE(about.findChild<QLabel*>(it.key())->text(), it.value());
        QCOMPARE(about.findChild<QLabel*>("Label2")->pos(), QPoint(8, 64));
        QCOMPARE(about.findChild<QWidget*>("Panel1")->geometry(), QRect(8, 8, 49, 49));
        QCOMPARE(about.findChild<QPushButton*>("Button1")->pos(), QPoint(216, 192));
        QVERIFY(!about.findChild<QLabel*>("Image1")->pixmap().isNull());

        // Every text fits its label at the program's font.
        for (QLabel* label : about.findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            const QString name = label->objectName();
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     qPrintable(name));
            QVERIFY2(label->fontMetrics().height() <= label->contentsRect().height() + 2, qPrintable(name));
            QVERIFY2(about.rect().contains(label->geometry()), qPrintable(name));
        }

        auto* link = about.findChild<LumvardUrlLabel*>("LumvardURLLabel1");
        QVERIFY(link);
        QCOMPARE(link->text(), link->url());
        QVERIFY(link->url().startsWith("https://"));
        QCOMPARE(link->cursorMouseOver(), LumvardUrlLabel::crMozilla);

#ifndef _WIN32
        // A click opens the homepage in the browser $BROWSER names (Windows
        // asks its shell, whose lookup is tested on its own).
        enter(link);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(waitForFile(out), (link->url() + "|").toUtf8());
        qunsetenv("BROWSER");
#endif

        about.findChild<QPushButton*>("Button1")->click();
        QVERIFY(!about.isVisible());
    }
};

QTEST_MAIN(LinkLabelTest)
#include "LinkLabelTest.moc"

// Under a real X server and window manager: the captions the window system
// shows, and message boxes that come up above the windows that stay on top,
// with the keyboard. Reads what the window manager publishes (xprop) and
// types through the X server (xdotool).

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "AppFixture.h"
#include "about/AboutForm.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/StatusForm.h"
#include "clubs/FindClubForm.h"
#include "operations/AddStaffForm.h"
#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "operations/WizForm.h"
#include "staff/NamesForm.h"

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The caption the window manager shows for a window.
QString shownCaption(const QWidget* w)
{
    const QString out = run("xprop", {"-id", QString::number(w->winId()), "_NET_WM_NAME"});
    const auto first = out.indexOf('"'), last = out.lastIndexOf('"');
    return first < 0 || last <= first ? QString() : out.mid(first + 1, last - first - 1);
}

// Window ids listed in a root window property, in the property's order.
QList<WId> rootWindows(const char* property)
{
    QList<WId> ids;
    const auto matches = QRegularExpression("0x[0-9a-f]+").globalMatch(run("xprop", {"-root", property}));
    for (const auto& m : matches) ids << m.captured().toULongLong(nullptr, 16);
    return ids;
}

bool managed(const QWidget* w)
{
    return rootWindows("_NET_CLIENT_LIST_STACKING").contains(w->winId());
}

bool waitFor(const std::function<bool()>& condition, int ms = 4000)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms) return false;
        QTest::qWait(20);
    }
    return true;
}

}  // namespace

class WindowSystemTest : public QObject {
    Q_OBJECT

    SampleFolder sample_;
    std::unique_ptr<Editor> editor_;

private slots:
    void initTestCase()
    {
        prepareApplication(*qApp);
        qputenv("WINEPREFIX", QFile::encodeName(sample_.prefixDir));
        editor_ = std::make_unique<Editor>(sample_.notesPath, sample_.wizardPath);
    }
    void cleanupTestCase() { editor_.reset(); }

    void captionsAreExactlyTheirTexts()
    {
        const AppContext& ctx = editor_->ctx;
        const QList<QPair<QWidget*, QString>> windows{
            {ctx.mainForm, "Quarn db 1.1 - do it the good way, do it Velmora"},
            {ctx.statusForm, "Status"},
            {ctx.findClubForm, "Pick Club"},
            {ctx.findStaffForm, "Pick Staff"},
            {ctx.transferForm, "Transfer Staff"},
            {ctx.namesForm, "Names..."},
            {ctx.addStaffForm, "Choose type of Staff"},
            {ctx.wizForm, "Wized Beta1"},
            {ctx.aboutForm, "About Quarn db"}};
        for (const auto& [window, caption] : windows) {
            window->show();
            QVERIFY(waitFor([&] { return managed(window); }));
            QCOMPARE(shownCaption(window), caption);
            if (window != ctx.mainForm) window->hide();
        }
    }

    // With every window that stays on top up, each kind of message box comes
    // up above them all, active, and answers the Return key.
    void messageBoxesComeUpOnTopWithTheKeyboard_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::newRow("information") << int(MessageSink::Kind::Information) << "Information";
        QTest::newRow("warning") << int(MessageSink::Kind::Warning) << "Warning";
        QTest::newRow("error") << int(MessageSink::Kind::Error) << "Error";
        QTest::newRow("error box") << int(MessageSink::Kind::Failure) << "Quarn db";
    }

    void messageBoxesComeUpOnTopWithTheKeyboard()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        const AppContext& ctx = editor_->ctx;
        const QList<QWidget*> onTop{ctx.statusForm, ctx.findClubForm, ctx.findStaffForm, ctx.transferForm,
                                    ctx.namesForm,  ctx.addStaffForm, ctx.wizForm};
        ctx.mainForm->show();
        for (QWidget* w : onTop) w->show();
        QVERIFY(waitFor([&] { return std::all_of(onTop.begin(), onTop.end(), managed); }));

        QString shown, failure;
        QTimer::singleShot(0, [&] {
            QWidget* box = nullptr;
            if (!waitFor([&] {
                    box = QApplication::activeModalWidget();
                    return qobject_cast<QMessageBox*>(box) && managed(box) &&
                           rootWindows("_NET_ACTIVE_WINDOW").value(0) == box->winId();
                })) {
                failure = "the message box never became the active window";
            } else {
                shown = shownCaption(box);
                const QList<WId> stacking = rootWindows("_NET_CLIENT_LIST_STACKING");  // bottom to top
                for (QWidget* w : onTop)
                    if (stacking.indexOf(w->winId()) > stacking.indexOf(box->winId()))
                        failure = w->windowTitle() + " is above the message box";
                run("xdotool", {"key", "--clearmodifiers", "Return"});
                if (failure.isEmpty() && !waitFor([&] { return !box->isVisible(); }))
                    failure = "Return did not reach the message box";
            }
            if (auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) open->done(0);
        });
        BoxMessages boxes(ctx.mainForm);
        const QString text = QStringLiteral("Something to say");
        switch (MessageSink::Kind(kind)) {
            case MessageSink::Kind::Information: boxes.information(text); break;
            case MessageSink::Kind::Warning: boxes.warning(text); break;
            case MessageSink::Kind::Error: boxes.error(text); break;
            case MessageSink::Kind::Failure: boxes.failure(text); break;
            case MessageSink::Kind::Question: break;
        }
        for (QWidget* w : onTop) w->hide();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(shown, caption);
    }
};

QTEST_MAIN(WindowSystemTest)
#include "WindowSystemTest.moc"

// Under a real X server and window manager: the captions the window system
// shows. Reads what the window manager publishes (xprop).

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
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

};

QTEST_MAIN(WindowSystemTest)
#include "WindowSystemTest.moc"

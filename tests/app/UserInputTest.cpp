// What the user does with mouse and keyboard across the windows: pasting
// clipboards without text, Ctrl+clicks and repeated clicks on lists, which
// mouse buttons double-click, and where the pickers appear.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <memory>

#include "AppFixture.h"
#include "about/AboutForm.h"
#include "app/MainForm.h"
#include "kit/RecordListModel.h"
#include "app/Startup.h"
#include "app/StatusForm.h"
#include "clubs/ClubPage.h"
#include "clubs/FindClubForm.h"
#include "operations/AddStaffForm.h"
#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "operations/WizForm.h"
#include "staff/NamesForm.h"
#include "staff/StaffPage.h"

namespace {

QString boxText(QWidget* w)
{
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    return qobject_cast<QTextEdit*>(w)->toPlainText();
}

// Every edit box of `window` the user can type into.
QList<QWidget*> editableBoxes(QWidget* window)
{
    QList<QWidget*> boxes;
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        if (!e->isReadOnly()) boxes << e;
    for (QTextEdit* e : window->findChildren<QTextEdit*>())
        if (!e->isReadOnly()) boxes << e;
    return boxes;
}

// The editor over a sample folder, loaded, with its main window on screen.
struct LoadedEditor {
    SampleFolder sample;
    std::unique_ptr<Editor> editor;
    AppContext* ctx = nullptr;

    LoadedEditor()
    {
        qputenv("WINEPREFIX", QFile::encodeName(sample.prefixDir));
        editor = std::make_unique<Editor>(sample.notesPath, sample.wizardPath);
        ctx = &editor->ctx;
        ctx->mainForm->Open1Click();
        ctx->mainForm->show();
    }
    QListView* list(QWidget* root, const char* name) const
    {
        return root->findChild<QListView*>(QLatin1String(name));
    }
};

void clickRow(QListView* view, int row, Qt::KeyboardModifiers modifiers = {})
{
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, r.center());
}

}  // namespace

class UserInputTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void pastingNothingChangesNoBox_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("empty") << "empty";
        QTest::newRow("image only") << "image";
        QTest::newRow("unknown format") << "binary";
    }

    void pastingNothingChangesNoBox()
    {
        QFETCH(QString, clipboard);
        LoadedEditor e;
        AppContext& ctx = *e.ctx;
        QVERIFY(ctx.mainForm->isLoaded());
        ctx.clubPage->goToClub(0);
        ctx.staffPage->showStaff(0);

        auto* offer = new QMimeData;
        if (clipboard == "image")
            offer->setImageData(QImage(4, 4, QImage::Format_RGB32));
        else if (clipboard == "binary")
            offer->setData(QStringLiteral("application/octet-stream"), QByteArray("\0\1\2", 3));
        QGuiApplication::clipboard()->setMimeData(offer);

        int pasted = 0;
        const QList<QWidget*> windows{ctx.mainForm,    ctx.statusForm, ctx.findClubForm,
                                      ctx.findStaffForm, ctx.transferForm, ctx.namesForm,
                                      ctx.addStaffForm, ctx.wizForm,     ctx.aboutForm};
        for (QWidget* window : windows) {
            window->show();
            for (QWidget* box : editableBoxes(window)) {
                if (!box->isEnabled()) continue;
                const QString before = boxText(box);
                box->setFocus();
                QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
                QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
                QCOMPARE(boxText(box), before);
                ++pasted;
            }
            window->hide();
        }
        // The notes, both searches, both pages' fields and the dialogs' boxes.
        QVERIFY2(pasted > 100, qPrintable(QString::number(pasted)));
    }

    // The record on screen stays selected, so Confirm Changes still has it.
    void ctrlClickKeepsTheShownRecordSelected()
    {
        LoadedEditor e;
        AppContext& ctx = *e.ctx;
        ctx.clubPage->goToClub(3);
        QListView* clubs = e.list(ctx.clubPage, "ListBoxClubs");
        clickRow(clubs, 3, Qt::ControlModifier);
        QTest::keyClick(clubs, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(ctx.clubPage->selectedClubId(), 3);

        ctx.staffPage->showStaff(5);
        QListView* staff = e.list(ctx.staffPage, "ListBoxStaff");
        clickRow(staff, 0, Qt::ControlModifier);
        QTest::keyClick(staff, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(ctx.staffPage->selectedStaffId(), 5);

        // The program's own clearing still empties the list.
        ctx.clubPage->Button2Click();
        QCOMPARE(ctx.clubPage->selectedClubId(), -1);
    }

    // Every click on a club chooses it, also the one still highlighted
    // after Free Transfer.
    void transferClubClicksChooseEveryTime()
    {
        LoadedEditor e;
        TransferForm* form = e.ctx->transferForm;
        form->open(0, QStringLiteral("Someone"), -2, 0, true);
        QListView* clubs = e.list(form, "ListBoxClubs");
        clickRow(clubs, 2);
        QCOMPARE(form->ToClubId, 2);
        form->Button4Click();
        QCOMPARE(form->ToClubId, -2);
        clickRow(clubs, 2);
        QCOMPARE(form->ToClubId, 2);
    }

    void onlyLeftDoubleClicksAct_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("list");
        for (const char* l : {"ClubRivalClubs", "ClubFavStaff", "ClubDisStaff", "ClubPlayers", "ClubStaff"})
            QTest::newRow(l) << "ClubPage" << l;
        for (const char* l : {"StaffFavStaff", "StaffDisStaff", "StaffFavClubs", "StaffDisClubs"})
            QTest::newRow(l) << "StaffPage" << l;
    }

    void onlyLeftDoubleClicksAct()
    {
        QFETCH(QString, page);
        QFETCH(QString, list);
        LoadedEditor e;
        AppContext& ctx = *e.ctx;
        ctx.clubPage->goToClub(0);
        ctx.staffPage->showStaff(0);
        auto* tabs = ctx.mainForm->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QWidget* pageWidget = page == "ClubPage" ? static_cast<QWidget*>(ctx.clubPage) : ctx.staffPage;
        QListView* view = pageWidget->findChild<QListView*>(list);
        QVERIFY(view);
        selectRow(view, 0);
        // Something happened: a picker opened or the Staff tab came up.
        auto acted = [&] {
            return ctx.findClubForm->isVisible() || ctx.findStaffForm->isVisible() ||
                   (page == "ClubPage" && tabs->currentWidget()->isAncestorOf(ctx.staffPage));
        };
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            tabs->setCurrentWidget(pageWidget->parentWidget());
            QTest::mouseDClick(view->viewport(), button, {}, QPoint(5, 5));
            QVERIFY2(!acted(), qPrintable(QString::number(button)));
        }
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(acted());
    }

    // A page brings up the other only through the shell's navigation.
    void pagesJumpThroughTheShell()
    {
        struct Recorder : Navigation {
            QList<int> clubs, staff;
            void goToClub(int id) override { clubs << id; }
            void showStaff(int id) override { staff << id; }
        } recorder;
        LoadedEditor e;
        AppContext& ctx = *e.ctx;
        ctx.clubPage->goToClub(0);
        QListView* players = e.list(ctx.clubPage, "ClubPlayers");
        selectRow(players, 0);
        const int player = recordModel(players)->recordAt(0);
        QVERIFY(player >= 0);
        ctx.staffPage->showStaff(player);
        ctx.navigation = &recorder;
        QTest::mouseDClick(players->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        ctx.staffPage->Button11Click();
        QCOMPARE(recorder.staff, QList<int>{player});
        QCOMPARE(recorder.clubs, QList<int>{0});
        QCOMPARE(ctx.staffPage->selectedStaffId(), player);  // the staff page was not touched
    }

    // Both pickers appear centred on the desktop each time they are opened.
    void pickersOpenCentred()
    {
        LoadedEditor e;
        const QList<QDialog*> pickers{e.ctx->findClubForm, e.ctx->findStaffForm};
        for (QDialog* picker : pickers) {
            for (int opening = 0; opening < 2; ++opening) {
                if (picker == e.ctx->findClubForm)
                    e.ctx->findClubForm->open(0);
                else
                    e.ctx->findStaffForm->open(0);
                const QPoint centre = picker->screen()->availableGeometry().center();
                QVERIFY2((picker->frameGeometry().center() - centre).manhattanLength() <= 2,
                         qPrintable(picker->objectName()));
                picker->move(3, 3);  // the user drags it away, then closes it
                picker->hide();
            }
        }
    }
};

QTEST_MAIN(UserInputTest)
#include "UserInputTest.moc"

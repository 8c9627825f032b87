// The Clubs tab and the picker at the program's 8-point font: every control
// inside its parent and no caption cut short. Leaves a picture of each
// sub-page and of the picker for a person to look at.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "ClubWorld.h"

using clubtest::World;

namespace {

// Everything visible under `top` that sticks out of its parent or is smaller
// than its text needs.
QStringList clipped(QWidget* top)
{
    QStringList faults;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(top) || w->objectName().startsWith(QLatin1String("qt_"))) continue;
        QWidget* parent = w->parentWidget();
        if (parent && !parent->rect().contains(w->geometry()) && !w->inherits("QScrollBar"))
            faults << QStringLiteral("%1 outside %2").arg(w->objectName(), parent->objectName());
        // Push buttons ask for a style minimum wider than their caption
        // needs; the caption itself is what must fit. Lists scroll.
        QSize need;
        if (auto* b = qobject_cast<QPushButton*>(w))
            need = QSize(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->minimumSizeHint().height());
        else if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))
            need = w->sizeHint();
        else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
            need = QSize(36, w->minimumSizeHint().height());
        else
            continue;
        if (w->width() < need.width() || w->height() < need.height())
            faults << QStringLiteral("%1 %2x%3 < %4x%5")
                          .arg(w->objectName())
                          .arg(w->width())
                          .arg(w->height())
                          .arg(need.width())
                          .arg(need.height());
    }
    return faults;
}

void save(QWidget* w, const QString& name)
{
    QDir().mkpath(QStringLiteral(QUARNDB_SHOTS_DIR));
    QVERIFY(w->grab().save(QStringLiteral(QUARNDB_SHOTS_DIR "/") + name));
}

}  // namespace

class ClubLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everySubPageFitsTheTab();
    void pickerFits();
};

void ClubLayoutTest::initTestCase()
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
}

void ClubLayoutTest::everySubPageFitsTheTab()
{
    World w;
    // The main window's client area, as the shell makes it.
    w.tabs.setFixedSize(520, 434);
    w.selectClub(0);
    QVERIFY(w.page->width() >= 500 && w.page->height() >= 395);

    struct Sheet {
        const char* button;
        int stadiumTab;
        const char* file;
    };
    for (const Sheet& s : {Sheet{"ClubGeneralButton", -1, "clubs-general.png"},
                           Sheet{"ClubOthersButton", 0, "clubs-others-main-stadium.png"},
                           Sheet{"ClubOthersButton", 1, "clubs-others-reserve-stadium.png"},
                           Sheet{"ClubStaffButton", -1, "clubs-staff.png"}}) {
        QTest::mouseClick(w.get<QPushButton>(s.button), Qt::LeftButton);
        if (s.stadiumTab >= 0) w.get<QTabWidget>("ClubStadiumTabs")->setCurrentIndex(s.stadiumTab);
        QApplication::processEvents();
        const QStringList faults = clipped(w.page);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(s.file + QStringLiteral(": ") + faults.join(QStringLiteral("; "))));
        save(&w.tabs, QString::fromLatin1(s.file));
    }
    // Every control the page binds is reachable through the sub-page buttons.
    for (const clubs::Binding& b : clubs::kClubFields)
        QVERIFY(w.page->findChild<QWidget*>(QString::fromLatin1(b.control.data(), b.control.size())));
}

void ClubLayoutTest::pickerFits()
{
    World w;
    w.picker->open(0);
    QVERIFY(QTest::qWaitForWindowExposed(w.picker.get()));
    const QStringList faults = clipped(w.picker.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    save(w.picker.get(), QStringLiteral("club-picker.png"));
}

QTEST_MAIN(ClubLayoutTest)
#include "ClubLayoutTest.moc"

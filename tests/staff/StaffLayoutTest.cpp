// The Staff tab at the program's 8-pt font in the 512 x 405 a tab page gets:
// every control of every sub-page inside the page, no two controls on top
// of each other, and every caption and number wide enough to be read.
// With QUARNDB_SHOTS set to a folder, each sub-page is also saved as a PNG.

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "StaffFixture.h"
#include "staff/NamesForm.h"
#include "staff/StaffPage.h"

namespace {

bool isControl(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QPushButton*>(w) ||
           qobject_cast<const QListView*>(w);
}

QRect onPage(const QWidget* w, const QWidget* page)
{
    return QRect(w->mapTo(page, QPoint(0, 0)), w->size());
}

// What a control must be able to show without clipping.
QString widestText(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<const QPushButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) {
        if (edit->maximumWidth() <= 30) return QStringLiteral("255");
        if (edit->maximumWidth() <= 44) return QStringLiteral("-2000");
        return edit->text();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(w)) return combo->currentText();
    return {};
}

int textRoom(const QWidget* w)
{
    if (qobject_cast<const QLabel*>(w)) return w->width();
    if (qobject_cast<const QPushButton*>(w)) return w->width() - 8;
    if (qobject_cast<const QComboBox*>(w)) return w->width() - 24;  // frame and arrow
    return w->width() - 8;                                          // frame and margins
}

}  // namespace

class StaffLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void everySubPageFits();
    void namesDialogFits();
};

void StaffLayoutTest::everySubPageFits()
{
    StaffFixture f;
    f.page->resize(512, 405);
    f.page->show();
    f.show(people::Both);                               // both attribute sub-pages shown and filled
    f.combo("StaffJobForNation")->setCurrentIndex(14);  // the longest job caption
    f.combo("StaffClassification")->setCurrentIndex(3);
    f.combo("StaffNPFormation")->setCurrentIndex(1);

    const QString shots = qEnvironmentVariable("QUARNDB_SHOTS");
    auto* outer = f.page->findChild<QTabWidget*>(QStringLiteral("PageControl5"));
    QVERIFY(outer);
    const char* inner[] = {"PageControl6", "PageControl7", "PageControl8"};
    int checked = 0;
    QStringList problems;
    for (int o = 0; o < outer->count(); ++o) {
        outer->setCurrentIndex(o);
        auto* tabs = outer->widget(o)->findChild<QTabWidget*>(QString::fromLatin1(inner[o]));
        QVERIFY(tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i)) continue;
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            const QString where = outer->tabText(o) + QLatin1Char('/') + tabs->tabText(i);
            if (!shots.isEmpty()) {
                QDir().mkpath(shots);
                QString file = where;
                file.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char(' '), QLatin1Char('_'));
                QVERIFY(f.page->grab().save(shots + QLatin1Char('/') + file + QStringLiteral(".png")));
            }

            std::vector<QWidget*> controls;
            for (QWidget* w : f.page->findChildren<QWidget*>())
                if (w->isVisible() && isControl(w)) controls.push_back(w);
            for (QWidget* w : controls) {
                const QString what = where + QLatin1Char(' ') + w->objectName();
                const QRect r = onPage(w, f.page.get());
                if (!QRect(0, 0, 512, 405).contains(r)) problems << what + QStringLiteral(" leaves the page");
                if (w->height() < w->fontMetrics().height() + (qobject_cast<QLabel*>(w) ? 0 : 4))
                    problems << what + QStringLiteral(" is too low");
                const QString text = widestText(w);
                if (w->fontMetrics().horizontalAdvance(text) > textRoom(w))
                    problems << what + QStringLiteral(" clips \"") + text + QLatin1Char('"');
                for (QWidget* p = w->parentWidget(); p && p != f.page.get(); p = p->parentWidget())
                    if (auto* g = qobject_cast<QGroupBox*>(p)) {
                        if (!g->rect().contains(QRect(w->mapTo(g, QPoint(0, 0)), w->size())))
                            problems << what + QStringLiteral(" leaves its group");
                        break;
                    }
                ++checked;
            }
            for (std::size_t a = 0; a < controls.size(); ++a)
                for (std::size_t b = a + 1; b < controls.size(); ++b)
                    if (onPage(controls[a], f.page.get()).intersects(onPage(controls[b], f.page.get())))
                        problems << where + QLatin1Char(' ') + controls[a]->objectName() +
                                        QStringLiteral(" overlaps ") + controls[b]->objectName();
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    QVERIFY(checked > 300);  // the left column on each page, plus ~150 controls and their labels
}

void StaffLayoutTest::namesDialogFits()
{
    StaffFixture f;
    f.names->open(0);
    QCoreApplication::processEvents();
    for (QWidget* w : f.names->findChildren<QWidget*>()) {
        if (!w->isVisible() || !isControl(w)) continue;
        QVERIFY(f.names->rect().contains(QRect(w->mapTo(f.names.get(), QPoint(0, 0)), w->size())));
        QVERIFY(w->fontMetrics().horizontalAdvance(widestText(w)) <= textRoom(w));
    }
    if (!qEnvironmentVariable("QUARNDB_SHOTS").isEmpty())
        f.names->grab().save(qEnvironmentVariable("QUARNDB_SHOTS") + QStringLiteral("/Names.png"));
}

QTEST_MAIN(StaffLayoutTest)
#include "StaffLayoutTest.moc"

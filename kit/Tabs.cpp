#include "Tabs.h"

#include <QTabWidget>

void bringTabToFront(QWidget* page)
{
    for (QWidget* w = page; w; w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        if (!parent) return;
        // A QTabWidget keeps its pages inside a QStackedWidget child.
        if (auto* tabs = qobject_cast<QTabWidget*>(parent->parentWidget())) {
            const int i = tabs->indexOf(w);
            if (i >= 0) {
                tabs->setCurrentIndex(i);
                return;
            }
        }
    }
}

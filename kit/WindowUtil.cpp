#include "WindowUtil.h"

#include <QAction>

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>
#include <utility>
#include <vector>

void centerOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void setFittingFont(QLabel* label, QFont font)
{
    const QRect room = label->contentsRect();
    while (font.pixelSize() > 12 && (QFontMetrics(font).height() > room.height() ||
                                     QFontMetrics(font).horizontalAdvance(label->text()) > room.width()))
        font.setPixelSize(font.pixelSize() - 1);
    label->setFont(font);
}

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void addWhereUsedMenu(QWidget* list, std::function<void()> show)
{
    auto* action = new QAction(QStringLiteral("Where &Used..."), list);
    action->setObjectName(QStringLiteral("WhereUsed1"));
    QObject::connect(action, &QAction::triggered, list, std::move(show));
    list->addAction(action);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool revealControl(QWidget* root, const QString& name)
{
    QWidget* control = root ? root->findChild<QWidget*>(name) : nullptr;
    if (!control) return false;
    // Outermost first, so an inner page is chosen inside a page already shown.
    std::vector<std::pair<QWidget*, QWidget*>> steps;  // container, its page holding the control
    for (QWidget* w = control; w && w != root; w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        if (auto* stack = qobject_cast<QStackedWidget*>(parent)) {
            auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
            steps.emplace_back(tabs ? static_cast<QWidget*>(tabs) : stack, w);
        }
    }
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        if (auto* tabs = qobject_cast<QTabWidget*>(it->first))
            tabs->setCurrentWidget(it->second);
        else
            static_cast<QStackedWidget*>(it->first)->setCurrentWidget(it->second);
    }
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

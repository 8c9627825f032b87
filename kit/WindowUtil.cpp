#include "WindowUtil.h"

#include <QAction>

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

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

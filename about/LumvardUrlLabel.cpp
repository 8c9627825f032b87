#include "LumvardUrlLabel.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>

#include "kit/Platform.h"

static void initCursorResources()
{
    Q_INIT_RESOURCE(quarndb_about);
}

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
const QColor Purple(128, 0, 128);

// The fingertip of the hands drawn in cursors/*.xpm.
constexpr int HotX = 6;
constexpr int HotY = 0;

}  // namespace

LumvardUrlLabel::LumvardUrlLabel(QWidget* parent)
    : QLabel(parent), menu_(new QMenu(this)), copyAction_(new QAction(this))
{
    initCursorResources();
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    colorNormal_ = Blue;
    colorMouseOver_ = Red;
    colorActive_ = Purple;
    url_ = DefaultUrl;
    menu_->addAction(copyAction_);
    connect(copyAction_, &QAction::triggered, this, &LumvardUrlLabel::copyLink);
    setPopupString(QStringLiteral("Copy Link Location"));
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setCursorMouseOver(crMozilla);
    updateColor();
}

LumvardUrlLabel::~LumvardUrlLabel() = default;

void LumvardUrlLabel::setColorMouseOver(const QColor& c)
{
    colorMouseOver_ = c;
    updateColor();
}

void LumvardUrlLabel::setColorActive(const QColor& c)
{
    colorActive_ = c;
    updateColor();
}

void LumvardUrlLabel::setCursorMouseOver(TCustomCursor cursor)
{
    cursorMouseOver_ = cursor;
    if (cursor == crDefaultCursor)
        unsetCursor();
    else
        setCursor(loadCursor(cursor));
}

void LumvardUrlLabel::setPopupString(const QString& text)
{
    popupString_ = text;
    copyAction_->setText(text);
}

QColor LumvardUrlLabel::textColor() const
{
    return palette().color(QPalette::WindowText);
}

QCursor LumvardUrlLabel::loadCursor(TCustomCursor cursor)
{
    initCursorResources();
    const char* name = nullptr;
    switch (cursor) {
        case crMozilla:
            name = ":/cursors/MOZILLA.xpm";
            break;
        case crMSIE:
            name = ":/cursors/MSIE.xpm";
            break;
        case crHelpHand:
            name = ":/cursors/HELPHAND.xpm";
            break;
        case crDefaultCursor:
            return QCursor(Qt::ArrowCursor);
    }
    const QPixmap shape(QString::fromLatin1(name));
    if (shape.isNull()) return QCursor(Qt::PointingHandCursor);
    return QCursor(shape, HotX, HotY);
}

void LumvardUrlLabel::copyLink()
{
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(url_);
}

void LumvardUrlLabel::openLink()
{
    if (opener_)
        opener_(url_);
    else
        Platform().openUrl(url_);
}

void LumvardUrlLabel::enterEvent(QEnterEvent* event)
{
    mouseOver_ = true;
    updateColor();
    QLabel::enterEvent(event);
}

void LumvardUrlLabel::leaveEvent(QEvent* event)
{
    mouseOver_ = false;
    updateColor();
    QLabel::leaveEvent(event);
}

void LumvardUrlLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) active_ = true;
    mouseOver_ = true;
    updateColor();
    QLabel::mousePressEvent(event);
}

void LumvardUrlLabel::mouseMoveEvent(QMouseEvent* event)
{
    // While a button is held the label keeps the mouse; follow whether the
    // pointer is still over it, so that releasing outside opens nothing.
    if (event->buttons() != Qt::NoButton) {
        const bool inside = rect().contains(event->position().toPoint());
        if (inside != mouseOver_) {
            mouseOver_ = inside;
            updateColor();
        }
    }
    QLabel::mouseMoveEvent(event);
}

void LumvardUrlLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool left = event->button() == Qt::LeftButton;
    if (left) {
        active_ = false;
        mouseOver_ = rect().contains(event->position().toPoint());
    }
    updateColor();
    if (mouseOver_ && left) openLink();
    QLabel::mouseReleaseEvent(event);
}

void LumvardUrlLabel::contextMenuEvent(QContextMenuEvent* event)
{
    mouseOver_ = false;
    active_ = false;
    updateColor();
    menu_->popup(event->globalPos());
    event->accept();
}

void LumvardUrlLabel::updateColor()
{
    QColor c = colorNormal_;
    if (mouseOver_ && active_)
        c = colorActive_;
    else if (mouseOver_)
        c = colorMouseOver_;
    QPalette p = palette();
    if (p.color(QPalette::WindowText) == c) return;
    p.setColor(QPalette::WindowText, c);
    setPalette(p);
}

#pragma once

// A text label that looks and behaves like a web link: blue and underlined,
// red under the pointer, purple while the left button is held on it, a
// pointing-hand cursor, opens its address on a left click and offers a
// context menu that copies the address.

#include <QColor>
#include <QLabel>
#include <functional>

class QAction;
class QMenu;

class LumvardUrlLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QColor ColorMouseOver READ colorMouseOver WRITE setColorMouseOver)
    Q_PROPERTY(QColor ColorActive READ colorActive WRITE setColorActive)
    Q_PROPERTY(QString Url READ url WRITE setUrl)
    Q_PROPERTY(TCustomCursor CursorMouseOver READ cursorMouseOver WRITE setCursorMouseOver)
    Q_PROPERTY(QString PopupString READ popupString WRITE setPopupString)
public:
    enum TCustomCursor { crDefaultCursor = 0, crMozilla = 1, crMSIE = 2, crHelpHand = 3 };
    Q_ENUM(TCustomCursor)

    static inline const QString DefaultUrl = QStringLiteral("https://quarndb.example.org/");

    explicit LumvardUrlLabel(QWidget* parent = nullptr);
    ~LumvardUrlLabel() override;

    QColor colorMouseOver() const { return colorMouseOver_; }
    void setColorMouseOver(const QColor& c);
    QColor colorActive() const { return colorActive_; }
    void setColorActive(const QColor& c);
    QColor colorNormal() const { return colorNormal_; }
    QString url() const { return url_; }
    void setUrl(const QString& url) { url_ = url; }
    TCustomCursor cursorMouseOver() const { return cursorMouseOver_; }
    void setCursorMouseOver(TCustomCursor cursor);
    QString popupString() const { return popupString_; }
    void setPopupString(const QString& text);

    // The colour the text is drawn in now.
    QColor textColor() const;
    bool mouseOver() const { return mouseOver_; }
    bool active() const { return active_; }

    // The context menu and its one command.
    QMenu* popupMenu() const { return menu_; }
    QAction* copyAction() const { return copyAction_; }

    // How the address is opened; by default the platform's web browser.
    void setOpener(std::function<void(const QString&)> opener) { opener_ = std::move(opener); }

    // The pointer shapes carried in the program's resources.
    static QCursor loadCursor(TCustomCursor cursor);

public slots:
    void copyLink();
    void openLink();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void updateColor();

    QColor colorNormal_;
    QColor colorMouseOver_;
    QColor colorActive_;
    QString url_;
    TCustomCursor cursorMouseOver_ = crDefaultCursor;
    QString popupString_;
    bool mouseOver_ = false;
    bool active_ = false;
    QMenu* menu_;
    QAction* copyAction_;
    std::function<void(const QString&)> opener_;
};

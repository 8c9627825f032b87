#pragma once

#include <functional>

// Small helpers every window of the program shares.

class QFont;
class QLabel;
class QString;
class QWidget;

// Centres a top-level window on its screen (the primary screen while it has
// none yet), frame included.
void centerOnScreen(QWidget* window);

// Gives `label` `font`, a size smaller where needed for its text to fit:
// where Verdana is missing (Wine, many Linux desktops) its stand-in may be
// taller or wider than the designed label.
void setFittingFont(QLabel* label, QFont font);

// The wait (hourglass) cursor for as long as the object lives, restored
// however the work ends.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// A "Where Used..." item in the right-click menu of `list`; `show` runs with
// it (the list's page knows which record is selected).
void addWhereUsedMenu(QWidget* list, std::function<void()> show);

// Brings the control `name` inside `root` into view: every tab and stacked
// sub-page on the way to it is chosen, then it takes the focus. False when
// `root` has no such control.
bool revealControl(QWidget* root, const QString& name);

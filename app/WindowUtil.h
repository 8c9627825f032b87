#pragma once

// Small helpers every window of the program shares.

class QWidget;

// Centres a top-level window on its screen (the primary screen while it has
// none yet), frame included.
void centerOnScreen(QWidget* window);

// The wait (hourglass) cursor for as long as the object lives, restored
// however the work ends.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

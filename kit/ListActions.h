#pragma once

// Mouse and selection behaviour the editor's lists share.

#include <functional>

class QAbstractItemView;

// A list whose selected entry is the record a page shows keeps an entry
// selected once one is: Ctrl+click or Ctrl+Space on the selected entry, which
// would otherwise leave the record on screen with nothing selected behind it,
// change nothing. The program's own clearing (a new search, a reset) still
// empties it. Call after the view has its model.
void keepSelection(QAbstractItemView* view);

// Runs `action` when the view is double-clicked with the left button,
// anywhere in it (an entry or the empty area below the entries). Other
// buttons' double-clicks do nothing.
void onLeftDoubleClick(QAbstractItemView* view, std::function<void()> action);

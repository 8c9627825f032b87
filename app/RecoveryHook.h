#pragma once

// Recovery of the game folder before anything reads or writes it: at
// start-up before the index is read, before File > Open and before every
// File > Save. What recovery found and did is told in a message box.

#include <string>

class MessageSink;

enum class FolderState {
    Unchanged,  // nothing to do, or only leftovers removed
    Changed,    // an interrupted save was finished or undone
    NotWhole,   // the folder must not be loaded or saved over
};

FolderState recoverBeforeUse(const std::string& gameDir, MessageSink& messages);

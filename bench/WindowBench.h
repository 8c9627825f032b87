#pragma once

// The window side of the benchmark: File > Open in the real main window
// (offscreen) and the Search buttons of the pages, list filled.

#include <string>

struct WindowFigures {
    double open = 0;  // File > Open, every pick list of every window filled
    double staffSearchSon = 0;
    double staffSearchA = 0;
    double clubSearch = 0;
};

WindowFigures measureWindows(const std::string& gameDir, const std::string& wizardFile, int runs);

#pragma once

class QApplication;

// Sets the application title, creates the windows in their order (the main
// window shown, the rest hidden) and runs the event loop.
int runQuarnDb(QApplication& app);

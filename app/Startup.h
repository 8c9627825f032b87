#pragma once

class QApplication;
struct AppContext;

// The application title and the 8-point font the fixed-size windows are
// designed for.
void prepareApplication(QApplication& app);

// Creates the windows in their order into `ctx` (ctx.messages and
// ctx.platform must be set): the main window shown, every dialog hidden and
// owned by the main window. The caller deletes ctx.mainForm.
void createWindows(AppContext& ctx);

// prepareApplication, createWindows and the event loop.
int runQuarnDb(QApplication& app);

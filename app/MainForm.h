#pragma once

// The main window: menu, the Main, Clubs and Staff tabs.

#include <QMainWindow>

struct AppContext;

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(AppContext& ctx, QWidget* parent = nullptr);
    ~MainForm() override;


private:
    AppContext& ctx_;
};

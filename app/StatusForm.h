#pragma once

// The "Status" window that shows loading and saving progress.

#include <QDialog>

struct AppContext;

class StatusForm : public QDialog {
    Q_OBJECT
public:
    explicit StatusForm(AppContext& ctx, QWidget* parent = nullptr);
    ~StatusForm() override;


private:
    AppContext& ctx_;
};

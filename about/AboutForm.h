#pragma once

// The "About Quarn db" box.

#include <QDialog>

struct AppContext;

class AboutForm : public QDialog {
    Q_OBJECT
public:
    explicit AboutForm(AppContext& ctx, QWidget* parent = nullptr);
    ~AboutForm() override;


private:
    AppContext& ctx_;
};

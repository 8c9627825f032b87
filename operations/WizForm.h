#pragma once

// The player creation wizard ("Wized Beta1").

#include <QDialog>

struct AppContext;

class WizForm : public QDialog {
    Q_OBJECT
public:
    explicit WizForm(AppContext& ctx, QWidget* parent = nullptr);
    ~WizForm() override;

    void fillLists();
    void clearLists();

private:
    AppContext& ctx_;
};

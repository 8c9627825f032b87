#pragma once

// The "Names..." dialog that adds a first, second or common name.

#include <QDialog>

struct AppContext;

class NamesForm : public QDialog {
    Q_OBJECT
public:
    explicit NamesForm(AppContext& ctx, QWidget* parent = nullptr);
    ~NamesForm() override;

    void fillLists();
    void clearLists();
    // Shows the dialog for name kind 0 (first), 1 (second) or 2 (common).
    void open(int kind);

private:
    AppContext& ctx_;
};

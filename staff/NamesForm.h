#pragma once

// The "Names..." dialog that adds a first, second or common name.

#include <QDialog>
#include <memory>

struct AppContext;

namespace Ui {
class NamesForm;
}

class NamesForm : public QDialog {
    Q_OBJECT
public:
    explicit NamesForm(AppContext& ctx, QWidget* parent = nullptr);
    ~NamesForm() override;

    void fillLists();
    void clearLists();
    // Shows the dialog for name kind 0 (first), 1 (second) or 2 (common).
    void open(int kind);

    // OK: appends the typed name to the table of the dialog's kind, puts it
    // into the staff page's name combo (selected) and hides the dialog.
    // An empty name (or one of spaces only) adds nothing and leaves the
    // dialog open: such a name could never be told apart from none.
    void Button1Click();
    // Cancel: hides the dialog; nothing changes.
    void Button2Click();

    int kind() const { return kind_; }

private:
    AppContext& ctx_;
    std::unique_ptr<Ui::NamesForm> ui;
    int kind_ = 0;
};

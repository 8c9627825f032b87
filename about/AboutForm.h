#pragma once

// The "About Quarn db" box: product, version, release date, authors and the
// homepage link.

#include <QDialog>
#include <memory>

struct AppContext;
class LumvardUrlLabel;

namespace Ui {
class AboutForm;
}

class AboutForm : public QDialog {
    Q_OBJECT
public:
    // The project's homepage, shown and opened by the link.
    static inline const QString Homepage = QStringLiteral("https://quarndb.example.org/");

    explicit AboutForm(AppContext& ctx, QWidget* parent = nullptr);
    ~AboutForm() override;

    // OK: hides the box.
    void Button1Click();

    LumvardUrlLabel* homepageLink() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitColumns();

    AppContext& ctx_;
    std::unique_ptr<Ui::AboutForm> ui;
    bool centred_ = false;
};

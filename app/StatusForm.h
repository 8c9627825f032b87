#pragma once

// The "Status" window that shows loading and saving progress. It cannot be
// closed by the user: loading and saving show and hide it.

#include <QDialog>
#include <QElapsedTimer>
#include <memory>

#include "db/storage/Progress.h"

struct AppContext;

namespace Ui {
class StatusForm;
}

class StatusForm : public QDialog, public db::Progress {
    Q_OBJECT
public:
    explicit StatusForm(AppContext& ctx, QWidget* parent = nullptr);
    ~StatusForm() override;

    // db::Progress
    void show() override;
    void hide() override;
    void setStatus(std::string_view text) override;
    void setMaximum(int maximum) override;
    void setPosition(int position) override;
    void step() override;
    void advance(int steps) override;

    QString statusText() const;
    int position() const;
    int maximum() const;

    // Every status text set since start-up, in order (tests and diagnostics).
    const QStringList& statusHistory() const { return history_; }

public slots:
    // Escape must not hide the window while a load is reporting to it.
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Lets the window repaint during a long load without taking user input;
    // called per table, and while records go by when some time has passed.
    void repaintNow();
    bool repaintDue() const;
    // Shows position_ on the bar, sparingly.
    void showPosition();
    void repaintIfDue();

    AppContext& ctx_;
    std::unique_ptr<Ui::StatusForm> ui;
    QStringList history_;
    int steps_ = 0;
    QElapsedTimer sinceRepaint_;
    int position_ = 0;
    int maximum_ = 100;
    bool centred_ = false;
};

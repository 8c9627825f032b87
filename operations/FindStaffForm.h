#pragma once

// The "Pick Staff" dialog: chooses a staff member (or "<none>") for one of
// the four staff preference lists of the club and staff pages, and hands the
// choice to the page that asked. Modeless and on top; its search text and
// found list persist between openings.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <vector>

#include "kit/Navigation.h"

struct AppContext;
class QListView;

namespace Ui {
class FindStaffForm;
}

class FindStaffForm : public QDialog {
    Q_OBJECT
public:
    explicit FindStaffForm(AppContext& ctx, QWidget* parent = nullptr);
    ~FindStaffForm() override;

    // Shows the picker aimed at list `target` (0/1 the club page's favourite
    // and disliked staff, 2/3 the staff page's); Select and Set To None hand
    // their choice to `onPick`, and the page that asked puts it in its list.
    void open(int target, Navigation::PickHandler onPick = {});
    using QDialog::open;
    int PickTarget = 0;
    // The last staff member picked; -1 after Set To None.
    std::int32_t PickedStaffId = -1;

    void Button1Click();  // Select
    void Button2Click();  // Search
    void Button3Click();  // Reset
    void Button4Click();  // Set To None
    void Button5Click();  // Cancel

protected:
    void showEvent(QShowEvent* event) override;

private:
    void pick(int record, const QString& text);

    AppContext& ctx_;
    Navigation::PickHandler onPick_;
    std::unique_ptr<Ui::FindStaffForm> ui;
};

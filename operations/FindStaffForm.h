#pragma once

// The "Pick Staff" dialog: puts a staff member (or "<none>") into one of the
// four staff preference lists of the club and staff pages. Modeless and on
// top; its search text and found list persist between openings.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <vector>

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
    // and disliked staff, 2/3 the staff page's).
    void open(int target);
    using QDialog::open;
    int PickTarget = 0;
    // The last staff member picked; -1 after Set To None.
    std::int32_t PickedStaffId = -1;

    void Button1Click();  // Select
    void Button2Click();  // Search
    void Button3Click();  // Reset
    void Button4Click();  // Set To None
    void Button5Click();  // Cancel

    // The list PickTarget names, looked up now (null when its page or list is missing).
    QListView* targetList() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Removes the target list's selected entry, then appends the new one.
    void replaceInTarget(const QString& text, int record);

    AppContext& ctx_;
    std::unique_ptr<Ui::FindStaffForm> ui;
};

#pragma once

// The "Transfer Staff" dialog: moves the person chosen on the staff page to
// another club, or releases him on a free transfer. Modeless and kept on top;
// created once and only shown and hidden afterwards, so the destination
// survives from one opening to the next.

#include <QDialog>
#include <cstdint>
#include <memory>

struct AppContext;

namespace Ui {
class TransferForm;
}

class TransferForm : public QDialog {
    Q_OBJECT
public:
    explicit TransferForm(AppContext& ctx, QWidget* parent = nullptr);
    ~TransferForm() override;

    // ListBoxClubs with every club in table order / empty.
    void fillLists();
    void clearLists();
    // A club added after loading joins the end of ListBoxClubs.
    void appendClubEntry(int clubId);
    // Transfer Player on the staff page: captures the person and his club,
    // sets JobForClub to `jobIndex` (enabled only when `jobEnabled`) and
    // shows the dialog. Destination, search text and club list stay as they were.
    void open(int transferStaffId, const QString& staffName, int fromClubId, int jobIndex, bool jobEnabled);
    using QDialog::open;

    // Handlers, named after their controls.
    void Button2Click();  // Search
    void Button3Click();  // Reset
    void Button4Click();  // Free Transfer
    void Button5Click();  // Cancel
    void Button6Click();  // OK
    void ListBoxClubsClick();
    void JobForClubChange(int index);

    // Whether a destination (a club or Free Transfer) was chosen since start-up.
    bool destinationChosen() const { return destinationChosen_; }

    // The dialog's state. FromClubId -2 = no club; ToClubId -2 = free transfer.
    std::int32_t TransferStaffId = 0;
    std::int32_t FromClubId = 0;
    std::int32_t ToClubId = 0;

private:
    void showClubs(const std::vector<std::int32_t>& clubIds);

    AppContext& ctx_;
    std::unique_ptr<Ui::TransferForm> ui;
    bool destinationChosen_ = false;
};

#pragma once

// The "Transfer Staff" dialog.

#include <QDialog>

struct AppContext;

class TransferForm : public QDialog {
    Q_OBJECT
public:
    explicit TransferForm(AppContext& ctx, QWidget* parent = nullptr);
    ~TransferForm() override;

    void fillLists();
    void clearLists();
    void appendClubEntry(int clubId);
    // Transfer Player on the staff page: captures the person and his club,
    // sets JobForClub to `jobIndex` (enabled only when `jobEnabled`) and
    // shows the dialog. Destination, search text and club list stay as they were.
    void open(int transferStaffId, const QString& staffName, int fromClubId, int jobIndex, bool jobEnabled);

private:
    AppContext& ctx_;
};

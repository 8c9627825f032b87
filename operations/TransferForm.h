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

private:
    AppContext& ctx_;
};

#pragma once

// "Change All..." of the Find window: one field of the records found (or of
// the rows selected) set, added to, multiplied, clamped or copied from
// another field. The preview says how many records change, shows a sample
// of old and new values and every value that would not fit the field,
// before anything changes; Apply is one undo step.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "db/editing/BulkChange.h"

struct AppContext;
class TextTableModel;

namespace Ui {
class ChangeAllForm;
}

class ChangeAllForm : public QDialog {
    Q_OBJECT
public:
    explicit ChangeAllForm(AppContext& ctx, QWidget* parent = nullptr);
    ~ChangeAllForm() override;

    // Opens the dialog on records `ids` of table `t`.
    void open(db::TableId t, std::vector<std::int32_t> ids);

    // Chooses the change as a user would: the operation is its caption
    // ("Set to", "Add", "Multiply by %", "Clamp into", "Copy from").
    void setChange(const QString& field, const QString& operation, const QString& value,
                   const QString& to = QString(), bool clamp = false);
    // The change the controls describe, in the command line's words
    // ("Wage*=110%"); empty without a field.
    QString changeText() const;
    // Works out the preview; false (with the reason shown) when the change
    // cannot be made as it stands.
    bool preview();
    // Makes the change as one undo step; false when nothing was changed.
    bool apply();

    const std::optional<db::BulkEdits>& edits() const { return edits_; }
    const TextTableModel& previewList() const { return *model_; }

private:
    void fieldChosen();
    void schedulePreview();

    AppContext& ctx_;
    std::unique_ptr<Ui::ChangeAllForm> ui;
    TextTableModel* model_;
    db::TableId table_ = db::TableId::Staff;
    std::vector<std::int32_t> ids_;
    std::optional<db::BulkEdits> edits_;
    db::BulkPlan plan_;
    bool previewPending_ = false;
};

#pragma once

// Two records of one table side by side, every field, the fields that
// differ marked "≠". Follows the database, so an edit of either shows here.

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

#include "db/format/Tables.h"

struct AppContext;
class TextTableModel;

namespace Ui {
class CompareRecordsForm;
}

class CompareRecordsForm : public QDialog {
    Q_OBJECT
public:
    explicit CompareRecordsForm(AppContext& ctx, QWidget* parent = nullptr);
    ~CompareRecordsForm() override;

    // Shows records `a` and `b` of table `t`.
    void compare(db::TableId t, std::int32_t a, std::int32_t b);
    // The rows shown: marker, field, first value, second value.
    const std::vector<QStringList>& rows() const;

private:
    void refresh();

    AppContext& ctx_;
    std::unique_ptr<Ui::CompareRecordsForm> ui;
    TextTableModel* model_;
    db::TableId table_ = db::TableId::Staff;
    std::int32_t a_ = -1;
    std::int32_t b_ = -1;
};

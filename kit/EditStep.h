#pragma once

// Makes one editing operation one undoable step. Construct an EditStep
// before the operation changes anything and let it go out of scope after:
// it notes the records the operation may touch, and on destruction hands
// what changed (if anything) to the edit history under its text.

#include <QString>
#include <cstdint>
#include <memory>

#include "db/editing/ChangeStep.h"

struct AppContext;

class EditStep {
public:
    // Without an edit history (some window tests) nothing is recorded.
    EditStep(AppContext& ctx, QString text);
    EditStep(EditStep&& other) noexcept;
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;
    EditStep& operator=(EditStep&&) = delete;
    ~EditStep();

    void touch(db::TableId table, std::int64_t position);
    // For operations that may change any record: compares whole tables.
    void touchAll();

private:
    AppContext& ctx_;
    QString text_;
    std::unique_ptr<db::ChangeRecorder> recorder_;
};

// Confirm Changes of the club `clubId`: the club and the stadiums its page
// has chosen.
EditStep clubConfirmStep(AppContext& ctx, int clubId);
// Confirm Changes of the person `staffId`: his records and the name records
// whose usage counts may move.
EditStep staffConfirmStep(AppContext& ctx, int staffId);
// A transfer: the person and both clubs.
EditStep transferStep(AppContext& ctx, int staffId, int fromClubId, int toClubId);

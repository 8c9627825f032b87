#pragma once

// Makes one editing operation one undoable step. Construct an EditStep
// before the operation changes anything and let it go out of scope after:
// it notes the records the operation may touch, and on destruction hands
// what changed (if anything) to the edit history under its text, which
// announces it to every window. Each window that changes records builds its
// own steps, beside the code that changes them.

#include <QString>
#include <cstdint>
#include <memory>

#include "db/editing/ChangeStep.h"

struct AppContext;

class EditStep {
public:
    EditStep(AppContext& ctx, QString text);
    EditStep(EditStep&& other) noexcept;
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;
    EditStep& operator=(EditStep&&) = delete;
    ~EditStep();

    void touch(db::TableId table, std::int64_t position);
    // For operations that may change any record: compares whole tables.
    void touchAll();
    // For engines that note what they will change themselves.
    db::ChangeRecorder& recorder() { return *recorder_; }

private:
    AppContext& ctx_;
    QString text_;
    std::unique_ptr<db::ChangeRecorder> recorder_;
};

// Confirm Changes of a record named `rawName` (Windows-1252): the text of its
// step ("Confirm Changes of ...").
QString confirmStepText(const std::string& rawName);

#include "StatusForm.h"

#include "app/AppContext.h"

StatusForm::StatusForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

StatusForm::~StatusForm() = default;

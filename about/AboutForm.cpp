#include "AboutForm.h"

#include "app/AppContext.h"

AboutForm::AboutForm(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {}

AboutForm::~AboutForm() = default;

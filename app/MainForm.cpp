#include "MainForm.h"

#include "app/AppContext.h"

MainForm::MainForm(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {}

MainForm::~MainForm() = default;

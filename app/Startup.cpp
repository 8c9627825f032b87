#include "Startup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include "about/AboutForm.h"
#include "kit/AppContext.h"
#include "app/MainForm.h"
#include "kit/Messages.h"
#include "kit/Platform.h"
#include "app/StatusForm.h"
#include "clubs/FindClubForm.h"
#include "operations/AddStaffForm.h"
#include "operations/CheckForm.h"
#include "operations/FindForm.h"
#include "operations/SheetForms.h"
#include "operations/WhereUsedForm.h"
#include "operations/FindStaffForm.h"
#include "operations/TransferForm.h"
#include "operations/WizForm.h"
#include "staff/NamesForm.h"

static void initIconResources()
{
    Q_INIT_RESOURCE(quarndb_app);
}

void prepareApplication(QApplication& app)
{
    initIconResources();
    // No display name: the window system would append it to every caption.
    app.setApplicationName(QStringLiteral("Quarn db"));
    // Per-user settings (saved searches) live under this name.
    app.setOrganizationName(QStringLiteral("Quarn"));
    app.setWindowIcon(QIcon(QStringLiteral(":/quarndb/quarndb.png")));
    // The fixed-size windows are laid out for an 8-point dialog font.
    QFont font = app.font();
    font.setPointSize(8);
    app.setFont(font);
}

void createWindows(AppContext& ctx)
{
    // The dialogs belong to the main window: they stay above it and go with
    // it when it closes.
    auto* main = new MainForm(ctx);
    main->setAttribute(Qt::WA_DeleteOnClose, false);
    main->show();
    ctx.statusForm = new StatusForm(ctx, main);
    ctx.findClubForm = new FindClubForm(ctx, main);
    ctx.findStaffForm = new FindStaffForm(ctx, main);
    ctx.transferForm = new TransferForm(ctx, main);
    ctx.namesForm = new NamesForm(ctx, main);
    ctx.addStaffForm = new AddStaffForm(ctx, main);
    ctx.wizForm = new WizForm(ctx, main);
    ctx.aboutForm = new AboutForm(ctx, main);
    ctx.checkForm = new CheckForm(ctx, main);
    ctx.whereUsedForm = new WhereUsedForm(ctx, main);
    ctx.findForm = new FindForm(ctx, main);
    ctx.exportSheetForm = new ExportSheetForm(ctx, main);
    ctx.importSheetForm = new ImportSheetForm(ctx, main);
}

int runQuarnDb(QApplication& app)
{
    prepareApplication(app);
    AppContext ctx;
    BoxMessages messages;
    Platform platform;
    ctx.messages = &messages;
    ctx.platform = &platform;

    createWindows(ctx);
    messages.setParent(ctx.mainForm);
    const int result = app.exec();
    delete ctx.mainForm;
    return result;
}

#include "Startup.h"

#include <QApplication>

#include "app/AppContext.h"
#include "app/MainForm.h"
#include "app/Messages.h"

int runQuarnDb(QApplication& app)
{
    app.setApplicationName(QStringLiteral("Quarn db"));
    AppContext ctx;
    BoxMessages messages;
    ctx.messages = &messages;
    MainForm main(ctx);
    main.show();
    return app.exec();
}

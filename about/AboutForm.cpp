#include "AboutForm.h"

#include <QIcon>

#include "Version.h"
#include "about/LumvardUrlLabel.h"
#include "kit/AppContext.h"
#include "kit/Platform.h"
#include "kit/WindowUtil.h"
#include "ui_AboutForm.h"

static void initIconResources()
{
    Q_INIT_RESOURCE(quarndb_app);
}

AboutForm::AboutForm(AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ctx_(ctx),
      ui(std::make_unique<Ui::AboutForm>())
{
    initIconResources();
    ui->setupUi(this);
    setFixedSize(298, 225);
    setModal(false);

    // The version the build was stamped with; the form's own text is the same.
    ui->Label6->setText(QString::fromLatin1(quarndb::kVersion));
    ui->Image1->setPixmap(QIcon(QStringLiteral(":/quarndb/quarndb.png")).pixmap(32, 32));
    QFont title(QStringLiteral("Verdana"));
    title.setPixelSize(37);
    title.setBold(true);
    setFittingFont(ui->Label1, title);

    LumvardUrlLabel* link = ui->LumvardURLLabel1;
    link->setText(Homepage);
    link->setUrl(Homepage);
    link->setCursorMouseOver(LumvardUrlLabel::crMozilla);
    link->setPopupString(QStringLiteral("Copy Link Location"));
    link->setOpener([this](const QString& url) {
        if (ctx_.platform)
            ctx_.platform->openUrl(url);
        else
            Platform().openUrl(url);
    });

    connect(ui->Button1, &QPushButton::clicked, this, &AboutForm::Button1Click);
    fitColumns();
}

void AboutForm::fitColumns()
{
    // The captions end just before the values. Where the desktop's font is
    // wider than the one the box was drawn for, the values move right
    // rather than the captions being cut.
    const QList<QLabel*> captions{ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label10};
    const QList<QWidget*> values{ui->Label6, ui->Label7, ui->Label8, ui->Label9, ui->LumvardURLLabel1};
    int captionWidth = 0;
    for (QLabel* c : captions)
        captionWidth = std::max(captionWidth, c->fontMetrics().horizontalAdvance(c->text()) + 2);
    const int valueX = std::max(104, 8 + captionWidth + 6);
    for (QLabel* c : captions) {
        const int right = valueX - 6;
        const int left = std::min(c->x(), right - captionWidth);
        c->setGeometry(left, c->y(), right - left, c->height());
    }
    for (QWidget* v : values) v->setGeometry(valueX, v->y(), width() - 4 - valueX, v->height());
}

AboutForm::~AboutForm() = default;

void AboutForm::Button1Click()
{
    hide();
}

LumvardUrlLabel* AboutForm::homepageLink() const
{
    return ui->LumvardURLLabel1;
}

void AboutForm::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centred_ = true;
        centerOnScreen(this);
    }
    QDialog::showEvent(event);
}

#include "MainForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QVBoxLayout>
#include <cstring>
#include <memory>

#include "about/AboutForm.h"
#include "app/ApplyUpdate.h"
#include "app/CompareForm.h"
#include "app/RecoveryHook.h"
#include "app/StatusForm.h"
#include "clubs/ClubPage.h"
#include "db/format/FieldCatalog.h"
#include "db/storage/Storage.h"
#include "kit/AppContext.h"
#include "kit/EditHistory.h"
#include "kit/EditStep.h"
#include "kit/Messages.h"
#include "kit/Platform.h"
#include "kit/QtText.h"
#include "kit/WindowUtil.h"
#include "operations/AddStaffForm.h"
#include "operations/CheckForm.h"
#include "operations/WizForm.h"
#include "staff/StaffPage.h"
#include "ui_MainForm.h"

namespace {

constexpr int ClientWidth = 520;
constexpr int ClientHeight = 434;

QString fromLocal(const char* text)
{
    return QFile::decodeName(QByteArray(text));
}

// Puts `page` into `tab` so that it fills it.
void fillTab(QWidget* tab, QWidget* page)
{
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
}

}  // namespace

MainForm::MainForm(AppContext& ctx, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      ctx_(ctx),
      ui(std::make_unique<Ui::MainForm>())
{
    ui->setupUi(this);
    ctx_.mainForm = this;

    // CM3Dir reads like a label: no frame, on whatever face it sits on.
    QPalette dirPalette = ui->CM3Dir->palette();
    dirPalette.setColor(QPalette::Base, Qt::transparent);
    ui->CM3Dir->setPalette(dirPalette);

    QFont heading(QStringLiteral("Verdana"));
    heading.setPixelSize(64);
    heading.setBold(true);
    setFittingFont(ui->Label2, heading);
    QPalette headingPalette = ui->Label2->palette();
    headingPalette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    ui->Label2->setPalette(headingPalette);

    // CM3Dir starts where its caption ends, whatever the desktop's font.
    const int captionWidth = ui->Label1->fontMetrics().horizontalAdvance(ui->Label1->text()) + 2;
    ui->Label1->resize(std::max(ui->Label1->width(), captionWidth), ui->Label1->height());
    const int dirX = ui->Label1->geometry().right() + 5;
    ui->CM3Dir->setGeometry(dirX, ui->CM3Dir->y(), ui->AboutMemo->geometry().right() + 1 - dirX,
                            ui->CM3Dir->height());

    ui->PageControl1->setCurrentWidget(ui->TabSheet1);
    auto* clubPage = new ClubPage(ctx_, ui->TabSheet2);
    clubPage->setObjectName(QStringLiteral("ClubPage"));
    fillTab(ui->TabSheet2, clubPage);
    ctx_.clubPage = clubPage;
    auto* staffPage = new StaffPage(ctx_, ui->TabSheet10);
    staffPage->setObjectName(QStringLiteral("StaffPage"));
    fillTab(ui->TabSheet10, staffPage);
    ctx_.staffPage = staffPage;

    connect(ui->Open1, &QAction::triggered, this, &MainForm::Open1Click);
    connect(ui->Save1, &QAction::triggered, this, &MainForm::Save1Click);
    connect(ui->ApplyUpdate1, &QAction::triggered, this, &MainForm::ApplyUpdate1Click);
    connect(ui->CompareWithFolder1, &QAction::triggered, this, [this] { compareWithFolder(ctx_, this); });
    connect(ui->ExportToSpreadsheet1, &QAction::triggered, this, [this] {
        if (ctx_.navigation) ctx_.navigation->showExport(db::TableId::Staff, {});
    });
    connect(ui->ImportFromSpreadsheet1, &QAction::triggered, this, [this] {
        if (ctx_.navigation) ctx_.navigation->showImport();
    });
    connect(ui->Exit1, &QAction::triggered, this, &MainForm::Exit1Click);
    connect(ui->Club1, &QAction::triggered, this, &MainForm::Club1Click);
    connect(ui->Staff1, &QAction::triggered, this, &MainForm::Staff1Click);
    connect(ui->Wizard1, &QAction::triggered, this, &MainForm::Wizard1Click);
    connect(ui->About1, &QAction::triggered, this, &MainForm::About1Click);
    setLoaded(false);
    ctx_.history = new EditHistory(ctx_, this);
    ctx_.history->install(ui->Edit1, ui->MainMenu1);
    ui->Edit1->addSeparator();
    QAction* find = ui->Edit1->addAction(QStringLiteral("&Find..."), this, [this] {
        if (ctx_.navigation) ctx_.navigation->showFind();
    });
    find->setObjectName(QStringLiteral("Find1"));
    find->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    QAction* check = ui->Edit1->addAction(QStringLiteral("Chec&k Database..."), this, [this] {
        if (ctx_.checkForm) ctx_.checkForm->showProblems();
    });
    check->setObjectName(QStringLiteral("CheckDatabase1"));
    // What damage the files already had is known before the first change,
    // so a save asks only about damage the editing brought in.
    ctx_.history->whenLoaded([this](const db::Database& d) { loadedDamage_ = damageLines(d); });
    // Records changed behind the history's back are compared with the game
    // folder as loaded, read once more (only ever on such a fault).
    ctx_.history->setLoadedReader(
        [this, original = std::shared_ptr<db::Database>()](
            db::TableId t, std::size_t first, std::size_t count, std::vector<std::uint8_t>& out) mutable {
            try {
                if (!original) {
                    auto d = std::make_shared<db::Database>();
                    db::readIndex(*d, gameDirectory());
                    db::NullProgress quiet;
                    db::loadDatabase(*d, gameDirectory(), QFile::encodeName(ctx_.wizardPath).toStdString(),
                                     quiet);
                    original = std::move(d);
                }
            } catch (const std::exception&) {
                return false;
            }
            if (first + count > db::tableSize(*original, t)) return false;
            const std::size_t size = db::tableLayout(t).recordSize;
            out.resize(count * size);
            for (std::size_t i = 0; i < count; ++i)
                std::memcpy(out.data() + i * size, db::recordData(*original, t, first + i), size);
            return true;
        });

    ui->centralwidget->setFixedSize(ClientWidth, ClientHeight);
    setFixedSize(ClientWidth, ClientHeight + ui->MainMenu1->sizeHint().height());

    // Each step reports its own failure; one failing step costs no more
    // than its own part of the window.
    bool found = false;
    readGameDirectory(found);
    loadNotes();
    ctx_.db.clearTables();
    // Without a directory there is no index to read (the error box has
    // already said why).
    if (found && recoverBeforeUse(gameDirectory(), messages()) != FolderState::NotWhole) readIndex();
}

MainForm::~MainForm()
{
    // The work after a load writes into this window (the load's damage):
    // it ends before the window's members go.
    if (ctx_.history) ctx_.history->beforeChange();
}

std::string MainForm::gameDirectory() const
{
    return QFile::encodeName(ui->CM3Dir->text()).toStdString();
}

void MainForm::readGameDirectory(bool& found)
{
    Platform fallback;
    const Platform& platform = ctx_.platform ? *ctx_.platform : fallback;
    try {
        // One path style everywhere the folder shows: the file layer joins
        // names with the system's own separator.
        ui->CM3Dir->setText(QDir::toNativeSeparators(platform.gameDirectory()));
        found = true;
    } catch (const std::exception& e) {
        ui->CM3Dir->clear();
        messages().failure(fromLocal(e.what()));
    }
}

void MainForm::loadNotes()
{
    QFile file(ctx_.notesPath);
    if (!file.open(QIODevice::ReadOnly)) {
        messages().failure(QStringLiteral("Cannot open file %1").arg(ctx_.notesPath));
        return;
    }
    const QByteArray bytes = file.readAll();
    // Our own notes are UTF-8; anything else is taken as Windows text.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = fromRaw(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    text.remove(QLatin1Char('\r'));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    ui->AboutMemo->setPlainText(text);

    QTextCursor all(ui->AboutMemo->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
    ui->AboutMemo->moveCursor(QTextCursor::Start);
}

void MainForm::readIndex()
{
    try {
        db::readIndex(ctx_.db, gameDirectory());
    } catch (const std::exception& e) {
        messages().failure(fromLocal(e.what()));
    }
}

void MainForm::setLoaded(bool loaded)
{
    loaded_ = loaded;
    ui->Open1->setEnabled(!loaded);
    ui->Save1->setEnabled(loaded);
    ui->ApplyUpdate1->setEnabled(loaded);
    ui->CompareWithFolder1->setEnabled(loaded);
    ui->ExportToSpreadsheet1->setEnabled(loaded);
    ui->ImportFromSpreadsheet1->setEnabled(loaded);
    ui->Edit1->setEnabled(loaded);
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->TabSheet2), loaded);
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->TabSheet10), loaded);
}

void MainForm::clearAllLists()
{
    ctx_.events.announce({DatabaseChange::Kind::Unloaded, nullptr});
}

void MainForm::fillAllLists()
{
    ctx_.events.announce({DatabaseChange::Kind::Loaded, nullptr});
}

void MainForm::Open1Click()
{
    if (loaded_) return;
    // A save finished or undone since the index was read changed what it counts.
    const FolderState folder = recoverBeforeUse(gameDirectory(), messages());
    if (folder == FolderState::NotWhole) return;
    if (folder == FolderState::Changed) readIndex();
    clearAllLists();
    QString failure;
    {
        WaitCursor wait;
        try {
            db::loadDatabase(ctx_.db, gameDirectory(), QFile::encodeName(ctx_.wizardPath).toStdString(),
                             progress());
        } catch (const std::exception& e) {
            failure = fromLocal(e.what());
        }
        fillAllLists();
    }
    if (!failure.isEmpty() || !ctx_.db.loadComplete()) {
        // The status window stays up with the step that failed.
        messages().failure(failure);
        return;
    }
    if (ctx_.statusForm) ctx_.statusForm->hide();
    messages().information(QStringLiteral("Loading is done!"));
    setLoaded(true);
    ctx_.history->loaded();
}

void MainForm::Save1Click()
{
    // Saving tables that were never loaded would overwrite the game's files
    // with nothing.
    if (!loaded_) return;
    if (recoverBeforeUse(gameDirectory(), messages()) == FolderState::NotWhole) return;
    if (!confirmNoNewDamage()) return;
    std::string backupFolder;
    {
        WaitCursor wait;
        try {
            ctx_.history->checkBeforeSave();
            backupFolder = saveSession_.save(ctx_.db, gameDirectory(), progress());
        } catch (const std::exception& e) {
            messages().failure(fromLocal(e.what()));
            return;
        }
    }
    ctx_.history->saved();
    if (!backupFolder.empty()) {
        ui->AboutMemo->append(
            QStringLiteral("Your original data files were copied to %1 before the first save.")
                .arg(QFile::decodeName(QByteArray::fromStdString(backupFolder))));
    }
    messages().information(QStringLiteral("Saving was a smashing success!"));
    if (ctx_.statusForm) ctx_.statusForm->hide();
}

bool MainForm::confirmNoNewDamage()
{
    ctx_.history->beforeChange();  // the load's own damage is known by then
    std::vector<db::Problem> fresh;
    {
        WaitCursor wait;
        fresh = newDamage(ctx_.db, loadedDamage_);
    }
    if (fresh.empty()) return true;
    QString text = QStringLiteral(
                       "The database holds %1 that the game may crash on and that the files did not "
                       "have when they were loaded:\n")
                       .arg(fresh.size() == 1 ? QStringLiteral("1 problem")
                                              : QStringLiteral("%1 problems").arg(fresh.size()));
    constexpr std::size_t kShown = 5;
    for (std::size_t i = 0; i < fresh.size() && i < kShown; ++i)
        text += QLatin1Char('\n') + fromRaw(fresh[i].line());
    if (fresh.size() > kShown) text += QStringLiteral("\n... and %1 more.").arg(fresh.size() - kShown);
    switch (messages().askBeforeDamagingSave(text)) {
        case MessageSink::Answer::Save:
            return true;
        case MessageSink::Answer::ShowProblems:
            if (ctx_.checkForm) ctx_.checkForm->showProblems(static_cast<int>(db::Grade::Damage));
            return false;
        default:
            return false;
    }
}

void MainForm::ApplyUpdate1Click()
{
    if (!loaded_) return;
    const QString path = chooseUpdateFile(this);
    if (path.isEmpty()) return;
    UpdateOutcome outcome;
    {
        WaitCursor wait;
        // The whole update is one step of the history: Undo takes all of it back.
        EditStep step(ctx_, QStringLiteral("Apply Update"));
        step.touchAll();
        outcome = applyUpdateFile(ctx_.db, path);
        // New records and names reach every pick list; the pages show no
        // record afterwards, so no control still holds a value from before.
        if (outcome.applied) {
            clearAllLists();
            fillAllLists();
        }
    }
    showOutcome(messages(), outcome);
}

void MainForm::Exit1Click()
{
    close();
}

void MainForm::Club1Click()
{
    if (ctx_.clubPage) ctx_.clubPage->addClub();
}

void MainForm::Staff1Click()
{
    if (ctx_.addStaffForm) ctx_.addStaffForm->show();
}

void MainForm::Wizard1Click()
{
    if (ctx_.wizForm) ctx_.wizForm->show();
}

void MainForm::About1Click()
{
    if (ctx_.aboutForm) ctx_.aboutForm->show();
}

void MainForm::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centred_ = true;
        centerOnScreen(this);
    }
    QMainWindow::showEvent(event);
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program, whatever dialogs are still
    // up; confirmed changes that were never saved are not thrown away unasked.
    if (!ctx_.history->confirmQuit([this] { Save1Click(); })) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) QCoreApplication::quit();
}

db::Progress& MainForm::progress()
{
    static db::NullProgress none;
    if (ctx_.statusForm) return *ctx_.statusForm;
    return none;
}

MessageSink& MainForm::messages()
{
    static BoxMessages boxes;
    return ctx_.messages ? *ctx_.messages : boxes;
}

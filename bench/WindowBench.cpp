#include "WindowBench.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "BenchUtil.h"
#include "kit/AppContext.h"
#include "app/MainForm.h"
#include "kit/Messages.h"
#include "kit/Platform.h"
#include "app/Startup.h"

namespace {

// Names the benchmark's game folder, as the registry would.
class FixedGamePlatform : public Platform {
public:
    explicit FixedGamePlatform(QString dir) : dir_(std::move(dir)) {}
    QString gameDirectory() const override { return dir_; }

private:
    QString dir_;
};

// Every window of the program, as start-up creates them.
struct Windows {
    AppContext ctx;
    RecordingMessages messages;
    FixedGamePlatform platform;
    std::unique_ptr<MainForm> main;

    Windows(const std::string& gameDir, const std::string& wizardFile)
        : platform(QString::fromStdString(gameDir))
    {
        ctx.messages = &messages;
        ctx.platform = &platform;
        ctx.wizardPath = QString::fromStdString(wizardFile);
        createWindows(ctx);
        main.reset(ctx.mainForm);
    }

    template <typename T>
    T* child(const char* name) const
    {
        T* w = main->findChild<T*>(QString::fromLatin1(name));
        if (!w) throw std::runtime_error(std::string("no control ") + name);
        return w;
    }

    void open()
    {
        messages.clear();
        child<QAction>("Open1")->trigger();
        if (!ctx.db.loadComplete()) throw std::runtime_error("File > Open failed in the window");
    }
};

double pressSearch(Windows& w, const char* edit, const char* button, const char* text, int runs)
{
    auto* box = w.child<QLineEdit>(edit);
    auto* search = w.child<QAbstractButton>(button);
    box->setText(QString::fromLatin1(text));
    return bench::medianMs(runs, [&] {
        search->click();
        QApplication::processEvents();
    });
}

}  // namespace

WindowFigures measureWindows(const std::string& gameDir, const std::string& wizardFile, int runs)
{
    WindowFigures f;
    // File > Open works once per run of the program, so every timing gets
    // fresh windows; only the command itself is timed.
    std::vector<double> opens;
    for (int i = 0; i < runs; ++i) {
        Windows w(gameDir, wizardFile);
        w.main->show();
        QApplication::processEvents();
        opens.push_back(bench::medianMs(1, [&] {
            w.open();
            QApplication::processEvents();
        }));
    }
    std::sort(opens.begin(), opens.end());
    f.open = opens[opens.size() / 2];

    Windows w(gameDir, wizardFile);
    w.main->show();
    w.open();
    f.staffSearchSon = pressSearch(w, "StaffSearch", "Button7", "son", runs);
    f.staffSearchA = pressSearch(w, "StaffSearch", "Button7", "a", runs);
    f.clubSearch = pressSearch(w, "ClubSearch", "Button2", "an", runs);
    return f;
}

// Measures the Find window on generated databases held in memory: a query
// with 100,000 results shown (query, sort by nothing, first screen painted),
// every staff member shown, and a jump to the last row of that list.
// Wall-clock milliseconds, best of the runs; run offscreen.
//
//   quarndb-find-bench [--scales 1,10,50] [--runs 5]

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "kit/AppContext.h"
#include "kit/QueryResultModel.h"
#include "operations/FindForm.h"
#include "tools/sample/SampleDb.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::vector<double> scales{1, 10, 50};
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--scales") == 0)
            scales = bench::parseScales(argv[i + 1]);
        else if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
    }
    std::printf(
        "| Scale | Staff | 100,000 results shown | Every staff member shown | Jump to the last row |\n");
    std::printf("|---|---|---|---|---|\n");
    for (double scale : scales) {
        AppContext ctx;
        ctx.db = sample::makeDatabase({scale, 7});
        FindForm form(ctx);
        form.show();
        auto* query = form.findChild<QLineEdit*>(QStringLiteral("QueryText"));
        auto* view = form.findChild<QTableView*>(QStringLiteral("Results"));
        auto show = [&](const char* text) {
            query->setText(QString::fromLatin1(text));
            form.runQuery();
            view->viewport()->repaint();
            QApplication::processEvents();
        };
        const double hundredK = bench::bestWallMs(runs, [&] { show("Id < 100000"); });
        const double all = bench::bestWallMs(runs, [&] { show(""); });
        const double last = bench::bestWallMs(runs, [&] {
            view->scrollToTop();
            view->viewport()->repaint();
            view->scrollToBottom();
            view->viewport()->repaint();
            QApplication::processEvents();
        });
        std::printf("| %g× | %zu | %.1f ms | %.1f ms | %.1f ms |\n", scale, ctx.db.staff.size(), hundredK,
                    all, last);
        std::fflush(stdout);
    }
    return 0;
}

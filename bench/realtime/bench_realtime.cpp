// The real-time window: opening it on an empty realtime table and on 1,000,000 stored samples;
// one manual sample against an unpaced simulator at the first grid rows and past the
// 10,000th; saving a 10,000-row grid as a datalogger file.

#include "app_context.h"
#include "bench_figures.h"
#include "database.h"
#include "link_fixture.h"
#include "main_window.h"
#include "realtime_window.h"
#include "sample_grid_view.h"
#include "schema.h"
#include "scripted_prompts.h"
#include "text_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

using namespace vorna;

namespace {

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// `rows` samples of plant 1, one every 10 s from 1 January 2024, inserted by the database itself.
void fillRealtime(Database& db, int rows) {
    db
        .prepare(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < ?) "
            "INSERT INTO realtime (IDIMP, NUMERO, data, ora, rad, POTRAD, TEMPAMB, TEMPPAN, "
            "VDC1, IDC1, VDC2, IDC2, VDC3, IDC3, POTDC, VAC1, IAC1, VAC2, IAC2, VAC3, IAC3, "
            "POTAC, RENDDC, RENDAC, ESITOAC, COEFFTEMP, REAL2, TEXT1, TEXT2) "
            "SELECT 1, i % 10000 + 1, date('2024-01-01', '+' || (i / 8640) || ' days'), "
            "time(i % 8640 * 10, 'unixepoch'), 200 + i % 900, 3.1, 24.5, 41.2, 410.2, 7.1, "
            "-10000, -10000, -10000, -10000, 2.9, 231, 12.1, -10000, -10000, -10000, "
            "-10000, 2.8, 0.93, 0.96, 1, -0.45, 0.89, 'FV 2.1.5', 'ZMB 4.5' FROM n"))
        .bind(1, rows)
        .run();
}

// The program on `folder` with the instrument (an unpaced simulator) connected and the plant
// of the table current.
struct Program {
    explicit Program(const QString& folder)
        : sim(folder, 1, {QStringLiteral("--quiet")}), ctx(prompts, folder) {
        window.emplace(ctx, folder);
        window->MDIForm_Load();
        window->show();
        settle();
        window->area()->closeAllSubWindows();
        settle();
        ctx.link.serialeBase.setPortNumber(1);
        ctx.link.setLinkUp(Unit::Base, true);
        ctx.plant.ID = 1;
    }
    // Milliseconds from the request to the window painted.
    double open() {
        QElapsedTimer t;
        t.start();
        window->openChild(QStringLiteral("realtime"));
        settle();
        return t.nsecsElapsed() / 1e6;
    }
    RealtimeWindow* realtime() { return qobject_cast<RealtimeWindow*>(window->currentChild()); }

    test::SimProcess sim;
    test::ScriptedPrompts prompts;
    AppContext ctx;
    std::optional<MainWindow> window;
};

void prepareFolder(const QString& folder, int rows) {
    Database db;
    db.open(folder + QStringLiteral("/DATA_v2.MDB"));
    ensure_schema(db);
    db.exec(QStringLiteral("INSERT INTO impianti (tipo, nome, POT, BOOL1, NOCT, REAL1) "
                           "VALUES (1, 'Bench plant', 3.5, 0, 45, -0.45)"));
    if (rows > 0) fillRealtime(db, rows);
}

double openMedian(Program& p, int times) {
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        ms.push_back(p.open());
        p.window->area()->closeAllSubWindows();
        settle();
    }
    return bench::median(ms);
}

// Milliseconds of `count` evaluations of the last value list alone (store and grid row): the
// part of a sample that could grow with the grid.
std::vector<double> evaluations(RealtimeWindow* w, int count) {
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        w->visualizza_ris();
        settle();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

// Milliseconds of `count` presses of "Acquire", each until the grid is painted again.
std::vector<double> samples(RealtimeWindow* w, int count) {
    auto* button = w->findChild<QPushButton*>(QStringLiteral("bttControllo"));
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        button->click();
        settle();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::findSimulator();
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 1000000;

    // Opening.
    QTemporaryDir empty, full;
    prepareFolder(empty.path(), 0);
    QElapsedTimer fill;
    fill.start();
    prepareFolder(full.path(), rows);
    std::printf("(filled %d realtime rows in %.1f s)\n", rows, fill.elapsed() / 1000.0);
    double openEmpty = 0, openFull = 0;
    {
        Program p(empty.path());
        openEmpty = openMedian(p, 7);
    }
    {
        Program p(full.path());
        openFull = openMedian(p, 7);
    }
    std::printf("open realtime, empty table        median %8.1f ms\n", openEmpty);
    std::printf("open realtime, %7d rows        median %8.1f ms   (%+.1f ms; target < +100 ms)\n",
                rows, openFull, openFull - openEmpty);

    // One sample at the first rows and past the 10,000th; then saving that grid.
    Program p(full.path());
    p.open();
    RealtimeWindow* w = p.realtime();
    const double first = samples(w, 1).front();
    const std::vector<double> early = samples(w, 30);
    const std::vector<double> earlyEval = evaluations(w, 30);
    SampleGridModel& grid = w->grid()->grid();
    const SampleRow filler = grid.table().sample(0);
    while (grid.table().sampleCount() < 9999)
        grid.appendSample(filler);
    settle();
    const std::vector<double> late = samples(w, 31);
    const std::vector<double> lateEval = evaluations(w, 30);
    std::printf("one sample, 1st grid row               %8.2f ms\n", first);
    std::printf("one sample, rows 2-31         median %8.2f ms\n", bench::median(early));
    std::printf(
        "one sample, rows 10000-10030  median %8.2f ms   (ratio %.2f; target median < 25 ms, "
        "ratio < 1.2)\n",
        bench::median(late), bench::median(late) / bench::median(early));
    std::printf("  of which store and grid row: early median %.3f ms, past 10000 median %.3f ms\n",
                bench::median(earlyEval), bench::median(lateEval));

    std::vector<double> saves;
    for (int i = 0; i < 5; ++i) {
        p.prompts.saveNames = {full.path() + QStringLiteral("/datalogger.txt")};
        QElapsedTimer t;
        t.start();
        w->bttSalva_Click();
        saves.push_back(t.nsecsElapsed() / 1e6);
    }
    QElapsedTimer text;
    text.start();
    make_file_logger(p.ctx, grid.table());
    const double textMs = text.nsecsElapsed() / 1e6;
    std::printf("save a %d-row grid            median %8.1f ms   (target < 300 ms)\n",
                grid.table().sampleCount(), bench::median(saves));
    std::printf("  of which the grid text (make_file_logger)   %8.1f ms\n", textMs);
    return 0;
}

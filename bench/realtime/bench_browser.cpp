// The stored-data browser on a database of 1,000,000 samples, 100,000 of them on one plant and
// day: from choosing the day to the grid painted, and from an option click to the chart of
// 100,000 points painted. Medians of 5, each against the floor measured beside it in the same
// run: the same rows counted through the index (targets: grid within 3 x that floor, chart
// under 0.1 s). The bare read of the grid's columns of those rows is printed too: no grid
// fills faster than the engine hands over its rows.
//
//   bench_browser [folder]   (a folder keeps its database from one run to the next)

#include "app_context.h"
#include "bench_figures.h"
#include "chart_window.h"
#include "database_init.h"
#include "main_window.h"
#include "realtime_data_window.h"
#include "schema.h"
#include "scripted_prompts.h"
#include "stored_rows.h"
#include "text_grid.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>
#include <vector>

using namespace vorna;

namespace {

constexpr int kTotalRows = 1000000;
constexpr int kDayRows = 100000;
constexpr int kRuns = 5;

// Plant 1 on 2011-06-30 holds kDayRows samples from 01:00:00 on; the other rows go to nine
// other plants and to plant 1's other days.
void fill(Database& db) {
    ensure_schema(db);
    for (int p = 1; p <= 10; ++p)
        test::insertPlant(db, QStringLiteral("Bench plant %1").arg(p), 10);
    Database::Transaction tx(db);
    Statement st = db.prepare(test::storedRowInsert());
    for (int i = 0; i < kTotalRows; ++i) {
        const bool day = i < kDayRows;
        const qint64 plant = day ? 1 : 1 + i % 10;
        const QDate date = day ? QDate(2011, 6, 30) : QDate(2011, 7, 1).addDays(i % 300);
        const QTime time = QTime(1, 0).addSecs((i % kDayRows) * 79199 / kDayRows);
        QVariantMap values{{"rad", 200 + i % 900}, {"TEMPPAN", -5 + i % 40}};
        if (i % 97 == 0) values.insert("VDC2", -2000);
        st.bindAll(test::storedRowValues(plant, date.toString(Qt::ISODate),
                                         time.toString(QStringLiteral("HH:mm:ss")), values));
        st.run();
        st.reset();
    }
    tx.commit();
}

// Notes when a widget has been painted: the paint runs inside the processEvents call that
// delivered the event, so the call's return is the end of the paint.
struct PaintProbe : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

struct Timing {
    double wall, cpu;
};

template <typename Action> Timing untilPainted(QWidget* w, Action act) {
    PaintProbe probe;
    w->installEventFilter(&probe);
    QElapsedTimer t;
    t.start();
    const double cpu0 = bench::cpuSeconds();
    act();
    while (!probe.painted && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const Timing timing{t.nsecsElapsed() / 1e9, bench::cpuSeconds() - cpu0};
    w->removeEventFilter(&probe);
    return timing;
}

// The grid's rows of plant 1 on its day, from 01:00:00 to 22:59:59.
const char* const kDayRange = " FROM realtime WHERE IDIMP=1 AND data='2011-06-30' AND "
                              "ora>='01:00:00' AND ora<='22:59:59'";

// Seconds one statement takes on its own connection to run through all its rows, reading
// every column of each as a number.
double statementSeconds(const QString& file, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    QElapsedTimer t;
    t.start();
    double sink = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0, n = sqlite3_column_count(st); i < n; ++i)
            sink += sqlite3_column_double(st, i);
    const double s = t.nsecsElapsed() / 1e9;
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return sink < 0 ? -s : s;
}

double countSeconds(const QString& file) {
    return statementSeconds(file, QByteArray("SELECT COUNT(*)") + kDayRange);
}

// The floor as a user at a shell measures it: the sqlite3 program, start to end.
double shellCountSeconds(const QString& file) {
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    shell.start("sqlite3", {file, QByteArray("SELECT COUNT(*)") + kDayRange});
    shell.waitForFinished();
    return t.nsecsElapsed() / 1e9;
}

double bareReadSeconds(const QString& file) {
    QStringList names{"data", "ora"};
    for (const MeasurementColumn& c : kMeasurementNumbers)
        names << c.name;
    names << "ESITOAC";
    return statementSeconds(file, "SELECT " + names.join(", ").toLatin1() + kDayRange +
                                      " ORDER BY ora, ID");
}

// Wall time is the figure; processor time shows how much of it a busy machine added. Each
// timing's floor is the count measured just before it.
void report(const char* what, const std::vector<Timing>& times, const std::vector<double>& floors,
            const char* target) {
    std::vector<double> wall, cpu, ratio;
    for (size_t i = 0; i < times.size(); ++i) {
        wall.push_back(times[i].wall);
        cpu.push_back(times[i].cpu);
        ratio.push_back(times[i].wall / floors[i]);
    }
    std::printf("%s: median %.3f s wall (min %.3f, max %.3f), %.3f s processor, %.1f x the "
                "floor, over %zu runs; target %s\n",
                what, bench::median(wall), *std::min_element(wall.begin(), wall.end()),
                *std::max_element(wall.begin(), wall.end()), bench::median(cpu),
                bench::median(ratio), times.size(), target);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = (argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path()) + '/';
    if (!QDir().mkpath(folder)) {
        std::printf("cannot create the folder %s\n", qPrintable(folder));
        return 1;
    }
    if (!QFile::exists(folder + kDataFile)) {
        QElapsedTimer t;
        t.start();
        Database db;
        db.open(folder + kDataFile);
        fill(db);
        std::printf("%d samples stored (%d on one plant and day) in %.1f s\n", kTotalRows, kDayRows,
                    t.nsecsElapsed() / 1e9);
    }
    test::ScriptedPrompts prompts;
    AppContext ctx(prompts, folder, QLocale(QLocale::English, QLocale::UnitedStates));
    MainWindow window(ctx, folder);
    window.MDIForm_Load();
    window.show();
    window.openChild(QStringLiteral("realtime_data"));
    auto* browser = window.findChild<RealtimeDataWindow*>(QStringLiteral("realtime_data"));
    auto* plants = browser->findChild<QComboBox*>(QStringLiteral("cbImp"));
    auto* days = browser->findChild<QComboBox*>(QStringLiteral("cbDate"));
    auto* grid = browser->findChild<QAbstractScrollArea*>(QStringLiteral("grMis"));
    plants->setCurrentIndex(1);
    emit plants->activated(1);
    QCoreApplication::processEvents();

    const QString file = folder + kDataFile;
    std::printf("load %s\n", qPrintable(bench::machineLoad()));
    std::vector<double> floors, shellFloors, bareReads;
    std::vector<Timing> gridTimes;
    for (int i = 0; i < kRuns; ++i) {
        floors.push_back(countSeconds(file));
        shellFloors.push_back(shellCountSeconds(file));
        bareReads.push_back(bareReadSeconds(file));
        gridTimes.push_back(untilPainted(grid->viewport(), [&] {
            days->setCurrentIndex(0);
            emit days->activated(0);
        }));
    }
    std::printf("grid rows: %d\n", browser->grid().rowCount() - 2);
    std::printf("floor, indexed COUNT(*) of the day's rows: median %.4f s in this process, "
                "%.4f s through the sqlite3 program\n",
                bench::median(floors), bench::median(shellFloors));
    std::printf("bare read of the grid's 25 columns of those rows: median %.3f s (%.1f x the "
                "floor)\n",
                bench::median(bareReads), bench::median(bareReads) / bench::median(floors));
    report("day chosen -> grid painted", gridTimes, floors, "within 3 x the floor");
    std::vector<double> gridShell;
    for (int i = 0; i < kRuns; ++i)
        gridShell.push_back(gridTimes[size_t(i)].wall / shellFloors[size_t(i)]);
    std::printf("  against the floor through the sqlite3 program: %.1f x\n",
                bench::median(gridShell));

    browser->findChild<QPushButton*>(QStringLiteral("bttGrafico"))->click();
    QCoreApplication::processEvents();
    ChartWindow* chart = browser->chart();
    QWidget* view = chart->chartView()->viewport();
    std::vector<Timing> chartTimes;
    std::vector<double> chartFloors;
    for (int i = 0; i < kRuns; ++i) {
        auto* option =
            chart->findChild<QRadioButton*>(QStringLiteral("opSelMis_%1").arg(i % 2 ? 0 : 2));
        chartFloors.push_back(countSeconds(file));
        chartTimes.push_back(untilPainted(view, [&] { option->click(); }));
    }
    report("option click -> chart of 100,000 points painted", chartTimes, chartFloors,
           "under 0.1 s");
    std::printf("load %s\n", qPrintable(bench::machineLoad()));
    window.close();
    return 0;
}

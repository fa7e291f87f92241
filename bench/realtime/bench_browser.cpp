// The stored-data browser on a database of 1,000,000 samples, 100,000 of them on one plant and
// day: from choosing the day to the grid painted (target: under 0.3 s), and from an option
// click to the chart of 100,000 points painted (target: under 0.2 s). Median of 5.

#include "app_context.h"
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
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
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

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Timing {
    double wall, cpu;
};

template <typename Action> Timing untilPainted(QWidget* w, Action act) {
    PaintProbe probe;
    w->installEventFilter(&probe);
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuSeconds();
    act();
    while (!probe.painted && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const Timing timing{t.nsecsElapsed() / 1e9, cpuSeconds() - cpu0};
    w->removeEventFilter(&probe);
    return timing;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Wall time is the figure; processor time shows how much of it a busy machine added.
void report(const char* what, const std::vector<Timing>& times, double target) {
    std::vector<double> wall, cpu;
    for (const Timing& t : times)
        wall.push_back(t.wall), cpu.push_back(t.cpu);
    std::printf("%s: median %.3f s wall (min %.3f, max %.3f), %.3f s processor, over %zu runs; "
                "target under %.1f s\n",
                what, median(wall), *std::min_element(wall.begin(), wall.end()),
                *std::max_element(wall.begin(), wall.end()), median(cpu), times.size(), target);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A folder given on the command line keeps its database from one run to the next.
    QTemporaryDir dir;
    const QString folder = (argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path()) + '/';
    if (!QFile::exists(folder + kDataFile)) {
        QElapsedTimer t;
        t.start();
        Database db;
        db.open(folder + kDataFile);
        fill(db);
        std::printf("%d samples stored (%d on one plant and day) in %.1f s\n", kTotalRows,
                    kDayRows, t.nsecsElapsed() / 1e9);
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

    std::vector<Timing> gridTimes;
    for (int i = 0; i < kRuns; ++i) {
        gridTimes.push_back(untilPainted(grid->viewport(), [&] {
            days->setCurrentIndex(0);
            emit days->activated(0);
        }));
    }
    std::printf("grid rows: %d\n", browser->grid().rowCount() - 2);
    report("day chosen -> grid painted", gridTimes, 0.3);

    browser->findChild<QPushButton*>(QStringLiteral("bttGrafico"))->click();
    QCoreApplication::processEvents();
    ChartWindow* chart = browser->chart();
    QWidget* view = chart->chartView()->viewport();
    std::vector<Timing> chartTimes;
    for (int i = 0; i < kRuns; ++i) {
        auto* option =
            chart->findChild<QRadioButton*>(QStringLiteral("opSelMis_%1").arg(i % 2 ? 0 : 2));
        chartTimes.push_back(untilPainted(view, [&] { option->click(); }));
    }
    report("option click -> chart of 100,000 points painted", chartTimes, 0.2);
    window.close();
    return 0;
}

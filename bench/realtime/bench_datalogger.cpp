// The datalogger: what a run costs on the real clock while it waits for its start and between
// two samples at interval 5 (CPU of this process, the simulator apart), and a whole day from
// 1:00 to 22:59 at interval 1 on the virtual clock against an unpaced simulator (wall time and
// memory growth).
//
// bench_datalogger [SECONDS]: each real-clock phase lasts SECONDS (default 120).

#include "bench_figures.h"
#include "link_fixture.h"
#include "realtime_window.h"
#include "wall_clock.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

using namespace vorna;

namespace {

// The program's side of a datalogger: the instrument connected, a plant, the window open.
struct Logger {
    explicit Logger(WallClock* clock) {
        if (!link.startInstrument({QStringLiteral("--quiet")}))
            std::fprintf(stderr, "instrument-sim did not start\n");
        if (clock) link.ctx.clock = clock;
        link.ctx.db.exec(
            QStringLiteral("INSERT INTO impianti (tipo, nome, POT, BOOL1, NOCT, REAL1) "
                           "VALUES (1, 'Bench plant', 3.5, 0, 45, -0.45)"));
        link.ctx.plant.ID = link.ctx.db.lastInsertId();
        window = std::make_unique<RealtimeWindow>(link.ctx);
    }
    template <typename W> W* find(const char* name) {
        return window->findChild<W*>(QString::fromLatin1(name));
    }
    // Automatic mode on this schedule and interval, then "Activate".
    void activate(QTime start, QTime stop, int position) {
        find<QRadioButton>("obMode_0")->click();
        find<QLineEdit>("tbStartH")->setText(QString::number(start.hour()));
        find<QLineEdit>("tbStartM")->setText(QString::number(start.minute()));
        find<QLineEdit>("tbStopH")->setText(QString::number(stop.hour()));
        find<QLineEdit>("tbStopM")->setText(QString::number(stop.minute()));
        auto* cb = find<QComboBox>("cbIntervallo");
        cb->setCurrentIndex(position);
        emit cb->activated(position);
        find<QPushButton>("bttControllo")->click();
        if (!window->running()) std::fprintf(stderr, "the run did not start\n");
    }
    void stop() {
        if (window->running()) find<QPushButton>("bttControllo")->click();
    }
    int samples() {
        return int(link.ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM realtime")));
    }

    test::LinkEnv link;
    std::unique_ptr<RealtimeWindow> window;
};

// Percent of one core this process used over `seconds` of its event loop.
double cpuPercentOver(int seconds) {
    const double cpu0 = bench::cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (bench::cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9);
}

void realClock(int seconds) {
    Logger l(nullptr);
    const QTime now = QTime::currentTime();
    // A window that starts later: today when there is room, else tomorrow at 1:00.
    const bool today = now.hour() <= 20;
    l.activate(today ? QTime(now.hour() + 2, 0) : QTime(1, 0), today ? QTime(22, 59) : QTime(2, 0),
               0);
    std::printf("waiting for the start, %d s              CPU %6.3f %% of one core   "
                "(target < 1 %%)\n",
                seconds, cpuPercentOver(seconds));
    l.stop();

    const QTime later = QTime::currentTime().addSecs(seconds + 30);
    if (now.hour() < 1 || later.hour() > 22 || later < now) {
        std::printf("between two samples: skipped, the time of day is outside 1:00-22:59\n");
        return;
    }
    l.activate(QTime(now.hour(), 0), QTime(22, 59), 1);
    QElapsedTimer first;
    first.start();
    while (l.samples() < 1 && first.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    std::printf("between two samples (interval 5), %d s   CPU %6.3f %% of one core   "
                "(target < 1 %%; first sample %s)\n",
                seconds, cpuPercentOver(seconds), l.samples() == 1 ? "taken" : "MISSING");
    if (l.samples() != 1) std::printf("  samples: %d\n", l.samples());
}

void virtualDay() {
    const QDate day(2026, 6, 1);
    VirtualClock clock(QDateTime(day, QTime(0, 59, 30)));
    Logger l(&clock);
    l.activate(QTime(1, 0), QTime(22, 59), 0);
    const double mb0 = bench::residentMb();
    QElapsedTimer wall;
    wall.start();
    clock.advanceTo(QDateTime(day, QTime(23, 0)));
    const double seconds = wall.nsecsElapsed() / 1e9;
    const double mb1 = bench::residentMb();
    std::printf("a day 1:00-22:59 at interval 1 (virtual clock): %d samples, run %s\n", l.samples(),
                l.window->running() ? "STILL ACTIVE" : "ended");
    std::printf("  wall time %8.1f s   (target < 60 s), %.1f ms a sample\n", seconds,
                1000 * seconds / std::max(1, l.samples()));
    std::printf("  memory    %+8.1f MB (target < 20 MB; resident %.1f -> %.1f MB)\n", mb1 - mb0,
                mb0, mb1);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::findSimulator();
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 120;
    virtualDay();
    realClock(seconds);
    return 0;
}

// The report window's two waits: downloading 31 plants with 100 measurements each from a
// simulator paced at 38400 baud, against the time those bytes need on the line (10 bit times a
// byte, both directions, as bench_download_paced counts them); and choosing a plant that holds
// 100,000 of 1,000,000 real-time samples until its measurement list is filled.
#include "bench_setup.h"
#include "report_window_util.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace vorna;
using namespace vorna::test;

namespace {

constexpr int kBaud = 38400;

int download(const QString& shape) {
    Rig s(englishRow(), QStringList{"--generate", shape, "--baud", QString::number(kBaud)});
    if (!s.sim || !s.sim->ready() || !openReport(s)) {
        std::fprintf(stderr, "instrument-sim or the report window did not start\n");
        return 1;
    }
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = bench::cpuSeconds();
    s.click("bttSincr");
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = bench::cpuSeconds() - cpu0;

    qint64 bytes = 0, commands = 0;
    for (const QString& l : s.sim->received(200))
        bytes += l.size() + 1, ++commands;
    for (const QString& l : s.sim->sent())
        bytes += l.size() + 1;
    const double lineSeconds = double(bytes) * 10.0 / kBaud;
    const auto rows = [&](const char* table) {
        return int(s.ctx().db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table));
    };
    std::printf("report window download %s at %d baud: %d plants and %d measurements stored, "
                "%lld exchanges, %lld bytes on the line\n",
                qPrintable(shape), kBaud, rows("impianti"), rows("acquisizioni"), commands, bytes);
    std::printf("  %.2f s wall against %.2f s of line time: ratio %.3f (target: at most 1.1); "
                "processor %.2f s\n",
                seconds, lineSeconds, seconds / lineSeconds, cpu);
    return 0;
}

void chooseLargePlant(int plants, int perPlant) {
    Rig s;
    QElapsedTimer fill;
    fill.start();
    std::vector<qint64> ids;
    for (int p = 0; p < plants; ++p) {
        ids.push_back(
            insertPlant(s.db(), QStringLiteral("Plant %1").arg(p, 2, 10, QLatin1Char('0'))));
        insertMeasurements(s.db(), QStringLiteral("realtime"), ids.back(),
                           QDateTime(QDate(2025, 6, 1), QTime(12, 0)), perPlant);
    }
    std::printf("(filled %d real-time samples in %.1f s)\n", plants * perPlant,
                double(fill.elapsed()) / 1000.0);
    openReport(s, false);
    auto* cbImp = s.find<QComboBox>(QStringLiteral("cbImp"));
    auto* cbMis = s.find<QComboBox>(QStringLiteral("cbMis"));
    std::vector<double> ms;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        choose(cbImp, 1 + i % plants);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("choosing a plant of %d samples (of %d) to a filled list of %d entries: median "
                "%.1f ms, worst %.1f ms (target: under 200 ms)\n",
                perPlant, plants * perPlant, cbMis->count(), bench::percentile(ms, 0.5),
                bench::percentile(ms, 1.0));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::findSimulator();
    const QString shape = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("31x100");
    const int samples = argc > 2 ? std::max(1, atoi(argv[2])) : 1000000;
    chooseLargePlant(10, samples / 10);
    return download(shape);
}

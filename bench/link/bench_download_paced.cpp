// Downloading 31 plants with 100 measurements each from a simulator paced at 38400 baud,
// against the time those bytes need on the line (10 bit times a byte, both directions).
#include "bench_setup.h"
#include "downloads.h"

#include <QElapsedTimer>
#include <cstdio>

using namespace vorna;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::findSimulator();
    const QString shape = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("31x100");
    constexpr int kBaud = 38400;
    test::LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), Link::kReadTimeout);
    if (!t.startInstrument({QStringLiteral("--generate"), shape, QStringLiteral("--baud"),
                            QString::number(kBaud)})) {
        std::fprintf(stderr, "instrument-sim did not start\n");
        return 1;
    }
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = bench::cpuSeconds();
    const bool plants = scarica_impianti(t.ctx, QStringLiteral("bench"));
    const bool measurements = scarica_acquisizioni_impianto(t.ctx, QStringLiteral("bench"));
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = bench::cpuSeconds() - cpu0;

    // Every line the simulator received and sent, with its CR.
    qint64 bytes = 0, lines = 0;
    for (const QString& l : t.instrument->received(200))
        bytes += l.size() + 1, ++lines;
    const qint64 commands = lines;
    for (const QString& l : t.instrument->sent())
        bytes += l.size() + 1, ++lines;
    const double lineSeconds = double(bytes) * 10.0 / kBaud;
    std::printf("download %s at %d baud: %s, %d plants and %d measurements stored, %lld "
                "exchanges, %lld bytes on the line\n",
                qPrintable(shape), kBaud, plants && measurements ? "ok" : "FAILED",
                t.rows(QStringLiteral("impianti")), t.rows(QStringLiteral("acquisizioni")),
                commands, bytes);
    std::printf("  %.2f s wall against %.2f s of line time: ratio %.3f (target: at most 1.1); "
                "processor %.2f s\n",
                seconds, lineSeconds, seconds / lineSeconds, cpu);
    return 0;
}

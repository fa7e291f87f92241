// Processor time the program uses while an exchange waits out the 10 s time-out on a silent
// instrument.
#include "bench_setup.h"
#include "link.h"

#include <QElapsedTimer>
#include <cstdio>

using namespace vorna;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::findSimulator();
    test::LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), Link::kReadTimeout);
    if (!t.startInstrument(
            {QStringLiteral("--quiet"), QStringLiteral("--silent"), QStringLiteral("*")})) {
        std::fprintf(stderr, "instrument-sim did not start\n");
        return 1;
    }
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = bench::cpuSeconds();
    const bool ok = t.exchange(QStringLiteral("LOGO?"));
    const double cpu = bench::cpuSeconds() - cpu0;
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    std::printf("silent instrument: exchange %s after %.2f s wall, %.3f s processor = %.2f %% of "
                "one core (target: under 5 %%)\n",
                ok ? "succeeded?!" : "failed", seconds, cpu, 100.0 * cpu / seconds);
    return 0;
}

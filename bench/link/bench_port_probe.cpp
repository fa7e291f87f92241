// How long Find takes to ask 3 and 12 ports: all but the last are silent, so each probe waits
// out the 500 ms a silent port is given; the instrument sits on the highest number. The ports are
// asked at once, so the count should not show (target: under 0.6 s).
#include "bench_setup.h"
#include "instrument_finder.h"
#include "pseudo_terminal.h"

#include <QElapsedTimer>
#include <cstdio>
#include <map>

using namespace vorna;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::findSimulator();
    for (const int count : {3, 12}) {
        test::TestEnv env;
        std::vector<std::unique_ptr<sim::PseudoTerminal>> silent;
        std::map<int, QString> routes;
        for (int n = 1; n < count; ++n) {
            silent.push_back(
                std::make_unique<sim::PseudoTerminal>(env.path(QStringLiteral("silent%1").arg(n))));
            routes[n] = silent.back()->devicePath();
        }
        test::routePorts(routes);
        test::SimProcess instrument(env.dir.path(), count, {QStringLiteral("--quiet")});
        std::vector<double> seconds;
        FindResult r;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer clock;
            clock.start();
            r = find_instrument(*env.ctx, QStringLiteral("bench"));
            seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
        }
        std::printf("probe of %2d ports: found %d of %d tried, median %.3f s, worst %.3f s of 5 "
                    "(target: under 0.6 s)\n",
                    count, r.found, r.tried, bench::percentile(seconds, 0.5),
                    bench::percentile(seconds, 1.0));
    }
    return 0;
}

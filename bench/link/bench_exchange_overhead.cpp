// PC-side time of one command exchange against an unpaced simulator, where the bytes need no
// line time: write, wait for the reply, the two event rows, the flush.
#include "bench_setup.h"
#include "link.h"

#include <chrono>
#include <cstdio>

using namespace vorna;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::findSimulator();
    const int rounds = argc > 1 ? std::max(10, atoi(argv[1])) : 3000;
    test::LinkEnv t;
    if (!t.startInstrument({QStringLiteral("--quiet")})) {
        std::fprintf(stderr, "instrument-sim did not start\n");
        return 1;
    }
    for (const char* command : {"SERIALNUM?", "LISTMISURA 1 1"}) {
        std::vector<double> ms;
        ms.reserve(size_t(rounds));
        for (int i = 0; i < rounds; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            if (!t.exchange(QLatin1String(command))) {
                std::fprintf(stderr, "exchange failed\n");
                return 1;
            }
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
        }
        std::printf("exchange \"%s\" (%d rounds, reply %lld bytes): median %.3f ms, p90 %.3f ms, "
                    "p99 %.3f ms (target: median under 2 ms)\n",
                    command, rounds, qint64(t.ctx.link.replyText.size()),
                    bench::percentile(ms, 0.5), bench::percentile(ms, 0.9),
                    bench::percentile(ms, 0.99));
    }
    return 0;
}

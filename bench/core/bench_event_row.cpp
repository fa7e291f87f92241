// Median time to write one event row, as every serial line does.
#include "database_init.h"
#include "logs.h"
#include "test_env.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace vorna;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    if (!database_init(ctx)) return 1;
    constexpr int kRows = 20000;
    std::vector<double> us;
    us.reserve(kRows);
    const QString line =
        QStringLiteral("LISTMISURA 3 12\t2026/06/01\t12:30:00\t850.5\t12.5\t24.5\t41.0");
    for (int i = 0; i < kRows; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        record_event(ctx, line, kEventSerialLine);
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(us.begin(), us.end());
    std::printf("event rows written: %d\n", kRows);
    std::printf(
        "median: %.1f us, 99th percentile: %.1f us, max: %.1f us (target median < 200 us)\n",
        us[kRows / 2], us[kRows * 99 / 100], us.back());
    return 0;
}

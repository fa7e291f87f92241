#pragma once

#include "app_context.h"
#include "link_fixture.h"

#include <QCoreApplication>
#include <algorithm>
#include <sys/resource.h>
#include <vector>

namespace vorna::bench {

// The simulator sits next to the benchmark programs.
inline void findSimulator() {
    if (qEnvironmentVariableIsEmpty("VORNA_BIN_DIR"))
        qputenv("VORNA_BIN_DIR", QCoreApplication::applicationDirPath().toLocal8Bit());
}

inline double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[size_t(p * double(v.size() - 1))];
}

} // namespace vorna::bench

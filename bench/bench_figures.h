#pragma once

// What the benchmarks share: the median of their rounds, and the machine's load to print
// beside the figures (other work on a shared machine stretches them).

#include <QFile>
#include <QString>
#include <algorithm>
#include <vector>

namespace vorna::bench {

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The load averages over 1, 5 and 15 minutes and the running tasks, as /proc/loadavg has them.
inline QString machineLoad() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readLine()).trimmed()
                                       : QStringLiteral("?");
}

} // namespace vorna::bench

#pragma once

// What the benchmarks share: where the simulators are, the median of their rounds, the process's
// processor time and memory, and the machine's load to print beside the figures (other work on a
// shared machine stretches them).

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <algorithm>
#include <sys/resource.h>
#include <vector>

namespace vorna::bench {

// The simulators sit next to the benchmark programs.
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

inline double residentMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

inline double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[size_t(p * double(v.size() - 1))];
}

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

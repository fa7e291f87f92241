#include "line_pacer.h"

#include "pseudo_terminal.h"

#include <thread>

namespace vorna::sim {

std::chrono::microseconds LinePacer::byteTime(qsizetype bytes) const {
    if (baud_ <= 0) return std::chrono::microseconds(0);
    return std::chrono::microseconds(qint64(bytes) * 10'000'000 / baud_);
}

void LinePacer::waitArrival(std::chrono::steady_clock::time_point since, qsizetype bytes) const {
    if (baud_ > 0) std::this_thread::sleep_until(since + byteTime(bytes));
}

bool LinePacer::send(PseudoTerminal& line, const QByteArray& bytes) const {
    if (baud_ <= 0) return line.write(bytes);
    // Sleep to an absolute schedule so the rate holds however long each write takes; send in
    // small groups so a long reply does not cost a system call per byte.
    const auto start = std::chrono::steady_clock::now();
    const qsizetype chunk = baud_ >= 100000 ? 16 : 4;
    for (qsizetype i = 0; i < bytes.size(); i += chunk) {
        std::this_thread::sleep_until(start + byteTime(i));
        if (!line.write(bytes.mid(i, chunk))) return false;
    }
    std::this_thread::sleep_until(start + byteTime(bytes.size()));
    return true;
}

} // namespace vorna::sim

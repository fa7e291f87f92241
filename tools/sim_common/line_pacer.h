#pragma once

#include <QByteArray>
#include <chrono>

namespace vorna::sim {

class PseudoTerminal;

// Paces bytes as a serial line would carry them: 10 bit times a byte (8N1) at the baud rate.
// Baud 0 means unpaced.
class LinePacer {
public:
    explicit LinePacer(int baud = 0) : baud_(baud) {}
    int baud() const { return baud_; }
    std::chrono::microseconds byteTime(qsizetype bytes) const;
    // Sleeps until bytes that started arriving at 'since' would have arrived in full.
    void waitArrival(std::chrono::steady_clock::time_point since, qsizetype bytes) const;
    // Sends bytes one by one at line speed (unpaced: all at once).
    bool send(PseudoTerminal& line, const QByteArray& bytes) const;

private:
    int baud_;
};

} // namespace vorna::sim

#pragma once

#include <QByteArray>
#include <QString>

namespace vorna::sim {

// A pseudo-terminal whose device side is reachable at a chosen path (a symbolic link), so the
// programs open it like a serial device. The simulator keeps the device side open itself, so a
// client that closes and reopens the port does not hang up the line.
class PseudoTerminal {
public:
    explicit PseudoTerminal(const QString& linkPath);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0; }
    const QString& error() const { return error_; }
    int fd() const { return master_; }
    QString devicePath() const { return device_; }

    // Waits up to timeoutMs for bytes from the client; returns what arrived (may be empty).
    QByteArray read(int timeoutMs);
    // Writes everything (blocking); false when the line is gone.
    bool write(const QByteArray& bytes);
    // Drops the line: the client sees the device vanish.
    void close();

private:
    int master_ = -1;
    int keepSlave_ = -1;
    QString link_;
    QString device_;
    QString error_;
};

} // namespace vorna::sim

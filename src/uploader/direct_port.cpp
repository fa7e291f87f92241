#include "direct_port.h"

#include "serial_line.h"
#include <QDeadlineTimer>
#include <algorithm>
#include <thread>

namespace vorna::uploader {

bool DirectPort::open(const QString& device, int baud) {
    close();
    setLine8N1(port_, device, baud);
    if (!port_.open(QIODevice::ReadWrite)) return false;
    // Control lines stay as the bootloader's cable expects them: DTR and RTS not driven.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError(); // lines without modem control (USB bridges, pseudo-terminals) refuse it
    purge();
    return true;
}

void DirectPort::close() {
    if (!port_.isOpen()) return;
    purge();
    port_.close();
}

void DirectPort::purge() {
    if (!port_.isOpen()) return;
    port_.clear(QSerialPort::AllDirections);
    // Bytes already taken from the driver into the port's own buffer are pending input too.
    port_.readAll();
}

bool DirectPort::lineFailed() const {
    const auto e = port_.error();
    return e != QSerialPort::NoError && e != QSerialPort::TimeoutError;
}

bool DirectPort::waitSlice(bool forInput, const QDeadlineTimer& deadline) {
    const int slice = int(std::clamp<qint64>(deadline.remainingTime(), 1, kWaitSlice.count()));
    const bool ready = forInput ? port_.waitForReadyRead(slice) : port_.waitForBytesWritten(slice);
    // A slice that merely ran out is no failure; anything else ends the wait at once, so a
    // broken device cannot turn the loop into a spin.
    if (!ready && port_.error() == QSerialPort::TimeoutError) port_.clearError();
    idle();
    return !lineFailed();
}

void DirectPort::idle() {
    if (idle_) idle_();
}

void DirectPort::pause(Milliseconds duration) {
    const QDeadlineTimer deadline(duration);
    while (!deadline.hasExpired()) {
        const auto slice = std::clamp<qint64>(deadline.remainingTime(), 0, kWaitSlice.count());
        std::this_thread::sleep_for(Milliseconds(slice));
        idle();
    }
}

bool DirectPort::write(const QByteArray& bytes, Milliseconds timeout) {
    if (!port_.isOpen()) return false;
    port_.clearError();
    if (port_.write(bytes) != bytes.size()) return false;
    const QDeadlineTimer deadline(timeout);
    while (port_.bytesToWrite() > 0)
        if (deadline.hasExpired() || !waitSlice(false, deadline)) return false;
    return !lineFailed();
}

QByteArray DirectPort::read(qsizetype n, Milliseconds timeout) {
    QByteArray got;
    if (!port_.isOpen()) return got;
    port_.clearError();
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        if (port_.bytesAvailable() > 0) got += port_.read(n - got.size());
        if (got.size() >= n || deadline.hasExpired() || !waitSlice(true, deadline)) break;
    }
    if (got.size() < n && port_.bytesAvailable() > 0) got += port_.read(n - got.size());
    return got;
}

} // namespace vorna::uploader

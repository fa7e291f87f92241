#include "announce_port.h"

#include "serial_line.h"

namespace vorna::uploader {

AnnouncePort::AnnouncePort(QObject* parent, std::chrono::milliseconds gap) : QObject(parent) {
    gap_.setSingleShot(true);
    gap_.setInterval(gap);
    connect(&gap_, &QTimer::timeout, this, &AnnouncePort::deliver);
    connect(&port_, &QSerialPort::readyRead, this, &AnnouncePort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError) {
            const QString text = port_.errorString();
            close();
            emit lineError(text);
        }
    });
}

bool AnnouncePort::open(const QString& device, int baud) {
    close();
    setLine8N1(port_, device, baud);
    port_.setReadBufferSize(2048);
    fault_ = {};
    if (!port_.open(QIODevice::ReadWrite)) {
        fault_ = diagnosePortFault(device, port_.error(), port_.errorString());
        return false;
    }
    port_.clear(QSerialPort::Input);
    return true;
}

bool AnnouncePort::reply(const QByteArray& bytes) {
    if (!port_.isOpen() || port_.write(bytes) != bytes.size()) return false;
    return port_.waitForBytesWritten(1000) || port_.bytesToWrite() == 0;
}

void AnnouncePort::close() {
    gap_.stop();
    taken_.clear();
    if (port_.isOpen()) port_.close();
}

void AnnouncePort::onReadyRead() {
    while (taken_.size() < kAnnouncementLength && port_.bytesAvailable() > 0)
        taken_ += port_.read(1);
    // The quiet gap counts from the latest character: an announcement that trickles in (a USB
    // adapter's latency) is heard whole as long as its pieces keep coming.
    if (taken_.size() >= kAnnouncementLength)
        deliver();
    else if (!taken_.isEmpty())
        gap_.start();
}

void AnnouncePort::deliver() {
    gap_.stop();
    if (taken_.isEmpty()) return;
    const QByteArray text = taken_;
    taken_.clear();
    port_.readAll(); // what follows the announcement belongs to no command
    emit announcement(text);
}

} // namespace vorna::uploader

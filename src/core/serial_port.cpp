#include "serial_port.h"

#include "port_names.h"
#include "run_error.h"
#include "serial_line.h"

namespace vorna {

SerialPort::SerialPort(const QString& objectName, QObject* parent) : QObject(parent) {
    setObjectName(objectName);
    connect(&port_, &QSerialPort::readyRead, this, [this] { emit comm(kEventReceive); });
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError)
            emit comm(kEventErrorBase + int(e));
    });
}

SerialPort::~SerialPort() {
    close();
}

void SerialPort::setPortNumber(int number) {
    if (port_.isOpen()) throw RunError(err::kPortBase + 8005, QStringLiteral("Port already open"));
    number_ = number;
}

QString SerialPort::devicePath() const {
    return devicePathForPort(number_);
}

void SerialPort::open() {
    if (port_.isOpen()) return;
    openFault_ = {};
    const QString device = devicePath();
    if (device.isEmpty())
        throw RunError(err::kPortBase + 8002,
                       QStringLiteral("Invalid port number ") + QString::number(number_));
    setLine8N1(port_, device, QSerialPort::Baud38400);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QString why = port_.errorString();
        openFault_ = diagnosePortFault(device, port_.error(), why);
        port_.clearError();
        throw RunError(err::kPortBase + 8002, QStringLiteral("Port ") + QString::number(number_) +
                                                  QStringLiteral(" (") + device +
                                                  QStringLiteral("): ") + why);
    }
}

void SerialPort::close() {
    if (port_.isOpen()) port_.close();
    port_.clearError();
}

void SerialPort::requireOpen(const char* what) {
    if (!port_.isOpen())
        throw RunError(err::kPortBase + 8018,
                       QStringLiteral("Port not open: ") + QString::fromLatin1(what));
}

void SerialPort::fail(const QString& what) {
    const QString why = port_.errorString();
    const int code = int(port_.error());
    port_.clearError();
    throw RunError(err::kPortBase + code, what + QStringLiteral(": ") + why);
}

void SerialPort::write(const QByteArray& bytes) {
    requireOpen("write");
    if (port_.write(bytes) != bytes.size()) fail(QStringLiteral("write"));
}

void SerialPort::waitWritten(int timeoutMs) {
    requireOpen("write");
    if (port_.bytesToWrite() > 0 && !port_.waitForBytesWritten(timeoutMs))
        fail(QStringLiteral("write"));
}

QString SerialPort::takeAll() {
    if (!port_.isOpen()) return {};
    return QString::fromLatin1(port_.readAll());
}

void SerialPort::clearReceiveQueue() {
    if (port_.isOpen()) port_.clear(QSerialPort::Input);
}

bool SerialPort::waitForInput(int timeoutMs) {
    requireOpen("read");
    if (port_.bytesAvailable() > 0 || port_.waitForReadyRead(timeoutMs)) return true;
    if (port_.error() == QSerialPort::TimeoutError || port_.error() == QSerialPort::NoError) {
        port_.clearError();
        return false;
    }
    fail(QStringLiteral("read"));
}

} // namespace vorna

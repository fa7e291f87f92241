#pragma once

#include "port_fault.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

namespace vorna {

// One serial port object of the main window: a port number, an open state, writing,
// taking what was received, emptying the receive queue, and a receive event with a code.
// The line settings are fixed at 38400 baud, 8 data bits, no parity, 1 stop bit.
// Failures throw RunError, which the calling routine's error trap logs.
class SerialPort : public QObject {
    Q_OBJECT
public:
    // Event codes of comm(): characters received, and the error codes the program ignores.
    static constexpr int kEventReceive = 2;
    static constexpr int kEventErrorBase = 1000;

    explicit SerialPort(const QString& objectName, QObject* parent = nullptr);
    ~SerialPort() override;

    int portNumber() const { return number_; }
    // Only while closed.
    void setPortNumber(int number);
    // The device the current number means.
    QString devicePath() const;

    bool isOpen() const { return port_.isOpen(); }
    // Opening fails when the device is missing or in use; openFault then says why.
    void open();
    const PortFault& openFault() const { return openFault_; }
    void close();
    void setOpen(bool open) { open ? this->open() : close(); }

    // Queues bytes for sending; waitWritten sends them.
    void write(const QByteArray& bytes);
    // Blocks until everything queued left, at most timeoutMs; throws when it could not.
    void waitWritten(int timeoutMs);
    // All characters received so far (ISO 8859-1), empty when none.
    QString takeAll();
    // Drops what the driver holds for reading.
    void clearReceiveQueue();
    // Blocks up to timeoutMs for more characters; false on time-out. Throws when the device
    // failed (unplugged, line hung up), so a read never waits out its time-out on a dead line.
    bool waitForInput(int timeoutMs);

signals:
    // The receive event: kEventReceive when characters arrived, kEventErrorBase + the Qt error
    // number on a port error.
    void comm(int code);

private:
    [[noreturn]] void fail(const QString& what);
    void requireOpen(const char* what);

    QSerialPort port_;
    int number_ = 1;
    PortFault openFault_;
};

} // namespace vorna

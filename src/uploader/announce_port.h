#pragma once

#include "port_fault.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <chrono>

namespace vorna::uploader {

// The event-driven port that listens for the bootloader's announcement. Characters are taken
// as they arrive; the announcement is handed on once it is complete, or, when it stops short,
// after a quiet gap since its latest character, so a text split over several receive events is
// still seen whole.
class AnnouncePort : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kAnnouncementLength = 4;

    explicit AnnouncePort(QObject* parent = nullptr,
                          std::chrono::milliseconds gap = std::chrono::milliseconds(200));

    // Closes the port if open, then opens the device 8N1 without flow control at 'baud'; when
    // that fails, fault() says why.
    bool open(const QString& device, int baud);
    void close();
    bool isOpen() const { return port_.isOpen(); }
    // Sends a short answer to the bootloader, waiting at most a second for it to leave.
    bool reply(const QByteArray& bytes);
    QString device() const { return port_.portName(); }
    const PortFault& fault() const { return fault_; }

signals:
    // The first characters of an announcement (at most kAnnouncementLength).
    void announcement(const QByteArray& text);
    // The device failed while listening (it vanished, for example).
    void lineError(const QString& text);

private:
    void onReadyRead();
    void deliver();

    QSerialPort port_;
    QTimer gap_;
    QByteArray taken_;
    PortFault fault_;
};

} // namespace vorna::uploader

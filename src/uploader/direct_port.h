#pragma once

#include "byte_link.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QSerialPort>
#include <QString>
#include <chrono>
#include <functional>

namespace vorna::uploader {

// The port of the byte exchange with the bootloader: 8N1 without flow control, every wait
// bounded and blocking on the port (never spinning). Between wait slices an idle hook runs so a
// window can repaint itself during a transfer.
class DirectPort : public ByteLink {
public:
    static constexpr Milliseconds kWaitSlice{50};

    DirectPort() = default;
    DirectPort(const DirectPort&) = delete;
    DirectPort& operator=(const DirectPort&) = delete;

    // Opens the device, discards whatever is pending in both directions and sets the line.
    bool open(const QString& device, int baud);
    // Discards pending input and output, then closes.
    void close();
    bool isOpen() const { return port_.isOpen(); }

    // Discards pending input and output.
    void purge() override;
    // Sends all bytes; false when the port fails or they are not gone within 'timeout'.
    bool write(const QByteArray& bytes, Milliseconds timeout) override;
    // Waits for exactly n bytes; returns fewer when 'timeout' passes or the line fails first.
    QByteArray read(qsizetype n, Milliseconds timeout) override;

    // Sleeps for 'duration' in short slices, running the idle hook between them.
    void pause(Milliseconds duration) override;

    // True once the device reported a failure that no wait can mend (it vanished).
    bool lineFailed() const;
    QString errorText() const { return port_.errorString(); }

    void setIdleHook(std::function<void()> hook) { idle_ = std::move(hook); }

private:
    void idle();
    // One bounded wait for input or output progress; false when the line failed.
    bool waitSlice(bool forInput, const QDeadlineTimer& deadline);

    QSerialPort port_;
    std::function<void()> idle_;
};

} // namespace vorna::uploader

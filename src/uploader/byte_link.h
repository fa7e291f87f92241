#pragma once

#include <QByteArray>
#include <chrono>

namespace vorna::uploader {

// The line a bootloader session talks over: the direct port in the programs, any other byte
// source where the session is driven without a device.
class ByteLink {
public:
    using Milliseconds = std::chrono::milliseconds;

    virtual ~ByteLink() = default;

    // Discards pending input and output.
    virtual void purge() = 0;
    // Sends all bytes; false when the line fails or they are not gone within 'timeout'.
    virtual bool write(const QByteArray& bytes, Milliseconds timeout) = 0;
    // Waits for exactly n bytes; returns fewer when 'timeout' passes or the line fails first.
    virtual QByteArray read(qsizetype n, Milliseconds timeout) = 0;
    // Lets 'duration' pass.
    virtual void pause(Milliseconds duration) = 0;
};

} // namespace vorna::uploader

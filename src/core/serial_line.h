#pragma once

#include <QString>

class QSerialPort;

namespace vorna {

// Every line the suite opens runs 8 data bits, no parity, 1 stop bit, no flow control.
void setLine8N1(QSerialPort& port, const QString& device, int baud);

} // namespace vorna

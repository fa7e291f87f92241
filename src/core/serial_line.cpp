#include "serial_line.h"

#include <QSerialPort>

namespace vorna {

void setLine8N1(QSerialPort& port, const QString& device, int baud) {
    port.setPortName(device);
    port.setBaudRate(baud);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

} // namespace vorna

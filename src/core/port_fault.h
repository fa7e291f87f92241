#pragma once

#include <QSerialPort>
#include <QString>

namespace vorna {

// Why a serial device could not be opened, as the system tells it.
struct PortFault {
    enum class Kind { None, Missing, InUse, PermissionDenied, Other };
    Kind kind = Kind::None;
    QString device;
    // The group that may use the device, when permission was denied and joining it would help.
    QString group;
    // The system's own words, for a fault of no kind we name.
    QString systemText;
};

// The texts a fault is told in, in the program's language. Each takes the device as %1;
// permissionGroup takes the group as %2.
struct PortFaultTexts {
    QString missing, inUse, permissionDenied, permissionGroup;
};

// What a failed open means. A device that exists and may be read and written, but refused, is
// held by someone else: the serial lock or the exclusive mode of another program.
PortFault::Kind classifyPortFault(QSerialPort::SerialPortError error, bool exists, bool accessible);

// Looks at the device after a failed open: whether it is there, whether this process may read
// and write it, and which group may.
PortFault diagnosePortFault(const QString& device, QSerialPort::SerialPortError error,
                            const QString& errorText);

// The line that says why; empty for a fault of kind None.
QString portFaultText(const PortFault& fault, const PortFaultTexts& texts);

} // namespace vorna

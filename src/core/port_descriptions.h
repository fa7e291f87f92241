#pragma once

#include <QList>
#include <QString>

namespace vorna {

// What the system knows of one serial adapter, as QSerialPortInfo reports it.
struct AdapterInfo {
    QString device; // its system location, /dev/ttyUSB0
    QString manufacturer, description, serialNumber;
};

// The adapters the system lists. VORNA_SERIAL_INFO, when set, stands in for the system's list
// (lines of device, manufacturer, description and serial number, tab-separated), as VORNA_COM<n>
// stands in for the numbering: tests and the demo have no USB adapter.
QList<AdapterInfo> systemAdapters();

// What port number n is on this machine, for the port lists: its device, whether it exists, the
// adapter behind it and the stable /dev/serial/by-id name that points at it.
struct PortDescription {
    int number = 0;
    QString device; // "path -> target" for a link, so a simulator is recognisable
    bool exists = false;
    QString adapter;    // "FTDI FT232R USB UART (A12345)"; empty when unknown
    QString stableName; // empty when none

    // "33 — /dev/ttyUSB0 — FTDI FT232R USB UART (A12345)", after `label` (the list's own text
    // of the number).
    QString text(const QString& label) const;
    // The text, and the stable name on a line of its own.
    QString toolTip(const QString& label) const;
};

// Describes port numbers against one look at the system's adapters and stable names. The
// stable names are read from VORNA_SERIAL_BY_ID when set, else /dev/serial/by-id.
class PortDescriber {
public:
    // Against the system's adapters, or the ones given.
    PortDescriber() : PortDescriber(systemAdapters()) {}
    explicit PortDescriber(const QList<AdapterInfo>& adapters);
    PortDescription describe(int number) const;

private:
    struct Known {
        QString canonical, text;
    };
    QList<Known> adapters_;
    QList<Known> stableNames_; // text: the by-id path
};

} // namespace vorna

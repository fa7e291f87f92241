#include "port_descriptions.h"

#include "port_names.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace vorna {

namespace {

// The device a path ends at, links followed; the path itself when it does not resolve.
QString canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

QString adapterText(const AdapterInfo& a) {
    // Adapters often repeat the maker in the product's name ("FTDI FT232R ..." by "FTDI").
    QString text = a.description.startsWith(a.manufacturer, Qt::CaseInsensitive)
                       ? a.description
                       : (a.manufacturer + QLatin1Char(' ') + a.description).trimmed();
    if (!a.serialNumber.isEmpty())
        text += (text.isEmpty() ? QStringLiteral("(") : QStringLiteral(" (")) + a.serialNumber +
                QLatin1Char(')');
    return text;
}

} // namespace

QList<AdapterInfo> systemAdapters() {
    QList<AdapterInfo> adapters;
    if (qEnvironmentVariableIsSet("VORNA_SERIAL_INFO")) {
        const QString listed = qEnvironmentVariable("VORNA_SERIAL_INFO");
        for (const QString& line : listed.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList f = line.split(QLatin1Char('\t'));
            adapters.append({f.value(0), f.value(1), f.value(2), f.value(3)});
        }
        return adapters;
    }
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts())
        // Built-in UARTs have no product: only USB adapters have something to say.
        if (p.hasVendorIdentifier())
            adapters.append(
                {p.systemLocation(), p.manufacturer(), p.description(), p.serialNumber()});
    return adapters;
}

PortDescriber::PortDescriber(const QList<AdapterInfo>& adapters) {
    for (const AdapterInfo& a : adapters)
        if (const QString text = adapterText(a); !text.isEmpty())
            adapters_.append({canonical(a.device), text});
    const QString byId = qEnvironmentVariableIsSet("VORNA_SERIAL_BY_ID")
                             ? qEnvironmentVariable("VORNA_SERIAL_BY_ID")
                             : QStringLiteral("/dev/serial/by-id");
    const QDir dir(byId);
    for (const QFileInfo& link : dir.entryInfoList(QDir::System | QDir::Files, QDir::Name))
        if (link.isSymLink())
            stableNames_.append({canonical(link.absoluteFilePath()), link.absoluteFilePath()});
}

PortDescription PortDescriber::describe(int number) const {
    PortDescription d;
    d.number = number;
    const QString path = devicePathForPort(number);
    if (path.isEmpty()) return d;
    d.exists = portExists(number);
    const QFileInfo info(path);
    d.device = info.isSymLink() ? path + QStringLiteral(" -> ") + info.symLinkTarget() : path;
    if (!d.exists) return d;
    const QString c = canonical(path);
    for (const Known& a : adapters_)
        if (a.canonical == c) d.adapter = a.text;
    for (const Known& s : stableNames_)
        if (s.canonical == c && s.text != path) d.stableName = s.text;
    return d;
}

QString PortDescription::text(const QString& label) const {
    static const QString dash = QStringLiteral(" \u2014 ");
    QString t = label;
    if (!device.isEmpty()) t += dash + device;
    if (!adapter.isEmpty()) t += dash + adapter;
    return t;
}

QString PortDescription::toolTip(const QString& label) const {
    return stableName.isEmpty() ? text(label) : text(label) + QLatin1Char('\n') + stableName;
}

} // namespace vorna

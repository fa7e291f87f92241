#include "port_names.h"

#include <QByteArray>
#include <QFile>
#include <sys/stat.h>

namespace vorna {

QString devicePathForPort(int n) {
    if (n < kFirstPortNumber || n > kLastPortNumber) return {};
    const QByteArray override = qgetenv("VORNA_COM" + QByteArray::number(n));
    if (!override.isEmpty()) return QString::fromLocal8Bit(override);
    if (n <= 32) return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    if (n <= 64) return QStringLiteral("/dev/ttyUSB%1").arg(n - 33);
    return QStringLiteral("/dev/ttyACM%1").arg(n - 65);
}

QString portNameForNumber(int n) {
    return QStringLiteral("COM%1").arg(n);
}

int portNumberFromName(const QString& name) {
    const QString t = name.trimmed();
    if (!t.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) return 0;
    qsizetype i = 3;
    int n = 0;
    while (i < t.size() && t.at(i).isDigit() && n <= kLastPortNumber) {
        n = n * 10 + t.at(i).digitValue();
        ++i;
    }
    return (i > 3 && n >= kFirstPortNumber && n <= kLastPortNumber) ? n : 0;
}

QString deviceForPortText(const QString& text) {
    const int n = portNumberFromName(text);
    if (n > 0 && text.trimmed().size() == portNameForNumber(n).size()) return devicePathForPort(n);
    return text.trimmed();
}

bool portExists(int n) {
    const QString path = devicePathForPort(n);
    if (path.isEmpty()) return false;
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

QStringList existingPortNames() {
    QStringList names;
    for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n)
        if (portExists(n)) names << portNameForNumber(n);
    return names;
}

} // namespace vorna

#include "port_fault.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vorna {

namespace {

QString groupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

} // namespace

PortFault::Kind classifyPortFault(QSerialPort::SerialPortError error, bool exists,
                                  bool accessible) {
    using enum PortFault::Kind;
    if (!exists || error == QSerialPort::DeviceNotFoundError) return Missing;
    if (!accessible) return PermissionDenied;
    if (error == QSerialPort::PermissionError || error == QSerialPort::OpenError) return InUse;
    return Other;
}

PortFault diagnosePortFault(const QString& device, QSerialPort::SerialPortError error,
                            const QString& errorText) {
    const QByteArray path = QFile::encodeName(device);
    struct stat st {};
    const bool found = ::stat(path.constData(), &st) == 0;
    // A path this process may not even look at is there as far as we can tell, and refused.
    const bool exists = found ? S_ISCHR(st.st_mode) : errno == EACCES;
    const bool accessible =
        found && ::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) == 0;
    PortFault fault{classifyPortFault(error, exists, accessible), device, {}, errorText};
    // Advice to join the group only where the group may read and write the device.
    if (fault.kind == PortFault::Kind::PermissionDenied && found &&
        (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP))
        fault.group = groupName(st.st_gid);
    return fault;
}

QString portFaultText(const PortFault& fault, const PortFaultTexts& texts) {
    using enum PortFault::Kind;
    switch (fault.kind) {
    case None:
        return {};
    case Missing:
        return texts.missing.arg(fault.device);
    case InUse:
        return texts.inUse.arg(fault.device);
    case PermissionDenied:
        return fault.group.isEmpty() ? texts.permissionDenied.arg(fault.device)
                                     : texts.permissionGroup.arg(fault.device, fault.group);
    case Other:
        break;
    }
    return fault.device + QStringLiteral(": ") + fault.systemText;
}

} // namespace vorna

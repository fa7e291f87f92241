// The uploaders' port handling: two announcements at once, and a port the user may not open
// saying why, as the real executable does it (any port from the command line: its own test).

#include "port_names.h"
#include "pseudo_terminal.h"
#include "qt_print.h"
#include "test_env.h"
#include "upload_test_support.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTest>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

namespace {

constexpr int kCannotDropPrivileges = 77;

// Makes the device one that `child` may not open and returns the group that may. Root opens any
// device whatever its mode, and the tests run as root in CI: there the device goes to root:dialout
// 0660 and the child drops to nobody (no member of dialout) before it starts, as a user who was
// never added to the group. Run as anyone else, mode 0060 refuses the device's own owner.
QString forbid(const QString& device, QProcess& child) {
    const QByteArray path = device.toLocal8Bit();
    if (::geteuid() != 0) {
        ::chmod(path, 0060);
        return QFileInfo(device).group();
    }
    const group* dialout = ::getgrnam("dialout");
    const passwd* nobody = ::getpwnam("nobody");
    if (!dialout || !nobody) return {};
    EXPECT_EQ(::chown(path, 0, dialout->gr_gid), 0);
    ::chmod(path, 0660);
    child.setChildProcessModifier([uid = nobody->pw_uid, gid = nobody->pw_gid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
            ::_exit(kCannotDropPrivileges);
    });
    return QString::fromLocal8Bit(dialout->gr_name);
}

} // namespace

TEST(UploaderPorts, APortTheUserMayNotOpenNamesTheDeviceAndItsGroup) {
    FirmwareFile file;
    QFile::setPermissions(file.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther);
    QTemporaryDir dir;
    vorna::sim::PseudoTerminal pty(dir.filePath("pty"));
    ASSERT_TRUE(pty.ok()) << pty.error();
    QProcess p;
    const QString group = forbid(pty.devicePath(), p);
    ASSERT_FALSE(group.isEmpty());
    p.start(vorna::test::binDir() + "/Sirvex", {"--port", pty.devicePath(), "--file", file.path});
    ASSERT_TRUE(p.waitForFinished(10000));
    if (p.exitCode() == kCannotDropPrivileges) GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(QString(p.readAllStandardError()).section('\n', 0, 0),
              "Sirvex: cannot use the port: " + pty.devicePath() +
                  ": permission denied. The device belongs to the group " + group +
                  ": the user must be a member of it, then log in again.");
}

// Two bootloaders announce themselves at once: the first heard is programmed, the other port is
// closed at once and nothing is written to it.
TEST(UploaderPorts, OfTwoAnnouncementsTheFirstWinsAndTheOtherPortIsClosed) {
    FirmwareFile file;
    BootloaderSim a, b;
    routePorts({{4, a.link()}, {6, b.link()}});
    UploadController c(tamrixTransfer(), quickTiming());
    Recorder rec(c);
    QString found;
    QObject::connect(&c, &UploadController::portFound, [&](const QString& port) {
        found = port;
        const QString loser = vorna::deviceForPortText(port == "COM4" ? "COM6" : "COM4");
        QSerialPort other(loser);
        EXPECT_TRUE(other.open(QIODevice::ReadWrite)) << loser;
    });
    c.chooseFile(file.path);
    c.choosePort("auto");
    ASSERT_TRUE(QTest::qWaitFor([&] { return rec.finished.has_value(); }, 15000));
    EXPECT_TRUE(*rec.finished);
    ASSERT_TRUE(found == "COM4" || found == "COM6") << found;
    EXPECT_EQ(a.stop().program.size(), found == "COM4" ? 3u : 0u);
    EXPECT_EQ(b.stop().program.size(), found == "COM6" ? 3u : 0u);
}

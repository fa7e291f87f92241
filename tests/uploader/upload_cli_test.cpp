// The uploader programs' command-line mode, run as the real executables.

#include "command_line.h"
#include "pseudo_terminal.h"
#include "qt_print.h"
#include "test_env.h"
#include "tool_made_files.h"
#include "upload_test_support.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(UploaderCommandLine, OnlyOurOwnOptionsLeaveTheWindowOut) {
    using vorna::uploader::wantsCommandLine;
    EXPECT_FALSE(wantsCommandLine({"Sirvex", "-platform", "offscreen"}));
    EXPECT_TRUE(wantsCommandLine({"Sirvex", "--port=COM3", "--file=x.hex"}));
    EXPECT_TRUE(wantsCommandLine({"Tamrix", "-h"}));
    EXPECT_TRUE(wantsCommandLine({"Tamrix", "--verify"}));
}

TEST(UploaderCommandLine, EachRunEndsWithItsStatusAndPrintsItsTexts) {
    // In a command and env, @file is a firmware file, @dir its folder, @link the simulator,
    // @fx/ the folder of tool-made files, @pty a device the user may not open, @group its group.
    const struct {
        QString command, env;
        const char* sim; // simulator options; nullptr: no simulator
        int exitCode;
        QStringList out = {}, err = {};
        int rows = 0, eepromRows = 0, minMs = 0;
        int resets = -1; // -1: one when rows were written
    } cases[] = {
        // clang-format off
        {"Sirvex --help", "", nullptr, 0,
         {"Usage: Sirvex --port COMn|DEVICE|auto --file FIRMWARE.hex [--restart]", "38400 baud",
          "Exit status"}},
        {"Tamrix --help", "", nullptr, 0,
         {"Usage: Tamrix --port COMn|DEVICE|auto --file FIRMWARE.hex [--verify] [--wait SECONDS]",
          "115200 baud", "--verify "}},
        {"Sirvex --port COM1", "", nullptr, 2, {}, {"--port and --file are needed"}},
        {"Tamrix --port COM1 --file @file --restart", "", nullptr, 2},
        {"Sirvex --port COM1 --file @dir/x", "", nullptr, 2, {}, {"Invalid Target File"}},
        {"Sirvex --port COM7 --file @file", "VORNA_COM7=@dir/none", nullptr, 2, {"COM7"}},
        {"Sirvex --port @pty --file @file", "", nullptr, 2, {},
         {"Sirvex: cannot use the port: @pty: permission denied. The device belongs to the group "
          "@group: the user must be a member of it, then log in again.\n"}},
        // A port number above nine.
        {"Sirvex --port COM12 --file @file --restart", "VORNA_COM12=@link", "", 0,
         {"Instrument On-Line - BL v 12", "Progress: Programming device 0 %",
          "Progress: Programming device 100 %", "Instrument On-Line - Restart"}, {}, 3},
        {"Tamrix --port @link --file @file", "", "", 0,
         {"Found PIC24HJ256GP206 (ID: 0x0071)", "UpLoader End.", "Tamrix: Download Completed!"},
         {}, 3, 2},
        // A damaged file is said on standard error even where the build shows it in a field.
        {"Sirvex --port @link --file @fx/bad_checksum.hex", "", "", 1, {},
         {"Sirvex: Bad Hex file: line 3 checksum"}},
        {"Tamrix --port @link --file @fx/bad_no_end.hex --verify", "", "", 1, {},
         {"Tamrix: Bad Hex file: no end record"}},
        {"Sirvex --port @link --file @file --verify --restart", "", "", 0,
         {"Progress: Verifying device", "Verified 3 rows", "Instrument On-Line - Restart"}, {}, 3},
        {"Tamrix --port @link --file @file --verify", "", "--corrupt-at 0x41a", 1,
         {"Verifying Device..."}, {"Tamrix: Verify failed at 0x41A"}, 3, 2, 0, 0},
        // The instrument restarts and its adapter vanishes with the bootloader: a warning only.
        {"Sirvex --port @link --file @file --restart", "", "--drop-after 0x08", 0,
         {"Sirvex: warning: the port is gone"}, {}, 3, 0, 0, 0},
        // Any port: the run goes on with the one the announcement came on.
        {"Sirvex --port auto --file @file --restart", "VORNA_COM12=@link", "", 0,
         {"Announcement on COM12 (@link)"}, {}, 3},
        {"Tamrix --port auto --file @file --wait 1", "", nullptr, 3, {}, {"no announcement"}},
        // The real time-out of 20 s, once.
        {"Sirvex --port @link --file @file", "", "--silent-after 0x03", 1, {},
         {"Connection Lost. Instrument not connected?"}, 0, 0, 20000},
        // clang-format on
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(QString("%1 / %2").arg(k.command, k.sim).toStdString());
        FirmwareFile file;
        std::optional<BootloaderSim> sim;
        if (k.sim) sim.emplace(QString(k.sim).split(' ', Qt::SkipEmptyParts));
        ASSERT_TRUE(!sim || sim->ready());
        QProcess p;
        std::optional<vorna::sim::PseudoTerminal> pty;
        QString group;
        if (k.command.contains("@pty")) {
            QFile::setPermissions(file.dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther);
            pty.emplace(file.dir.filePath("pty"));
            group = forbid(pty->devicePath(), p);
            ASSERT_FALSE(group.isEmpty());
        }
        const auto fill = [&](QString s) {
            return s.replace("@file", file.path)
                .replace("@dir", file.dir.path())
                .replace("@link", sim ? sim->link() : "")
                .replace("@fx/", kFixtures)
                .replace("@pty", pty ? pty->devicePath() : "")
                .replace("@group", group);
        };
        routePorts({});
        if (!k.env.isEmpty()) // the programs inherit it
            qputenv(k.env.section('=', 0, 0).toLatin1(), fill(k.env.section('=', 1)).toLocal8Bit());
        QElapsedTimer clock;
        clock.start();
        QStringList args = fill(k.command).split(' ');
        p.start(vorna::test::binDir() + "/" + args.takeFirst(), args);
        ASSERT_TRUE(p.waitForFinished(60000));
        if (p.exitCode() == kCannotDropPrivileges) { // only root with that right can tell
            std::fprintf(stderr, "not checked here, the child cannot drop privileges: %s\n",
                         qPrintable(k.command));
            continue;
        }
        EXPECT_GE(clock.elapsed(), k.minMs);
        EXPECT_LT(clock.elapsed(), k.minMs + 6000);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), k.exitCode);
        const QString out = p.readAllStandardOutput(), err = p.readAllStandardError();
        for (const auto& text : k.out)
            EXPECT_TRUE(out.contains(fill(text))) << text << " not in " << out;
        for (const auto& text : k.err)
            EXPECT_TRUE(err.contains(fill(text))) << text << " not in " << err;
        EXPECT_TRUE(k.exitCode != 0 || err.isEmpty()) << err;
        if (!sim) continue;
        const SimMemory m = sim->stop();
        EXPECT_EQ(m.program.size(), size_t(k.rows));
        EXPECT_EQ(m.eeprom.size(), size_t(k.eepromRows));
        EXPECT_EQ(m.count.at("resets"), k.resets >= 0 ? k.resets : k.rows ? 1 : 0);
    }
}

// The uploader programs' command-line mode, run as the real executables.

#include "command_line.h"
#include "pseudo_terminal.h"
#include "qt_print.h"
#include "test_env.h"
#include "upload_test_support.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorna::uploader::test;

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
    qint64 elapsedMs = 0;
};

ProgramRun runProgram(const QString& program, const QStringList& args,
                      const std::map<QString, QString>& env = {}, int timeoutMs = 30000) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const auto& [k, v] : env)
        e.insert(k, v);
    p.setProcessEnvironment(e);
    QElapsedTimer clock;
    clock.start();
    p.start(vorna::test::binDir() + "/" + program, args);
    ProgramRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.elapsedMs = clock.elapsed();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

struct FirmwareFile {
    FirmwareFile() : firmware(makeFirmware(true)) {
        path = dir.path() + "/fw.hex";
        writeFile(path, firmware.lines);
    }
    QTemporaryDir dir;
    Firmware firmware;
    QString path;
};

} // namespace

TEST(UploaderCommandLine, OnlyOurOwnOptionsLeaveTheWindowOut) {
    using vorna::uploader::wantsCommandLine;
    EXPECT_FALSE(wantsCommandLine({"Sirvex"}));
    EXPECT_FALSE(wantsCommandLine({"Sirvex", "-platform", "offscreen"}));
    EXPECT_TRUE(wantsCommandLine({"Sirvex", "--port=COM3", "--file=x.hex"}));
    EXPECT_TRUE(wantsCommandLine({"Tamrix", "-h"}));
}

TEST(UploaderCommandLine, HelpDocumentsTheOptionsOfEachBuild) {
    const ProgramRun s = runProgram("Sirvex", {"--help"});
    EXPECT_EQ(s.exitCode, 0);
    EXPECT_TRUE(s.out.contains("Usage: Sirvex --port COMn|DEVICE --file FIRMWARE.hex [--restart]"));
    EXPECT_TRUE(s.out.contains("38400 baud"));
    EXPECT_TRUE(s.out.contains("Exit status"));
    const ProgramRun t = runProgram("Tamrix", {"--help"});
    EXPECT_EQ(t.exitCode, 0);
    EXPECT_TRUE(t.out.contains("115200 baud"));
    EXPECT_FALSE(t.out.contains("--restart"));
}

TEST(UploaderCommandLine, BadArgumentsFilesAndPortsGiveAClearErrorAndStatusTwo) {
    FirmwareFile fw;
    const ProgramRun noFile = runProgram("Sirvex", {"--port", "COM1"});
    EXPECT_EQ(noFile.exitCode, 2);
    EXPECT_TRUE(noFile.err.contains("--port and --file are needed"));
    const ProgramRun unknown =
        runProgram("Tamrix", {"--port", "COM1", "--file", fw.path, "--restart"});
    EXPECT_EQ(unknown.exitCode, 2);
    const ProgramRun unreadable =
        runProgram("Sirvex", {"--port", "COM1", "--file", fw.dir.path() + "/x"});
    EXPECT_EQ(unreadable.exitCode, 2);
    EXPECT_TRUE(unreadable.err.contains("Invalid Target File"));
    const ProgramRun noPort = runProgram("Sirvex", {"--port", "COM7", "--file", fw.path},
                                         {{"VORNA_COM7", fw.dir.path() + "/no-such-device"}});
    EXPECT_EQ(noPort.exitCode, 2);
    EXPECT_TRUE(noPort.out.contains("COM7")) << noPort.out.toStdString();
}

TEST(UploaderCommandLine, SirvexUploadsAndRestartsThroughAPortNumberAboveNine) {
    FirmwareFile fw;
    BootloaderSim sim;
    ASSERT_TRUE(sim.ready());
    const ProgramRun r = runProgram("Sirvex", {"--port", "COM12", "--file", fw.path, "--restart"},
                                    {{"VORNA_COM12", sim.link()}});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const char* line : {"Instrument On-Line - BL v 12", "Progress: Programming device 0 %",
                             "Progress: Programming device 100 %", "Instrument On-Line - Restart"})
        EXPECT_TRUE(r.out.split('\n').contains(QString::fromLatin1(line))) << line;
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const SimMemory m = sim.stop();
    EXPECT_EQ(m.program.size(), 3u);
    EXPECT_EQ(m.resets, 1);
}

TEST(UploaderCommandLine, TamrixRunsItsOneGoTransfer) {
    FirmwareFile fw;
    BootloaderSim sim;
    ASSERT_TRUE(sim.ready());
    const ProgramRun r = runProgram("Tamrix", {"--port", sim.link(), "--file", fw.path});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Found PIC24HJ256GP206 (ID: 0x0071)"));
    EXPECT_TRUE(r.out.split('\n').contains("UpLoader End."));
    const SimMemory m = sim.stop();
    EXPECT_EQ(m.program.size(), 3u);
    EXPECT_EQ(m.eeprom.size(), 2u);
    EXPECT_EQ(m.resets, 1);
}

TEST(UploaderCommandLine, FailuresEndWithTheirOwnStatus) {
    FirmwareFile fw;
    { // Nobody announces on a bare line.
        QTemporaryDir dir;
        vorna::sim::PseudoTerminal line(dir.path() + "/quiet-line");
        ASSERT_TRUE(line.ok());
        const ProgramRun r = runProgram(
            "Sirvex", {"--port", dir.path() + "/quiet-line", "--file", fw.path, "--wait", "1"});
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_TRUE(r.err.contains("no announcement")) << r.err.toStdString();
    }
    { // Identification that never finds the wanted device.
        BootloaderSim sim({"--device-id", "0x1234"});
        const ProgramRun r = runProgram("Sirvex", {"--port", sim.link(), "--file", fw.path});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains("Procedure Failed. Press Exit and Repeat."));
    }
}

TEST(UploaderCommandLine, ASilentTargetIsGivenUpAfterTheRealTwentySeconds) {
    FirmwareFile fw;
    BootloaderSim sim({"--silent-after", "0x03"});
    const ProgramRun r = runProgram("Sirvex", {"--port", sim.link(), "--file", fw.path}, {}, 60000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Connection Lost. Instrument not connected?"));
    EXPECT_GE(r.elapsedMs, 20000);
    EXPECT_LT(r.elapsedMs, 26000);
}

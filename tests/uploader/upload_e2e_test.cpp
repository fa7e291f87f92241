// The uploaders' transfers end to end: the real ports and protocol against bootloader-sim on a
// pseudo-terminal, for both builds.

#include "hex_text.h"
#include "qt_print.h"
#include "upload_test_support.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

namespace {

const QString kLostBox = QStringLiteral("Connection Lost.\nInstrument not connected?");
const QString kWaiting = QStringLiteral("Connection Lost - Reset the instrument");

// A controller of one build on a simulator, with a firmware file ready.
struct Bench {
    explicit Bench(const TransferPolicy& policy, const QStringList& simOptions = {},
                   TransferTiming timing = quickTiming(), bool eepromAndConfiguration = true)
        : firmware(makeFirmware(eepromAndConfiguration)), sim(simOptions),
          controller(policy, timing), recorder(controller) {
        hexPath = dir.path() + QStringLiteral("/firmware.hex");
        writeFile(hexPath, firmware.lines);
    }
    // The current build: hears the announcement and reports whether it was recognised.
    bool announce() {
        controller.choosePort(sim.link());
        return waitUntil([&] { return controller.announced(); }, 3000);
    }

    QTemporaryDir dir;
    Firmware firmware;
    QString hexPath;
    BootloaderSim sim;
    UploadController controller;
    Recorder recorder;
};

void expectButtons(const UploadController& c, bool start, bool restart, bool detect) {
    EXPECT_EQ(c.startEnabled(), start);
    EXPECT_EQ(c.restartEnabled(), restart);
    EXPECT_EQ(c.detectEnabled(), detect);
}

// Program rows as the target must hold them: the file's rows of 512 instructions, row 0 with
// the target's own reset instructions.
void expectProgramRows(const SimMemory& m, const FileBytes& file, int rowSize,
                       const std::vector<std::uint32_t>& addresses) {
    std::vector<std::uint32_t> got;
    for (const auto& [a, bytes] : m.program)
        got.push_back(a);
    EXPECT_EQ(got, addresses);
    for (const auto a : addresses) {
        SCOPED_TRACE(a);
        ASSERT_TRUE(m.program.count(a));
        QByteArray want = expectedProgramRow(file, a, rowSize);
        if (a == 0) want.replace(0, 6, kPreservedResetBytes);
        EXPECT_EQ(m.program.at(a).toHex(), want.toHex());
    }
}

qsizetype indexOf(const QStringList& list, const QString& text) {
    return list.indexOf(text);
}

} // namespace

TEST(SirvexTransfer, WritesTheProgramRowsKeepingTheTargetsResetWordsThenRestarts) {
    Bench b(sirvexTransfer(), {QStringLiteral("--version"), QStringLiteral("0x12")});
    ASSERT_TRUE(b.sim.ready());
    b.controller.chooseFile(b.hexPath);
    expectButtons(b.controller, false, false, true);
    ASSERT_TRUE(b.announce());
    EXPECT_EQ(b.controller.statusText(), "Instrument On-Line");
    expectButtons(b.controller, true, true, false);

    ASSERT_EQ(b.controller.start(), TransferOutcome::Done);
    const auto& st = b.recorder.status;
    const auto turnOn = indexOf(st, "Turn On Instrument");
    ASSERT_GE(turnOn, 0);
    EXPECT_EQ(st.mid(turnOn),
              (QStringList{"Turn On Instrument", "Instrument On-Line",
                           "Instrument On-Line - BL v 12", "Instrument On-Line - Restart"}));
    const auto& pr = b.recorder.progress;
    ASSERT_GE(pr.size(), 6);
    EXPECT_EQ(pr.mid(0, 4), (QStringList{"Progress: Reading Hex File", "Progress: Reading Target",
                                         "", "Progress: Programming device 0 %"}));
    EXPECT_EQ(pr[pr.size() - 2], "Progress: Programming device 100 %");
    EXPECT_EQ(pr.last(), "Progress");
    EXPECT_EQ(b.recorder.titles.first(), "Sirvex 3.0 -  0% Sent");
    EXPECT_EQ(b.recorder.titles[b.recorder.titles.size() - 2], "Sirvex 3.0 - 100% Sent");
    EXPECT_EQ(b.recorder.titles.last(), "Sirvex 3.0");
    EXPECT_EQ(b.recorder.barValue, 0);
    EXPECT_TRUE(b.recorder.messages.isEmpty());
    expectButtons(b.controller, false, true, false);

    b.controller.restart();
    EXPECT_EQ(b.controller.statusText(), kWaiting);
    expectButtons(b.controller, false, false, true);
    ASSERT_TRUE(b.sim.waitForLine("reset", 2000));

    const SimMemory m = b.sim.stop();
    ASSERT_TRUE(m.loaded);
    // EEPROM and configuration data in the file are not this build's business.
    expectProgramRows(m, b.firmware.bytes, 512, {0, 1024, 5 * 1024});
    EXPECT_TRUE(m.eeprom.empty());
    for (const auto& c : m.config)
        EXPECT_FALSE(c.has_value());
    EXPECT_EQ(m.resets, 1);
    EXPECT_EQ(m.identifications, 1);
    EXPECT_EQ(m.unknown, 0);
}

TEST(SirvexTransfer, ShowsTheVersionByteInLowerCaseHex) {
    Bench b(sirvexTransfer(), {QStringLiteral("--version"), QStringLiteral("0x0a")}, quickTiming(),
            false);
    b.controller.chooseFile(b.hexPath);
    ASSERT_TRUE(b.announce());
    ASSERT_EQ(b.controller.start(), TransferOutcome::Done);
    EXPECT_TRUE(b.recorder.status.contains("Instrument On-Line - BL v a"));
}

TEST(SirvexTransfer, RepeatsARefusedRowUntilAcknowledgedButNotForEver) {
    for (const int refusals : {3, 10, 11}) {
        SCOPED_TRACE(refusals);
        Bench b(sirvexTransfer(), {QStringLiteral("--refuse"), QString::number(refusals)});
        b.controller.chooseFile(b.hexPath);
        ASSERT_TRUE(b.announce());
        const TransferOutcome outcome = b.controller.start();
        if (refusals <= 10) {
            EXPECT_EQ(outcome, TransferOutcome::Done);
            EXPECT_TRUE(b.recorder.messages.isEmpty());
            const SimMemory m = b.sim.stop();
            EXPECT_EQ(m.refusals, refusals);
            expectProgramRows(m, b.firmware.bytes, 512, {0, 1024, 5 * 1024});
            continue;
        }
        // Eleven refusals of one row: the connection counts as lost and the window goes back
        // to waiting for the bootloader.
        EXPECT_EQ(outcome, TransferOutcome::LostConnection);
        EXPECT_EQ(b.recorder.messages, QStringList{kLostBox});
        EXPECT_EQ(b.controller.statusText(), kWaiting);
        EXPECT_FALSE(b.controller.announced());
        expectButtons(b.controller, false, false, true);
        b.sim.powerCycle();
        EXPECT_TRUE(waitUntil([&] { return b.controller.announced(); }, 3000));
        EXPECT_TRUE(b.sim.stop().program.empty());
    }
}

TEST(SirvexTransfer, ASilentTargetEndsInLostConnectionWithinTheTimeOut) {
    // Silent from the first row write on, and silent when asked for row 0: in the second case
    // nothing may be written, since the target's reset instructions never came.
    for (const char* command : {"0x03", "0x02"}) {
        SCOPED_TRACE(command);
        Bench b(sirvexTransfer(), {QStringLiteral("--silent-after"), QString::fromLatin1(command)},
                quickTiming(700));
        b.controller.chooseFile(b.hexPath);
        ASSERT_TRUE(b.announce());
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(b.controller.start(), TransferOutcome::LostConnection);
        EXPECT_GE(clock.elapsed(), 700);
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(b.recorder.messages, QStringList{kLostBox});
        EXPECT_EQ(b.controller.statusText(), kWaiting);
        expectButtons(b.controller, false, false, true);
        EXPECT_TRUE(b.sim.stop().program.empty());
    }
}

TEST(SirvexTransfer, ADroppedLineIsNoticedWithoutWaitingOutTheTimeOut) {
    Bench b(sirvexTransfer(), {QStringLiteral("--drop-after"), QStringLiteral("0x03:2")},
            quickTiming(15000));
    b.controller.chooseFile(b.hexPath);
    ASSERT_TRUE(b.announce());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(b.controller.start(), TransferOutcome::LostConnection);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(b.recorder.messages, QStringList{kLostBox});
    EXPECT_EQ(b.sim.stop().program.size(), 1u);
}

TEST(SirvexTransfer, AWrongAnnouncementIsNotRecognised) {
    Bench b(sirvexTransfer(), {QStringLiteral("--announce"), QStringLiteral("\\t\\t\\r\\n")});
    b.controller.chooseFile(b.hexPath);
    b.controller.choosePort(b.sim.link());
    ASSERT_TRUE(b.sim.waitForLine("announced", 3000));
    ASSERT_TRUE(waitUntil(
        [&] { return b.controller.statusText() == "Connection Lost - Instrument not recognized"; },
        3000));
    EXPECT_FALSE(b.controller.announced());
    expectButtons(b.controller, false, false, true);
    EXPECT_EQ(b.controller.start(), TransferOutcome::IdentificationFailed); // Start is disabled
    EXPECT_EQ(b.sim.stop().identifications, 0);
}

TEST(SirvexTransfer, AnAnnouncementArrivingInPiecesIsHeardWhole) {
    // Pieces closer together than the quiet gap (200 ms) make one announcement; a pause longer
    // than that cuts it short.
    for (const int gap : {60, 400}) {
        SCOPED_TRACE(gap);
        Bench b(sirvexTransfer(), {QStringLiteral("--announce-byte-gap"), QString::number(gap)});
        b.controller.choosePort(b.sim.link());
        ASSERT_TRUE(b.sim.waitForLine("announced", 5000));
        ASSERT_TRUE(waitUntil([&] { return b.controller.statusText() != kWaiting; }, 3000));
        EXPECT_EQ(b.controller.announced(), gap < 200);
    }
}

TEST(SirvexTransfer, IdentificationFailingTenTimesEndsTheProcedure) {
    // Noise for an identity, a dsPIC33F, an ID no table holds.
    const QList<QStringList> targets{
        {QStringLiteral("--garbage-after"), QStringLiteral("0x09")},
        {QStringLiteral("--device-id"), QStringLiteral("0x00C1"), QStringLiteral("--process-id"),
         QStringLiteral("3")},
        {QStringLiteral("--device-id"), QStringLiteral("0x1234")},
    };
    for (const auto& target : targets) {
        SCOPED_TRACE(target.join(' ').toStdString());
        Bench b(sirvexTransfer(), target);
        b.controller.chooseFile(b.hexPath);
        ASSERT_TRUE(b.announce());
        EXPECT_EQ(b.controller.start(), TransferOutcome::IdentificationFailed);
        EXPECT_EQ(b.recorder.messages,
                  QStringList{QStringLiteral("Procedure Failed.\nPress Exit and Repeat.")});
        expectButtons(b.controller, false, false, false);
        const SimMemory m = b.sim.stop();
        EXPECT_EQ(m.identifications, 10);
        EXPECT_TRUE(m.program.empty());
    }
}

TEST(SirvexTransfer, ABadFirmwareFileWritesNothing) {
    Bench b(sirvexTransfer());
    // A word past the configuration rows.
    auto lines = b.firmware.lines;
    lines.insert(lines.end() - 1, {linearBase(0x01F0), dataRecord(0x0020, {1, 2, 3, 4})});
    writeFile(b.hexPath, lines);
    b.controller.chooseFile(b.hexPath);
    ASSERT_TRUE(b.announce());
    EXPECT_EQ(b.controller.start(), TransferOutcome::HexFailed);
    EXPECT_EQ(b.controller.progressText(), "Bad Hex file: 0xf80010Address out of range");
    expectButtons(b.controller, false, false, false);
    EXPECT_TRUE(b.recorder.messages.isEmpty());

    Bench missing(sirvexTransfer());
    missing.controller.chooseFile(missing.dir.path() + "/missing.hex");
    ASSERT_TRUE(missing.announce());
    EXPECT_EQ(missing.controller.start(), TransferOutcome::HexFailed);
    EXPECT_EQ(missing.recorder.messages, QStringList{"Invalid Target File"});
    EXPECT_TRUE(b.sim.stop().program.empty());
    EXPECT_TRUE(missing.sim.stop().program.empty());
}

TEST(TamrixTransfer, WritesProgramEepromAndConfigurationRowsThenResets) {
    Bench b(tamrixTransfer());
    b.controller.chooseFile(b.hexPath);
    EXPECT_EQ(b.controller.statusText(), "Turn On Instrument");
    b.controller.choosePort(b.sim.link());
    ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 10000));
    EXPECT_TRUE(*b.recorder.finished);
    EXPECT_EQ(b.recorder.messages, QStringList{"Download Completed!"});
    const auto& st = b.recorder.status;
    const auto reading = indexOf(st, "Reading Target Device ID");
    ASSERT_GE(reading, 0);
    EXPECT_EQ(
        st.mid(reading, 5),
        (QStringList{"Reading Target Device ID", "Found PIC24HJ256GP206 (ID: 0x0071)",
                     "Reading Hex File", "Programming Device...", "Programming Device  0% Sent"}));
    EXPECT_EQ(st[st.size() - 2], "Programming Device 100% Sent");
    EXPECT_EQ(st.last(), "UpLoader End.");
    EXPECT_EQ(b.recorder.titles.first(), "Sirvex  0% Sent");
    EXPECT_EQ(b.recorder.titles.last(), "Sirvex 2.1.U.O.");

    const SimMemory m = b.sim.stop();
    expectProgramRows(m, b.firmware.bytes, 512, {0, 1024, 5 * 1024});
    ASSERT_EQ(m.eeprom.size(), 2u);
    for (const std::uint32_t a : {0x7FF000u, 0x7FF020u})
        EXPECT_EQ(m.eeprom.at(a).toHex(), expectedEepromRow(b.firmware.bytes, a).toHex());
    for (int n = 0; n < 8; ++n) {
        SCOPED_TRACE(n);
        ASSERT_TRUE(m.config[size_t(n)].has_value());
        EXPECT_EQ(m.config[size_t(n)]->toHex(),
                  expectedConfigurationWord(b.firmware.bytes, n).toHex());
    }
    EXPECT_EQ(m.config[0]->toHex(), "001234");
    EXPECT_EQ(m.config[1]->toHex(), "01ffff"); // empty: the flag says so
    EXPECT_EQ(m.resets, 1);
    EXPECT_EQ(m.unknown, 0);
}

TEST(TamrixTransfer, ADsPic30FGetsShortRowsAndSevenConfigurationWords) {
    Bench b(tamrixTransfer(),
            {QStringLiteral("--device-id"), QStringLiteral("0x0040"),
             QStringLiteral("--process-id"), QStringLiteral("1"), QStringLiteral("--row-size"),
             QStringLiteral("32"), QStringLiteral("--config-words"), QStringLiteral("7")});
    b.controller.chooseFile(b.hexPath);
    b.controller.choosePort(b.sim.link());
    ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 10000));
    EXPECT_TRUE(*b.recorder.finished);
    EXPECT_TRUE(b.recorder.status.contains("Found dsPIC30F2010 (ID: 0x0040)"));
    const SimMemory m = b.sim.stop();
    // Rows of 32 instructions: 0 .. 17 from the first 2304 file bytes, 80 from the lone
    // block.
    std::vector<std::uint32_t> rows;
    for (std::uint32_t r = 0; r < 18; ++r)
        rows.push_back(r * 64);
    rows.push_back(80 * 64);
    expectProgramRows(m, b.firmware.bytes, 32, rows);
    for (int n = 0; n < 7; ++n)
        EXPECT_TRUE(m.config[size_t(n)].has_value()) << n;
    EXPECT_FALSE(m.config[7].has_value());
    EXPECT_EQ(m.unknown, 0); // no stray eighth word
    EXPECT_EQ(m.resets, 1);
}

TEST(TamrixTransfer, AnUnknownTargetIsNoFamilyAndNothingIsWritten) {
    // 0x080A is a device only the current build's table knows.
    for (const char* id : {"0x1234", "0x080A"}) {
        SCOPED_TRACE(id);
        Bench b(tamrixTransfer(), {QStringLiteral("--device-id"), QString::fromLatin1(id)});
        b.controller.chooseFile(b.hexPath);
        b.controller.choosePort(b.sim.link());
        ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 10000));
        EXPECT_FALSE(*b.recorder.finished);
        EXPECT_EQ(b.recorder.messages, QStringList{"No Family"});
        EXPECT_EQ(b.controller.statusText(), "No Family");
        const SimMemory m = b.sim.stop();
        EXPECT_TRUE(m.program.empty());
        EXPECT_EQ(m.identifications, 1);
    }
}

TEST(TamrixTransfer, ASilentTargetNoLongerFreezesIt) {
    for (const char* command : {"0x09", "0x03:2"}) {
        SCOPED_TRACE(command);
        Bench b(tamrixTransfer(), {QStringLiteral("--silent-after"), QString::fromLatin1(command)},
                quickTiming(700));
        b.controller.chooseFile(b.hexPath);
        QElapsedTimer clock;
        clock.start();
        b.controller.choosePort(b.sim.link());
        ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 5000));
        EXPECT_LT(clock.elapsed(), 4000);
        EXPECT_FALSE(*b.recorder.finished);
        EXPECT_EQ(b.recorder.messages, QStringList{"Connection Lost"});
        EXPECT_EQ(b.controller.statusText(), "Connection Lost");
        EXPECT_EQ(b.sim.stop().resets, 0);
    }
}

TEST(TamrixTransfer, RefusedRowsAreRepeatedWithinTheBound) {
    for (const int refusals : {2, 11}) {
        SCOPED_TRACE(refusals);
        Bench b(tamrixTransfer(), {QStringLiteral("--refuse"), QString::number(refusals)});
        b.controller.chooseFile(b.hexPath);
        b.controller.choosePort(b.sim.link());
        ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 10000));
        EXPECT_EQ(*b.recorder.finished, refusals <= 10);
        const SimMemory m = b.sim.stop();
        EXPECT_EQ(m.refusals, refusals);
        EXPECT_EQ(m.resets, refusals <= 10 ? 1 : 0);
    }
}

TEST(TamrixTransfer, WithoutAReadableFileTheAnnouncementTransfersNothing) {
    for (const bool chosen : {false, true}) {
        SCOPED_TRACE(chosen);
        Bench b(tamrixTransfer());
        if (chosen) b.controller.chooseFile(b.dir.path() + "/missing.hex");
        b.controller.choosePort(b.sim.link());
        ASSERT_TRUE(b.sim.waitForLine("announced", 3000));
        ASSERT_TRUE(waitUntil([&] { return !b.recorder.messages.isEmpty(); }, 3000));
        EXPECT_EQ(b.recorder.messages, QStringList{"Invalid Target File"});
        EXPECT_FALSE(b.recorder.finished.has_value());
        // Still listening: once a readable file is chosen the next announcement transfers.
        b.controller.chooseFile(b.hexPath);
        b.sim.powerCycle();
        ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 10000));
        EXPECT_TRUE(*b.recorder.finished);
        EXPECT_EQ(b.sim.stop().identifications, 1);
    }
}

TEST(UploaderTransfer, ANoisyTargetNeverHangsOrCrashesEitherBuild) {
    // Noise from each command on, several seeds: every run ends, within the bounded waits.
    for (const TransferPolicy* policy : {&sirvexTransfer(), &tamrixTransfer()}) {
        for (const char* command : {"0x09", "0x11", "0x02", "0x03", "0x03:2"}) {
            if (policy == &tamrixTransfer() && QByteArray(command) == "0x11") continue;
            for (const int seed : {1, 2}) {
                SCOPED_TRACE(std::string(policy->image.programName) + " " + command + " seed " +
                             std::to_string(seed));
                Bench b(*policy,
                        {QStringLiteral("--garbage-after"), QString::fromLatin1(command),
                         QStringLiteral("--seed"), QString::number(seed)},
                        quickTiming(500));
                b.controller.chooseFile(b.hexPath);
                QElapsedTimer clock;
                clock.start();
                if (policy->userStarts) {
                    ASSERT_TRUE(b.announce());
                    b.controller.start();
                } else {
                    b.controller.choosePort(b.sim.link());
                    ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 15000));
                }
                EXPECT_LT(clock.elapsed(), 15000);
                EXPECT_FALSE(b.controller.busy());
                const SimMemory m = b.sim.stop();
                EXPECT_TRUE(m.loaded);
                // Noise is never taken for an acknowledge, so a noisy row is never recorded.
                if (QByteArray(command) == "0x03") {
                    EXPECT_TRUE(m.program.empty());
                }
            }
        }
    }
}

TEST(TamrixTransfer, AnUnknownRecordTypeEndsBeforeAnythingIsWritten) {
    Bench b(tamrixTransfer());
    auto lines = b.firmware.lines;
    lines.insert(lines.begin() + 3, hexRecord(5, 0, {0, 0, 0, 0}));
    writeFile(b.hexPath, lines);
    b.controller.chooseFile(b.hexPath);
    b.controller.choosePort(b.sim.link());
    ASSERT_TRUE(waitUntil([&] { return b.recorder.finished.has_value(); }, 10000));
    EXPECT_FALSE(*b.recorder.finished);
    EXPECT_EQ(b.controller.statusText(), "Unknown hex record type");
    EXPECT_TRUE(b.recorder.messages.isEmpty());
    const SimMemory m = b.sim.stop();
    EXPECT_TRUE(m.program.empty());
    EXPECT_EQ(m.resets, 0);
}

// Both uploaders' transfers: the real ports and protocol against bootloader-sim.

#include "hex_text.h"
#include "port_names.h"
#include "qt_print.h"
#include "tool_made_files.h"
#include "upload_test_support.h"

#include <QSerialPort>
#include <QTest>
#include <array>
#include <gtest/gtest.h>

using namespace vorna::uploader;
using namespace vorna::uploader::test;

namespace {

const QString kLostBox = "Connection Lost.\nInstrument not connected?";
const QString kFailedBox = "Procedure Failed.\nPress Exit and Repeat.";
const QString kLost = "Connection Lost";
const QString kNotRecognised = "Connection Lost - Instrument not recognized";
const TransferPolicy& S = sirvexTransfer();
const TransferPolicy& T = tamrixTransfer();
const std::string kMissingFile = "missing file";

// What the target must hold, worked out from the file's bytes (device address = byte address / 2,
// bytes outside every area dropped): program rows of rowSize instructions, three bytes of each
// four-byte group, row 0 with the target's reset instructions; with all, also EEPROM rows (two
// bytes of each group) and configWords configuration words (empty flag, two bytes).
void expectImage(const SimMemory& m, const FileBytes& file, bool all, int rowSize = 512,
                 int configWords = 8) {
    const std::uint32_t span = 2 * std::uint32_t(rowSize); // device addresses per row
    const auto at = [&](std::uint32_t a) {
        const auto it = file.find(a);
        return char(it == file.end() ? 0xFF : it->second);
    };
    std::map<std::uint32_t, QByteArray> program{{0, {}}}, eeprom;
    std::array<bool, 8> configUsed{};
    for (const auto& [byteAddress, byte] : file) {
        const std::uint32_t d = byteAddress / 2;
        if (d < 1536 * span)
            program[d / span * span];
        else if (d >= 0x7FF000 && d < 0x800000 && all)
            eeprom[d / 32 * 32];
        else if (d >= 0xF80000 && d < 0xF80010)
            configUsed[(d - 0xF80000) / 2] = true;
    }
    const auto fill = [&](auto& rows, std::uint32_t fileBytes, std::uint32_t kept) {
        for (auto& [row, bytes] : rows)
            for (std::uint32_t i = 0; i < fileBytes; ++i)
                if (i % 4 < kept) bytes += at(2 * row + i);
    };
    fill(program, 2 * span, 3);
    fill(eeprom, 64, 2);
    program[0].replace(0, 6, kPreservedResetBytes);
    EXPECT_EQ(m.program, program);
    EXPECT_EQ(m.eeprom, eeprom);
    decltype(m.config) config; // empty flag and two bytes of each word
    for (std::uint32_t n = 0, a = 0x1F00000; all && n < std::uint32_t(configWords); ++n, a += 4)
        config[n] = QByteArray(1, char(configUsed[n] ? 0 : 1)) + at(a) + at(a + 1);
    EXPECT_EQ(m.config, config);
    EXPECT_EQ(m.count.at("unknown"), 0);
    EXPECT_EQ(m.count.at("resets"), 1);
}

} // namespace

TEST(SirvexTransfer, ShowsEachStepRepeatsRefusedRowsWritesOnlyProgramRowsThenRestarts) {
    // An announcement in pieces closer together than the quiet gap (200 ms), though longer as a
    // whole, is heard whole; ten refusals of a row are within the bound. The tool-made file (gaps,
    // a 64 KB boundary, odd addresses, the last program row, EEPROM, configuration) lands whole.
    TransferRig r(S, "--announce-byte-gap 150 --version 0x0a --refuse 10");
    ASSERT_EQ(r.go(kFixtures + "srec_upload.hex"), TransferOutcome::Done);
    const auto& st = r.rec.status;
    EXPECT_EQ(st.mid(st.indexOf("Turn On Instrument")),
              (QStringList{"Turn On Instrument", "Instrument On-Line",
                           "Instrument On-Line - BL v a", "Instrument On-Line - Restart"}));
    const auto& pr = r.rec.progress;
    EXPECT_EQ(pr.mid(0, 4) + pr.mid(pr.size() - 2),
              (QStringList{"Progress: Reading Hex File", "Progress: Reading Target", "",
                           "Progress: Programming device 0 %", "Progress: Programming device 100 %",
                           "Progress"}));
    const auto& ti = r.rec.titles;
    EXPECT_EQ(ti.mid(0, 1) + ti.mid(ti.size() - 2),
              (QStringList{"Sirvex 3.0 -  0% Sent", "Sirvex 3.0 - 100% Sent", "Sirvex 3.0"}));
    r.c.restart();
    EXPECT_EQ(r.c.statusText(), kWaiting);
    ASSERT_TRUE(r.sim.restarted());
    const SimMemory m = r.sim.stop();
    expectImage(m, toolGivenBytes("srec_upload.hex"), false);
    EXPECT_EQ(m.count.at("refusals"), 10);
}

TEST(TamrixTransfer, ShowsEachStepRepeatsRefusedRowsWritesEepromAndConfigurationAndVerifies) {
    // A PIC24H refusing two rows, and a dsPIC30F (rows of 32 instructions, no configuration word
    // 7) whose memory ends before the file's last rows: dropped with a notice, the rest written.
    // Without verify this build's transfer is the window's and the command line's.
    const std::tuple<QString, QString, int, int, int> targets[] = {
        {"--refuse 2", "Found PIC24HJ256GP206 (ID: 0x0071)", 512, 8, 2},
        {"--device-id 0x0040 --process-id 1 --row-size 32 --config-words 7",
         "Found dsPIC30F2010 (ID: 0x0040)", 32, 7, 0}};
    for (const auto& [options, found, rowSize, configWords, refusals] : targets) {
        TransferRig r(T, options);
        r.c.setVerify(true);
        ASSERT_EQ(r.go(kFixtures + "srec_upload.hex"), TransferOutcome::Done);
        const SimMemory m = r.sim.stop();
        const auto& st = r.rec.status;
        EXPECT_EQ(
            st.mid(st.indexOf("Reading Target Device ID"), 3) +
                st.mid(st.indexOf("Programming Device..."), 2) + st.mid(st.size() - 4),
            (QStringList{"Reading Target Device ID", found, "Reading Hex File",
                         "Programming Device...", "Programming Device  0% Sent",
                         "Programming Device 100% Sent", "Verifying Device...",
                         QString("Verified %1 rows").arg(m.program.size()), "UpLoader End."}));
        EXPECT_EQ(r.rec.messages, QStringList{T.downloadCompletedBox});
        EXPECT_EQ(r.c.lastFailure(), QString());
        EXPECT_EQ(st.contains("Bad Hex file: 0x17FC00 Address out of range."), rowSize == 32);
        EXPECT_EQ(r.rec.titles.mid(0, 1) + r.rec.titles.mid(r.rec.titles.size() - 1),
                  (QStringList{"Sirvex  0% Sent", "Sirvex 2.1.U.O."}));
        expectImage(m, toolGivenBytes("srec_upload.hex"), true, rowSize, configWords);
        EXPECT_EQ(m.count.at("refusals"), refusals);
    }
}

TEST(UploaderTransfer, FailuresEndInTimeWithTheirTextAndWriteNothingMore) {
    using O = TransferOutcome;
    const std::string outOfRange = dataRecord(0x0020, {1, 2, 3, 4}); // device 0xF80010
    const std::string unknownType = hexRecord(5, 0, {0, 0, 0, 0});
    const struct {
        const TransferPolicy& policy;
        QString sim;
        std::string file; // a record added before the end, or kMissingFile
        O outcome;
        QString box;   // "" = none
        QString shown; // the status (or Sirvex's progress) text at the end
        int replyMs, rowsWritten, identifications;
        bool verify = false;
    } cases[] = {
        // A wrong announcement, or one cut short by a pause: Start stays disabled.
        {S, "--announce \\t\\t\\r\\n", "", O::IdentificationFailed, "", kNotRecognised, 1500, 0, 0},
        {S, "--announce-byte-gap 400", "", O::IdentificationFailed, "", kNotRecognised, 1500, 0, 0},
        {S, "--refuse 11", "", O::LostConnection, kLostBox, kWaiting, 1500, 0, 1},
        // No reset words from the target: nothing may be written.
        {S, "--silent-after 0x02", "", O::LostConnection, kLostBox, kWaiting, 700, 0, 1},
        // Noticed without waiting out the time-out.
        {S, "--drop-after 0x03:2", "", O::LostConnection, kLostBox, "", 15000, 1, 1},
        // Noise for an identity, a dsPIC33F, an ID no table holds.
        {S, "--garbage-after 0x09", "", O::IdentificationFailed, kFailedBox, kWaiting, 1500, 0, 10},
        {S, "--device-id 0x00C1", "", O::IdentificationFailed, kFailedBox, kWaiting, 1500, 0, 10},
        {S, "--device-id 0x1234", "", O::IdentificationFailed, kFailedBox, kWaiting, 1500, 0, 10},
        {S, "", outOfRange, O::HexFailed, "", "Bad Hex file: 0xf80010Address out of range", 1500, 0,
         1},
        {S, "", kMissingFile, O::HexFailed, "Invalid Target File", "Progress: Reading Hex File",
         1500, 0, 1},
        // 0x080A is a device only the current build's table knows.
        {T, "--device-id 0x1234", "", O::NoFamily, "No Family", "No Family", 1500, 0, 1},
        {T, "--device-id 0x080A", "", O::NoFamily, "No Family", "No Family", 1500, 0, 1},
        {T, "--silent-after 0x09", "", O::LostConnection, kLost, kLost, 700, 0, 0},
        {T, "--silent-after 0x03:2", "", O::LostConnection, kLost, kLost, 700, 1, 1},
        {T, "--drop-after 0x03:2", "", O::LostConnection, kLost, kLost, 15000, 1, 1},
        {T, "--refuse 11", "", O::LostConnection, kLost, kLost, 1500, 0, 1},
        // A file the reader refuses (every way it refuses one is the HEX tests'): nothing written.
        {T, "", unknownType, O::HexFailed, "", "Unknown hex record type", 1500, 0, 1},
        // Verify finds a wrong instruction in row 5 or in the target's own reset instruction
        // (compared as written), or no read-back; other verifies are the transfer and CLI tests'.
        {S, "--corrupt-at 0x140a", "", O::VerifyFailed, "Verify failed at 0x140a",
         "Verify failed at 0x140a", 1500, 3, 1, true},
        {S, "--corrupt-at 0", "", O::VerifyFailed, "Verify failed at 0x0", "Verify failed at 0x0",
         1500, 3, 1, true},
        {T, "--silent-after 0x02:2", "", O::LostConnection, kLost, kLost, 700, 3, 1, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(
            QString("%1 %2 %3").arg(k.policy.image.programName, k.sim, k.shown).toStdString());
        const bool missing = k.file == kMissingFile;
        TransferRig r(k.policy, k.sim, k.replyMs, missing ? "" : k.file);
        r.c.setVerify(k.verify);
        EXPECT_EQ(r.go(missing ? r.file.dir.filePath("missing.hex") : QString()), k.outcome);
        EXPECT_LT(r.clock.elapsed(), std::min(k.replyMs, 1500) + 2500);
        EXPECT_GE(r.clock.elapsed(), k.replyMs < 1500 ? k.replyMs : 0); // silent: waited out
        EXPECT_EQ(r.rec.messages, k.box.isEmpty() ? QStringList{} : QStringList{k.box});
        if (k.sim.startsWith("--drop-after")) { // timed from the unplugging, not from Start
            EXPECT_LT(r.rec.messageAt - r.sim.droppedAt(), std::chrono::seconds(1));
        }
        EXPECT_TRUE(k.shown.isEmpty() || r.c.statusText() == k.shown ||
                    r.c.progressText() == k.shown)
            << r.c.statusText() << " / " << r.c.progressText();
        if (k.policy.userStarts) {
            // Only Detect, and only while no bootloader is on-line, or after a wrong write Start
            // (never Restart); after a lost connection the window listens for the next
            // announcement.
            EXPECT_EQ(r.c.startEnabled(), k.outcome == O::VerifyFailed);
            EXPECT_FALSE(r.c.restartEnabled());
            EXPECT_EQ(r.c.detectEnabled(), !r.c.announced());
            if (k.verify) r.c.restart(); // disabled: the wrong write is never started
            if (k.outcome == O::LostConnection && k.rowsWritten == 0) {
                r.sim.powerCycle();
                EXPECT_TRUE(QTest::qWaitFor([&] { return r.c.announced(); }, 3000));
            }
        }
        const SimMemory m = r.sim.stop();
        EXPECT_EQ(m.program.size(), size_t(k.rowsWritten));
        EXPECT_EQ(m.count.at("identifications"), k.identifications);
        EXPECT_EQ(m.count.at("resets"), 0);
        EXPECT_TRUE(!k.verify || r.c.lastFailure() == k.shown) << r.c.lastFailure();
    }
}

TEST(UploaderTransfer, ANoisyTargetNeverHangsOrCrashesEitherBuild) {
    for (const TransferPolicy* policy : {&S, &T})
        for (const QString command : {"0x09", "0x11", "0x02", "0x03", "0x03:2"})
            for (const char* seed : {"1", "2"}) {
                if (!policy->readsVersion && command == "0x11") continue;
                const QString options = QString("--garbage-after %1 --seed %2").arg(command, seed);
                SCOPED_TRACE(policy->image.programName + (" " + options).toStdString());
                TransferRig r(*policy, options, 500);
                r.go();
                EXPECT_LT(r.clock.elapsed(), 15000);
                EXPECT_FALSE(r.c.busy());
                const SimMemory m = r.sim.stop();
                EXPECT_FALSE(m.count.empty()); // the simulator lived to tell
                // Noise is never taken for an acknowledge, so a noisy row is never recorded.
                EXPECT_TRUE(command != "0x03" || m.program.empty());
            }
}

TEST(UploaderTransfer, OfTwoAnnouncementsTheFirstWinsAndTheOtherPortIsClosed) {
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

// The uploaders' transfers end to end: the real ports and protocol against bootloader-sim on a
// pseudo-terminal, for both builds.

#include "hex_text.h"
#include "qt_print.h"
#include "upload_test_support.h"

#include <QElapsedTimer>
#include <QTest>
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

// One build's controller on a simulator, with a firmware file.
struct Rig {
    explicit Rig(const TransferPolicy& p, const QString& simOptions = {}, int replyMs = 1500,
                 const std::string& extraRecord = {})
        : file(extraRecord), sim(simOptions.split(' ', Qt::SkipEmptyParts)),
          c(p, quickTiming(replyMs)), rec(c) {}
    // Runs the build's transfer: Start once the announcement is recognised, or the one go the
    // announcement starts by itself.
    TransferOutcome go(const QString& chosenFile = {}) {
        c.chooseFile(chosenFile.isEmpty() ? file.path : chosenFile);
        c.choosePort(sim.link());
        const QString idle = c.policy().statusIdle; // until the announcement is heard
        const bool user = c.policy().userStarts;
        (void)QTest::qWaitFor([&] { return !user || c.statusText() != idle; }, 3000);
        clock.start();
        if (user) return c.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return rec.finished.has_value(); }, 15000));
        return c.lastOutcome();
    }
    FirmwareFile file;
    BootloaderSim sim;
    UploadController c;
    Recorder rec;
    QElapsedTimer clock;
};

// The target must hold the file as it gives it: program rows of rowSize instructions, three
// bytes of each four-byte group (row 0 with the target's own reset instructions); with all,
// also EEPROM rows of the first two bytes of each group and configWords configuration words
// (empty flag, two bytes). Worked out from the file's bytes, not by the uploader's code.
void expectImage(const SimMemory& m, const FirmwareFile& f, bool all, int rowSize = 512,
                 int configWords = 8) {
    const std::uint32_t span = 2 * std::uint32_t(rowSize); // device addresses per row
    std::map<std::uint32_t, QByteArray> program, eeprom;
    for (const auto& [at, byte] : f.bytes)
        if (at < 0xFFE000)
            program[at / 2 / span * span];
        else if (all && at < 0x1F00000)
            eeprom[at / 2 / 32 * 32];
    const auto fill = [&](auto& rows, std::uint32_t fileBytes, std::uint32_t kept) {
        for (auto& [row, bytes] : rows)
            for (std::uint32_t i = 0; i < fileBytes; ++i)
                if (i % 4 < kept) bytes += char(f.at(2 * row + i));
    };
    fill(program, 2 * span, 3);
    fill(eeprom, 64, 2);
    program[0].replace(0, 6, kPreservedResetBytes);
    EXPECT_EQ(m.program, program);
    EXPECT_EQ(m.eeprom, eeprom);
    decltype(m.config) config; // empty flag and two bytes of each word
    for (std::uint32_t n = 0, at = 0x1F00000; all && n < std::uint32_t(configWords); ++n, at += 4)
        config[n] =
            QByteArray(1, char(f.bytes.count(at) ? 0 : 1)) + char(f.at(at)) + char(f.at(at + 1));
    EXPECT_EQ(m.config, config);
    EXPECT_EQ(m.count.at("unknown"), 0);
    EXPECT_EQ(m.count.at("resets"), 1);
}

} // namespace

TEST(SirvexTransfer, ShowsEachStepRepeatsRefusedRowsWritesOnlyProgramRowsThenRestarts) {
    // An announcement in pieces closer together than the quiet gap (200 ms) is heard whole; ten
    // refusals of a row are still within the bound.
    Rig r(S, "--announce-byte-gap 60 --version 0x0a --refuse 10");
    ASSERT_EQ(r.go(), TransferOutcome::Done);
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
    ASSERT_TRUE(r.sim.waitForLine("reset", 2000));
    const SimMemory m = r.sim.stop();
    expectImage(m, r.file, false);
    EXPECT_EQ(m.count.at("refusals"), 10);
}

TEST(TamrixTransfer, ShowsEachStepRepeatsRefusedRowsWritesEepromAndConfigurationToo) {
    // A PIC24H refusing two rows, and a dsPIC30F: rows of 32 instructions, no configuration
    // word 7.
    const std::tuple<QString, QString, int, int, int> targets[] = {
        {"--refuse 2", "Found PIC24HJ256GP206 (ID: 0x0071)", 512, 8, 2},
        {"--device-id 0x0040 --process-id 1 --row-size 32 --config-words 7",
         "Found dsPIC30F2010 (ID: 0x0040)", 32, 7, 0}};
    for (const auto& [options, found, rowSize, configWords, refusals] : targets) {
        Rig r(T, options);
        ASSERT_EQ(r.go(), TransferOutcome::Done);
        const auto& st = r.rec.status;
        EXPECT_EQ(st.mid(st.indexOf("Reading Target Device ID"), 5) + st.mid(st.size() - 2),
                  (QStringList{"Reading Target Device ID", found, "Reading Hex File",
                               "Programming Device...", "Programming Device  0% Sent",
                               "Programming Device 100% Sent", "UpLoader End."}));
        EXPECT_EQ(r.rec.titles.mid(0, 1) + r.rec.titles.mid(r.rec.titles.size() - 1),
                  (QStringList{"Sirvex  0% Sent", "Sirvex 2.1.U.O."}));
        const SimMemory m = r.sim.stop();
        expectImage(m, r.file, true, rowSize, configWords);
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
        {T, "--refuse 11", "", O::LostConnection, kLost, kLost, 1500, 0, 1},
        {T, "", unknownType, O::HexFailed, "", "Unknown hex record type", 1500, 0, 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(
            QString("%1 %2 %3").arg(k.policy.image.programName, k.sim, k.shown).toStdString());
        const bool missing = k.file == kMissingFile;
        Rig r(k.policy, k.sim, k.replyMs, missing ? "" : k.file);
        EXPECT_EQ(r.go(missing ? r.file.dir.filePath("missing.hex") : QString()), k.outcome);
        EXPECT_LT(r.clock.elapsed(), std::min(k.replyMs, 1500) + 2500);
        EXPECT_GE(r.clock.elapsed(), k.replyMs < 1500 ? k.replyMs : 0); // silent: waited out
        EXPECT_EQ(r.rec.messages, k.box.isEmpty() ? QStringList{} : QStringList{k.box});
        EXPECT_TRUE(k.shown.isEmpty() || r.c.statusText() == k.shown ||
                    r.c.progressText() == k.shown)
            << r.c.statusText() << " / " << r.c.progressText();
        if (k.policy.userStarts) {
            // Only Detect, and only while no bootloader is on-line; after a lost connection
            // the window listens for the next announcement.
            EXPECT_FALSE(r.c.startEnabled() || r.c.restartEnabled());
            EXPECT_EQ(r.c.detectEnabled(), !r.c.announced());
            if (k.outcome == O::LostConnection && k.rowsWritten == 0) {
                r.sim.powerCycle();
                EXPECT_TRUE(QTest::qWaitFor([&] { return r.c.announced(); }, 3000));
            }
        }
        const SimMemory m = r.sim.stop();
        EXPECT_EQ(m.program.size(), size_t(k.rowsWritten));
        EXPECT_EQ(m.count.at("identifications"), k.identifications);
        EXPECT_EQ(m.count.at("resets"), 0);
    }
}

TEST(UploaderTransfer, ANoisyTargetNeverHangsOrCrashesEitherBuild) {
    for (const TransferPolicy* policy : {&S, &T})
        for (const QString command : {"0x09", "0x11", "0x02", "0x03", "0x03:2"})
            for (const char* seed : {"1", "2"}) {
                if (!policy->readsVersion && command == "0x11") continue;
                const QString options = QString("--garbage-after %1 --seed %2").arg(command, seed);
                SCOPED_TRACE(policy->image.programName + (" " + options).toStdString());
                Rig r(*policy, options, 500);
                r.go();
                EXPECT_LT(r.clock.elapsed(), 15000);
                EXPECT_FALSE(r.c.busy());
                const SimMemory m = r.sim.stop();
                EXPECT_FALSE(m.count.empty()); // the simulator lived to tell
                // Noise is never taken for an acknowledge, so a noisy row is never recorded.
                EXPECT_TRUE(command != "0x03" || m.program.empty());
            }
}

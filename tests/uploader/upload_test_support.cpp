#include "upload_test_support.h"

#include "hex_text.h"
#include "test_env.h"

#include <QFile>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

namespace vorna::uploader::test {

BootloaderSim::BootloaderSim(const QStringList& options)
    : link_(vorna::test::uniqueLink(dir_.path(), "bl")),
      process_("bootloader-sim",
               QStringList{"--link", link_, "--baud", "0", "--memory-out",
                           dir_.filePath("memory.txt"), "--row0", kTargetRow0} +
                   options,
               "ready") {}

void BootloaderSim::powerCycle() {
    process_.forget("announced");
    ::kill(pid_t(process_.pid()), SIGUSR1);
}

std::chrono::steady_clock::time_point BootloaderSim::droppedAt() {
    for (const QString& l : process_.lines())
        if (l.startsWith("dropped "))
            return std::chrono::steady_clock::time_point(
                std::chrono::microseconds(l.mid(8).toLongLong()));
    return {};
}

SimMemory BootloaderSim::stop() {
    process_.stop();
    SimMemory m;
    for (const QByteArray& line : vorna::test::readFile(dir_.filePath("memory.txt")).split('\n')) {
        const QList<QByteArray> p = line.split(' ');
        if (p.size() == 2) m.count[p[0]] = p[1].toInt();
        if (p.size() != 3) continue;
        const QByteArray bytes = QByteArray::fromHex(p[2]);
        if (p[0] == "config")
            m.config.at(p[1].toUInt()) = bytes;
        else
            (p[0] == "program" ? m.program : m.eeprom)[p[1].toUInt(nullptr, 16)] = bytes;
    }
    return m;
}

FirmwareFile::FirmwareFile(const std::string& extraRecord) : path(dir.filePath("firmware.hex")) {
    const std::pair<std::uint32_t, std::uint32_t> blocks[] = {{0, 2048 + 256},
                                                              {5 * 2048, 5 * 2048 + 64},
                                                              {0xFFE000, 0xFFE050},
                                                              {0x1F00000, 0x1F00004},
                                                              {0x1F00008, 0x1F0000C}};
    for (const auto& [from, to] : blocks)
        for (std::uint32_t i = from; i < to; ++i)
            bytes[i] = std::uint8_t(i * 7 + 3);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray::fromStdString(hexFile(bytes, 16, extraRecord)));
}

Recorder::Recorder(UploadController& c) {
    connect(&c, &UploadController::textChanged, this, [this](TextField f, const QString& t) {
        (f == TextField::Status ? status : progress) << t;
    });
    connect(&c, &UploadController::titleChanged, this, [this](const QString& t) { titles << t; });
    connect(&c, &UploadController::messageRequested, this, [this](const QString& t) {
        messages << t;
        messageAt = std::chrono::steady_clock::now();
    });
    connect(&c, &UploadController::transferFinished, this, [this](bool ok) { finished = ok; });
}

TransferRig::TransferRig(const TransferPolicy& p, const QString& simOptions, int replyMs,
                         const std::string& extraRecord)
    : file(extraRecord), sim(simOptions.split(' ', Qt::SkipEmptyParts)), c(p, quickTiming(replyMs)),
      rec(c) {}

TransferOutcome TransferRig::go(const QString& chosenFile) {
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

} // namespace vorna::uploader::test

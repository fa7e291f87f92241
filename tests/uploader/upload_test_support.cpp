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
    std::int64_t base = -1;
    std::vector<std::string> lines;
    // Data records of a byte pattern, with an extended address record where the upper 16 bits
    // change.
    auto add = [&](std::uint32_t from, std::uint32_t to, int size) {
        for (std::uint32_t at = from; at < to; at += std::uint32_t(size)) {
            if (std::int64_t(at >> 16) != base)
                lines.push_back(linearBase(std::uint16_t(base = at >> 16)));
            std::vector<std::uint8_t> data;
            for (std::uint32_t i = at; i < at + std::uint32_t(size); ++i)
                data.push_back(bytes[i] = std::uint8_t(i * 7 + 3));
            lines.push_back(dataRecord(std::uint16_t(at & 0xFFFF), data));
        }
    };
    add(0, 2048 + 256, 16);
    add(5 * 2048, 5 * 2048 + 64, 16);
    add(0xFFE000, 0xFFE050, 16);  // EEPROM at device 0x7FF000: row 0 in full, row 1 in part
    add(0x1F00000, 0x1F00004, 4); // configuration word 0 at device 0xF80000
    add(0x1F00008, 0x1F0000C, 4); // and word 2
    if (!extraRecord.empty()) lines.push_back(extraRecord);
    lines.push_back(endOfFile());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    for (const auto& l : lines)
        f.write(QByteArray::fromStdString(l) + "\r\n");
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

#include "upload_test_support.h"

#include "hex_text.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <atomic>
#include <csignal>

namespace vorna::uploader::test {

namespace {
std::atomic<int> gSimCount{0};
}

BootloaderSim::BootloaderSim(const QStringList& options, int baud) {
    // Each simulator gets a link name of its own: the serial port locks by the device's name.
    link_ = dir_.path() + QStringLiteral("/bl%1-%2")
                              .arg(QCoreApplication::applicationPid())
                              .arg(gSimCount.fetch_add(1));
    memoryPath_ = dir_.path() + QStringLiteral("/memory.txt");
    QStringList args{QStringLiteral("--link"),       link_,
                     QStringLiteral("--baud"),       QString::number(baud),
                     QStringLiteral("--memory-out"), memoryPath_,
                     QStringLiteral("--row0"),       QString::fromLatin1(kTargetRow0)};
    args += options;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(vorna::test::binDir() + QStringLiteral("/bootloader-sim"), args);
    ready_ = process_.waitForStarted(5000) && waitForLine("ready", 5000);
}

BootloaderSim::~BootloaderSim() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
    }
}

bool BootloaderSim::waitForLine(const QByteArray& line, int timeoutMs) {
    return waitUntil(
        [&] {
            seen_ += process_.readAllStandardOutput();
            return seen_.split('\n').contains(line);
        },
        timeoutMs);
}

void BootloaderSim::powerCycle() {
    seen_ += process_.readAllStandardOutput();
    seen_.replace("announced\n", "");
    ::kill(pid_t(process_.processId()), SIGUSR1);
}

SimMemory BootloaderSim::stop() {
    SimMemory m;
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        process_.waitForFinished(3000);
    }
    QFile f(memoryPath_);
    if (!f.open(QIODevice::ReadOnly)) return m;
    m.loaded = true;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "program")
            m.program[parts[1].toUInt(nullptr, 16)] = QByteArray::fromHex(parts[2]);
        else if (parts.size() == 3 && parts[0] == "eeprom")
            m.eeprom[parts[1].toUInt(nullptr, 16)] = QByteArray::fromHex(parts[2]);
        else if (parts.size() == 3 && parts[0] == "config")
            m.config.at(parts[1].toUInt()) = QByteArray::fromHex(parts[2]);
        else if (parts.size() == 2 && parts[0] == "resets")
            m.resets = parts[1].toInt();
        else if (parts.size() == 2 && parts[0] == "refusals")
            m.refusals = parts[1].toInt();
        else if (parts.size() == 2 && parts[0] == "unknown")
            m.unknown = parts[1].toInt();
        else if (parts.size() == 2 && parts[0] == "identifications")
            m.identifications = parts[1].toInt();
    }
    return m;
}

void routePorts(const std::map<int, QString>& devices) {
    for (int n = 1; n <= 99; ++n) {
        const auto it = devices.find(n);
        qputenv(QByteArray("VORNA_COM") + QByteArray::number(n),
                it != devices.end() ? it->second.toLocal8Bit()
                                    : QByteArray("/nonexistent/vorna-test-port"));
    }
}

Firmware makeFirmware(bool withEepromAndConfiguration, int extraProgramBytes) {
    Firmware fw;
    std::int64_t base = -1;
    // One data record at a HEX byte address, with an extended address record when the upper
    // 16 bits change.
    auto add = [&](std::uint32_t at, const std::vector<std::uint8_t>& data) {
        if (std::int64_t(at >> 16) != base) {
            base = at >> 16;
            fw.lines.push_back(linearBase(std::uint16_t(base)));
        }
        fw.lines.push_back(dataRecord(std::uint16_t(at & 0xFFFF), data));
        for (size_t i = 0; i < data.size(); ++i)
            fw.bytes[at + std::uint32_t(i)] = data[i];
    };
    auto pattern = [](std::uint32_t at, int n) {
        std::vector<std::uint8_t> d(size_t(n), 0);
        for (int i = 0; i < n; ++i)
            d[size_t(i)] = std::uint8_t((at + std::uint32_t(i)) * 7 + 3);
        return d;
    };
    // Row 0 in full (its first instructions are a reset vector the target must keep), the
    // start of row 1, one lone row further up and whatever extra is asked for.
    for (std::uint32_t at = 0; at < 2048 + 256; at += 16)
        add(at, pattern(at, 16));
    for (std::uint32_t at = 5 * 2048; at < 5 * 2048 + 64; at += 16)
        add(at, pattern(at, 16));
    const std::uint32_t extraEnd = 6 * 2048 + std::uint32_t(extraProgramBytes);
    for (std::uint32_t at = 6 * 2048; at < extraEnd; at += 32)
        add(at, pattern(at, 32));
    if (withEepromAndConfiguration) {
        // EEPROM at device 0x7FF000 (file 0xFFE000): row 0 in full, row 1 in part.
        for (std::uint32_t at = 0xFFE000; at < 0xFFE040 + 16; at += 16)
            add(at, pattern(at, 16));
        // Configuration words 0 and 2 at device 0xF80000 (file 0x1F00000).
        add(0x1F00000, {0x12, 0x34, 0x00, 0x00});
        add(0x1F00008, {0x56, 0x78, 0x00, 0x00});
    }
    fw.lines.push_back(endOfFile());
    return fw;
}

bool writeFile(const QString& path, const std::vector<std::string>& lines) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    for (const auto& l : lines)
        f.write(QByteArray::fromStdString(l) + "\r\n");
    return true;
}

static std::uint8_t byteAt(const FileBytes& file, std::uint32_t at) {
    const auto it = file.find(at);
    return it == file.end() ? 0xFF : it->second;
}

QByteArray expectedProgramRow(const FileBytes& file, std::uint32_t rowAddress, int rowSize) {
    QByteArray row;
    for (int i = 0; i < rowSize; ++i) {
        const std::uint32_t at = rowAddress * 2 + std::uint32_t(i) * 4;
        for (std::uint32_t k = 0; k < 3; ++k)
            row += char(byteAt(file, at + k));
    }
    return row;
}

QByteArray expectedEepromRow(const FileBytes& file, std::uint32_t rowAddress) {
    QByteArray row;
    for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t at = rowAddress * 2 + i * 4;
        row += char(byteAt(file, at));
        row += char(byteAt(file, at + 1));
    }
    return row;
}

QByteArray expectedConfigurationWord(const FileBytes& file, int n) {
    const std::uint32_t at = 0x1F00000 + std::uint32_t(n) * 4;
    const bool empty = file.find(at) == file.end();
    QByteArray w(1, char(empty ? 1 : 0));
    w += char(byteAt(file, at));
    w += char(byteAt(file, at + 1));
    return w;
}

TransferTiming quickTiming(int replyTimeoutMs) {
    TransferTiming t;
    t.replyTimeout = std::chrono::milliseconds(replyTimeoutMs);
    t.commandPause = std::chrono::milliseconds(10);
    return t;
}

Recorder::Recorder(UploadController& controller) {
    connect(&controller, &UploadController::textChanged, this,
            [this](TextField field, const QString& text) {
                (field == TextField::Status ? status : progress) << text;
            });
    connect(&controller, &UploadController::titleChanged, this,
            [this](const QString& t) { titles << t; });
    connect(&controller, &UploadController::messageRequested, this,
            [this](const QString& t, MessageIcon) { messages << t; });
    connect(&controller, &UploadController::barChanged, this, [this](int value, int maximum) {
        barValue = value;
        barMaximum = maximum;
        if (onBar) onBar(value, maximum);
    });
    connect(&controller, &UploadController::transferFinished, this,
            [this](bool ok) { finished = ok; });
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

} // namespace vorna::uploader::test

#pragma once

#include "transfer_policy.h"
#include "upload_controller.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorna::uploader::test {

// What bootloader-sim recorded as programmed.
struct SimMemory {
    bool loaded = false;
    std::map<std::uint32_t, QByteArray> program;
    std::map<std::uint32_t, QByteArray> eeprom;
    std::array<std::optional<QByteArray>, 8> config;
    int resets = 0;
    int refusals = 0;
    int unknown = 0;
    int identifications = 0;
};

// bootloader-sim running on its own pseudo-terminal (unpaced unless a baud rate is given).
class BootloaderSim {
public:
    explicit BootloaderSim(const QStringList& options = {}, int baud = 0);
    ~BootloaderSim();
    BootloaderSim(const BootloaderSim&) = delete;
    BootloaderSim& operator=(const BootloaderSim&) = delete;

    bool ready() const { return ready_; }
    QString link() const { return link_; }
    // Waits for a line the simulator prints ("announced", "reset", "dropped").
    bool waitForLine(const QByteArray& line, int timeoutMs);
    // Power cycle: the bootloader announces itself again.
    void powerCycle();
    // Ends the simulator and reads what it recorded.
    SimMemory stop();

private:
    QTemporaryDir dir_;
    QProcess process_;
    QString link_;
    QString memoryPath_;
    QByteArray seen_;
    bool ready_ = false;
};

// Points port n at the device given for it and every other port number nowhere, so the port
// list holds exactly these.
void routePorts(const std::map<int, QString>& devices);

// A firmware file's content, by HEX byte address.
using FileBytes = std::map<std::uint32_t, std::uint8_t>;

struct Firmware {
    FileBytes bytes;
    std::vector<std::string> lines; // the HEX records, end-of-file record last
};

// Program data (a full row 0 whose reset vector differs from any target's, part of row 1 and
// a lone row further up), and, when asked, EEPROM rows 0 and 1 and configuration words 0 and 2.
Firmware makeFirmware(bool withEepromAndConfiguration, int extraProgramBytes = 0);
bool writeFile(const QString& path, const std::vector<std::string>& lines);

// The row the bootloader should receive, worked out from the file's bytes: program rows take
// the first three bytes of each 4-byte group, the earlier build's EEPROM rows the first two.
QByteArray expectedProgramRow(const FileBytes& file, std::uint32_t rowAddress, int rowSize);
QByteArray expectedEepromRow(const FileBytes& file, std::uint32_t rowAddress);
// Empty flag and two bytes of configuration word n.
QByteArray expectedConfigurationWord(const FileBytes& file, int n);

// The target's first program row as the simulator is told to give it, and the six bytes the
// uploader must write back in place of the file's reset instructions.
inline constexpr const char* kTargetRow0 = "a1b2c3d4e5f6";
inline const QByteArray kPreservedResetBytes = QByteArray::fromHex("c3b2a1f6e5d4");

// Timing for tests: quick replies expected, short pauses.
TransferTiming quickTiming(int replyTimeoutMs = 1500);

// Collects what a controller shows.
class Recorder : public QObject {
    Q_OBJECT
public:
    explicit Recorder(UploadController& controller);
    QStringList status;
    QStringList progress;
    QStringList titles;
    QStringList messages;
    int barMaximum = 0;
    int barValue = 0;
    std::optional<bool> finished;
    // Called on every bar change (to look at a window half-way through a transfer).
    std::function<void(int value, int maximum)> onBar;
};

// Processes events until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

} // namespace vorna::uploader::test

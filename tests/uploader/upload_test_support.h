#pragma once

#include "link_env.h"
#include "transfer_policy.h"
#include "upload_controller.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <array>
#include <chrono>
#include <map>
#include <optional>
#include <string>

namespace vorna::uploader::test {

using vorna::test::routePorts;

// What bootloader-sim recorded as programmed; count["resets"], ["refusals"], ["unknown"],
// ["identifications"].
struct SimMemory {
    std::map<std::uint32_t, QByteArray> program, eeprom;
    std::array<std::optional<QByteArray>, 8> config;
    std::map<QByteArray, int> count;
};

// bootloader-sim running on its own pseudo-terminal (at the link), unpaced.
class BootloaderSim {
public:
    explicit BootloaderSim(const QStringList& options = {});
    bool ready() const { return process_.ready(); }
    QString link() const { return link_; }
    // Waits for the simulator's word that the target restarted (its memory file on disk).
    bool restarted() { return process_.waitForLine("reset", 10000); }
    // When the simulator dropped the line (the clock's epoch when it did not).
    std::chrono::steady_clock::time_point droppedAt();
    // Power cycle: the bootloader announces itself again.
    void powerCycle();
    SimMemory stop();

private:
    QTemporaryDir dir_;
    QString link_;
    vorna::test::SimProcess process_;
};

// A firmware file: a full row 0 whose reset vector differs from any target's, part of row 1,
// a lone row further up, EEPROM rows 0-1, configuration words 0 and 2, and the extra record.
struct FirmwareFile {
    explicit FirmwareFile(const std::string& extraRecord = {});
    QTemporaryDir dir;
    QString path;
    std::map<std::uint32_t, std::uint8_t> bytes; // by HEX byte address
};

// The target's first program row as the simulator gives it, and the six bytes the uploader
// must write back in place of the file's reset instructions.
inline constexpr const char* kTargetRow0 = "a1b2c3d4e5f6";
inline const QByteArray kPreservedResetBytes = QByteArray::fromHex("c3b2a1f6e5d4");

inline const QString kWaiting = "Connection Lost - Reset the instrument"; // Sirvex's idle status

inline TransferTiming quickTiming(int replyTimeoutMs = 1500) {
    return {.replyTimeout = std::chrono::milliseconds(replyTimeoutMs),
            .commandPause = std::chrono::milliseconds(10)};
}

class Recorder : public QObject {
    Q_OBJECT
public:
    explicit Recorder(UploadController& controller);
    QStringList status, progress, titles, messages;
    std::chrono::steady_clock::time_point messageAt; // of the latest message
    std::optional<bool> finished;
};

// One build's controller on a simulator, with a firmware file.
struct TransferRig {
    explicit TransferRig(const TransferPolicy& p, const QString& simOptions = {},
                         int replyMs = 1500, const std::string& extraRecord = {});
    // Runs the build's transfer: Start once the announcement is recognised, or the one go the
    // announcement starts by itself.
    TransferOutcome go(const QString& chosenFile = {});
    FirmwareFile file;
    BootloaderSim sim;
    UploadController c;
    Recorder rec;
    QElapsedTimer clock;
};

} // namespace vorna::uploader::test

#pragma once

#include "byte_link.h"
#include "device_table.h"
#include "transfer_observer.h"
#include "transfer_policy.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace vorna::uploader {

class FirmwareImage;
class ImageRow;

enum class TransferOutcome {
    Done,
    LostConnection,       // no (acceptable) answer in time, or the line failed
    IdentificationFailed, // the attempts ran out without the required device
    NoFamily,             // the target is not in the device table
    HexFailed,            // the firmware file could not be read; nothing was written
    VerifyFailed,         // a row read back differs from what was written; no restart
};

// Bootloader commands and the acknowledge byte.
namespace command {
inline constexpr char kReadProgram = 0x02;
inline constexpr char kWriteProgram = 0x03;
inline constexpr char kWriteEeprom = 0x05;
inline constexpr char kWriteConfiguration = 0x07;
inline constexpr char kReset = 0x08;
inline constexpr char kReadIdentity = 0x09;
inline constexpr char kReadVersion = 0x11;
inline constexpr char kAcknowledge = 0x01;
} // namespace command

// The exchange with the bootloader on an open line, for either build: identification,
// version, the firmware rows and the reset. Shows its progress through the observer.
class BootloaderSession {
public:
    BootloaderSession(ByteLink& port, const TransferPolicy& policy, const TransferTiming& timing,
                      TransferObserver& observer);

    struct Identity {
        TransferOutcome outcome = TransferOutcome::IdentificationFailed;
        int family = 0;
        DeviceLookup lookup;
    };
    // Identifies the target with the build's attempts; 'announced' is the announcement check.
    Identity identify(bool announced);

    // The bootloader version byte, or nothing when the target does not answer.
    std::optional<std::uint8_t> readVersion();

    // Reads the HEX file for the family, preserves the target's reset words, writes every row
    // the build sends, with 'verify' reads every written program row back and compares it,
    // and, in the build that does so, restarts the target once all is well.
    TransferOutcome writeFirmware(const QString& hexPath, int family, bool verify = false);

    // Sends the reset that starts the firmware, then gives the target its pause.
    bool reset();

    // The bytes that carry one row, or empty when the build does not send it.
    QByteArray rowFrame(const ImageRow& row, int family) const;

    // The text of what ended the last failed step (the box or field that showed it).
    QString failureText() const { return failure_; }

private:
    bool send(const QByteArray& bytes);
    QByteArray receive(qsizetype n);
    void commandStep();
    // Sends a row and waits for its acknowledgement; refused rows are resent a bounded number
    // of times.
    bool sendRow(const QByteArray& frame);
    bool readResetWords(FirmwareImage& image);
    // Reads every listed program row back; Done, VerifyFailed or LostConnection.
    TransferOutcome verifyRows(const FirmwareImage& image, const std::vector<int>& written);
    void showProgressText(const QString& text);
    TransferOutcome failed(TransferOutcome outcome, const QString& text, MessageIcon icon);
    TransferOutcome lostConnection();

    ByteLink& port_;
    const TransferPolicy& policy_;
    TransferTiming timing_;
    TransferObserver& observer_;
    QString failure_;
};

} // namespace vorna::uploader

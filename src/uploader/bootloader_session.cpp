#include "bootloader_session.h"

#include "firmware_image.h"
#include "hex_reader.h"

#include <algorithm>
#include <array>

namespace vorna::uploader {

namespace {

QByteArray address24(std::uint32_t address) {
    QByteArray b(3, Qt::Uninitialized);
    b[0] = char(address & 0xFF);
    b[1] = char((address >> 8) & 0xFF);
    b[2] = char((address >> 16) & 0xFF);
    return b;
}

QString fromLatin1(const char* text) {
    return QString::fromLatin1(text);
}

} // namespace

BootloaderSession::BootloaderSession(ByteLink& port, const TransferPolicy& policy,
                                     const TransferTiming& timing, TransferObserver& observer)
    : port_(port), policy_(policy), timing_(timing), observer_(observer) {}

bool BootloaderSession::send(const QByteArray& bytes) {
    return port_.write(bytes, timing_.replyTimeout);
}

QByteArray BootloaderSession::receive(qsizetype n) {
    return port_.read(n, timing_.replyTimeout);
}

void BootloaderSession::commandStep() {
    if (policy_.commandSteps) observer_.stepBar();
}

void BootloaderSession::showProgressText(const QString& text) {
    observer_.showText(policy_.progressField, text);
}

BootloaderSession::Identity BootloaderSession::identify(bool announced) {
    Identity id;
    if (policy_.commandSteps) observer_.setBarRange(2);
    if (*policy_.statusTurnOn && policy_.userStarts)
        observer_.showText(TextField::Status, fromLatin1(policy_.statusTurnOn));
    if (*policy_.statusOnLine)
        observer_.showText(TextField::Status, fromLatin1(policy_.statusOnLine));
    if (*policy_.statusIdentifying)
        observer_.showText(TextField::Status, fromLatin1(policy_.statusIdentifying));

    bool answered = false;
    for (int attempt = 0; attempt < policy_.identifyAttempts; ++attempt) {
        if (attempt > 0) port_.pause(timing_.commandPause);
        const bool sent = send(QByteArray(1, command::kReadIdentity));
        if (sent) commandStep();
        const QByteArray reply = sent ? receive(8) : QByteArray();
        commandStep();
        answered = reply.size() == 8;
        if (answered) {
            IdentityReply bytes{};
            std::copy(reply.begin(), reply.end(), bytes.begin());
            id.lookup = lookupDevice(bytes, policy_.image);
            id.family = id.lookup.family;
            const bool wanted = policy_.requiredFamily < 0 ? id.lookup.found()
                                                           : id.family == policy_.requiredFamily;
            if (announced && wanted) {
                id.outcome = TransferOutcome::Done;
                if (!id.lookup.message.isEmpty())
                    observer_.showText(TextField::Status, id.lookup.message);
                return id;
            }
        }
        port_.purge();
    }

    if (*policy_.procedureFailedBox) {
        id.outcome = failed(TransferOutcome::IdentificationFailed,
                            fromLatin1(policy_.procedureFailedBox), MessageIcon::Error);
    } else if (!answered) {
        id.outcome = lostConnection();
    } else {
        observer_.showText(TextField::Status, id.lookup.message);
        id.outcome = failed(TransferOutcome::NoFamily, id.lookup.message, MessageIcon::Exclamation);
    }
    return id;
}

std::optional<std::uint8_t> BootloaderSession::readVersion() {
    port_.pause(timing_.commandPause);
    if (!send(QByteArray(1, command::kReadVersion))) return std::nullopt;
    const QByteArray reply = receive(2);
    if (reply.isEmpty()) return std::nullopt;
    return std::uint8_t(reply[0]);
}

bool BootloaderSession::readResetWords(FirmwareImage& image) {
    const QByteArray request = QByteArray(1, command::kReadProgram) + address24(0);
    if (!send(request)) return false;
    commandStep();
    if (*policy_.readingTargetText) showProgressText(fromLatin1(policy_.readingTargetText));
    port_.pause(policy_.firstRowPause);
    const qsizetype wanted = qsizetype(image.programRowSize()) * 3;
    const QByteArray row = receive(wanted);
    commandStep();
    // Without the target's own reset instructions row 0 would be written with whatever the
    // line delivered, and the instrument might never start again: stop instead.
    if (row.size() < wanted) return false;
    std::array<std::uint8_t, 6> first{};
    for (size_t i = 0; i < first.size(); ++i)
        first[i] = std::uint8_t(row[qsizetype(i)]);
    image.preserveResetWords(first);
    return true;
}

QByteArray BootloaderSession::rowFrame(const ImageRow& row, int family) const {
    switch (row.kind()) {
    case RowKind::Program:
        if (row.empty()) return {};
        return QByteArray(1, command::kWriteProgram) + address24(row.address()) + row.bytes();
    case RowKind::Eeprom:
        if (!policy_.sendsEepromAndConfiguration || row.empty()) return {};
        return QByteArray(1, command::kWriteEeprom) + address24(row.address()) + row.bytes();
    case RowKind::Configuration: {
        if (!policy_.sendsEepromAndConfiguration) return {};
        // dsPIC30F parts have seven configuration words.
        if (family == kDsPic30F && row.rowNumber() == 7) return {};
        // Empty rows go too: their flag tells the bootloader to leave the word alone.
        QByteArray frame;
        if (row.rowNumber() == 0) frame += command::kWriteConfiguration;
        frame += char(row.empty() ? 1 : 0);
        frame += row.bytesOrErased().left(2);
        return frame;
    }
    }
    return {};
}

bool BootloaderSession::sendRow(const QByteArray& frame) {
    for (int attempt = 0; attempt <= timing_.maxRowRetries; ++attempt) {
        if (!send(frame)) return false;
        const QByteArray reply = receive(1);
        if (reply.isEmpty()) return false;
        if (reply[0] == command::kAcknowledge) return true;
    }
    return false; // a target that refuses a row for ever is as good as lost
}

TransferOutcome BootloaderSession::failed(TransferOutcome outcome, const QString& text,
                                          MessageIcon icon) {
    failure_ = text;
    observer_.message(text, icon);
    return outcome;
}

TransferOutcome BootloaderSession::lostConnection() {
    return failed(TransferOutcome::LostConnection, fromLatin1(policy_.connectionLostBox),
                  MessageIcon::Exclamation);
}

TransferOutcome BootloaderSession::writeFirmware(const QString& hexPath, int family, bool verify) {
    showProgressText(fromLatin1(policy_.image.hexReadingText));
    FirmwareImage image(family);
    HexReadCallbacks callbacks;
    callbacks.lineRange = [this](int lines) { observer_.setBarRange(lines); };
    callbacks.lineDone = [this](int) { observer_.stepBar(); };
    callbacks.notice = [this](const QString& text) { showProgressText(text); };
    const HexReadResult hex = readHexFile(hexPath, image, policy_.image, callbacks);
    if (!hex.ok()) {
        if (hex.failure == HexFailure::CannotOpen)
            return failed(TransferOutcome::HexFailed, hex.error, MessageIcon::Error);
        failure_ = hex.error;
        showProgressText(hex.error);
        return TransferOutcome::HexFailed;
    }

    if (!readResetWords(image)) return lostConnection();
    image.formatRows(policy_.image);

    if (*policy_.programmingText) showProgressText(fromLatin1(policy_.programmingText));
    observer_.setBarRange(FirmwareImage::kRowCount);
    if (policy_.progressField == TextField::Progress) showProgressText(QString());
    TransferOutcome outcome = TransferOutcome::Done;
    std::vector<int> writtenProgramRows;
    for (int k = 0; k < FirmwareImage::kRowCount; ++k) {
        const double percent = k * 100.0 / FirmwareImage::kRowCount;
        showProgressText(QString::asprintf(policy_.rowProgressFormat, percent));
        observer_.stepBar();
        observer_.showTitle(QString::asprintf(policy_.titleProgressFormat, percent));
        observer_.repaint();
        const QByteArray frame = rowFrame(image.row(k), family);
        if (frame.isEmpty()) continue;
        if (!sendRow(frame)) {
            outcome = lostConnection();
            break;
        }
        if (image.row(k).kind() == RowKind::Program) writtenProgramRows.push_back(k);
        // The pause separates rows on the line; a row that was not sent needs none.
        if (policy_.rowPause.count() > 0) port_.pause(policy_.rowPause);
    }

    // Checked before the restart: a target whose memory differs must not start that firmware.
    const bool verified = outcome == TransferOutcome::Done && verify;
    if (verified) outcome = verifyRows(image, writtenProgramRows);
    const bool ok = outcome == TransferOutcome::Done;
    if (ok && policy_.resetsAfterWriting) reset();
    if (policy_.progressField == TextField::Progress) observer_.resetBar();
    observer_.showTitle(fromLatin1(policy_.caption));
    // The verify result stays in view in place of the idle caption.
    if (*policy_.progressIdle && !verified) showProgressText(fromLatin1(policy_.progressIdle));
    if (ok && *policy_.finishedStatus)
        observer_.showText(TextField::Status, fromLatin1(policy_.finishedStatus));
    return outcome;
}

TransferOutcome BootloaderSession::verifyRows(const FirmwareImage& image,
                                              const std::vector<int>& written) {
    showProgressText(fromLatin1(policy_.verifyingText));
    observer_.setBarRange(int(written.size()));
    for (const int k : written) {
        const ImageRow& row = image.row(k);
        observer_.repaint();
        const QByteArray expected = row.bytes();
        if (!send(QByteArray(1, command::kReadProgram) + address24(row.address())))
            return lostConnection();
        const QByteArray got = receive(expected.size());
        if (got.size() < expected.size()) return lostConnection();
        const auto [wrong, _] = std::mismatch(expected.begin(), expected.end(), got.begin());
        if (wrong != expected.end()) {
            const auto instruction = std::uint32_t(wrong - expected.begin()) / 3;
            const QString text = QString::asprintf(policy_.verifyFailedFormat,
                                                   unsigned(row.address() + 2 * instruction));
            showProgressText(text);
            return failed(TransferOutcome::VerifyFailed, text, MessageIcon::Error);
        }
        observer_.stepBar();
    }
    showProgressText(QString::asprintf(policy_.verifiedFormat, int(written.size())));
    return TransferOutcome::Done;
}

bool BootloaderSession::reset() {
    const bool sent = send(QByteArray(1, command::kReset));
    port_.pause(timing_.commandPause);
    return sent;
}

} // namespace vorna::uploader

#include "session_run.h"

#include "hex_text.h"

#include <QFile>
#include <QTemporaryDir>

namespace vorna::fuzz {

using namespace uploader;

namespace {

class SilentObserver : public TransferObserver {
public:
    void showText(TextField, const QString&) override {}
    void showTitle(const QString&) override {}
    void setBarRange(int) override {}
    void stepBar() override {}
    void resetBar() override {}
    void message(const QString&, MessageIcon) override {}
};

struct Firmware {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("firmware.hex"));
    std::map<std::uint32_t, std::uint8_t> bytes;

    Firmware() {
        std::string text;
        std::uint16_t upper = 0;
        const auto record = [&](std::uint32_t at, int count) {
            if (at >> 16 != upper) text += test::linearBase(upper = std::uint16_t(at >> 16)) + '\n';
            std::vector<std::uint8_t> data;
            for (int i = 0; i < count; ++i)
                data.push_back(bytes[at + unsigned(i)] = std::uint8_t(0x11 * i + at));
            text += test::dataRecord(std::uint16_t(at), data) + '\n';
        };
        record(0x000000, 32); // program row 0, reset vector included
        record(0x000800, 16); // program row 1 (row 16 where rows hold 32 instructions)
        record(0xFFE000, 8);  // EEPROM row 0
        record(0x1F00000, 4); // configuration word 0
        record(0x1F00008, 4); // configuration word 2
        text += test::endOfFile() + '\n';
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(text.data(), qint64(text.size()));
    }
};

const Firmware& firmware() {
    static const Firmware f;
    return f;
}

} // namespace

SessionSetup SessionSetup::from(std::uint8_t flags) {
    return {bool(flags & 1), bool(flags & 2), !(flags & 4), bool(flags & 8), flags >> 4};
}

std::uint8_t SessionSetup::flags() const {
    return std::uint8_t((tamrix ? 1 : 0) | (verify ? 2 : 0) | (announced ? 0 : 4) |
                        (faultyRead ? 8 : 0) | faultAt << 4);
}

const TransferPolicy& SessionSetup::policy() const {
    return tamrix ? tamrixTransfer() : sirvexTransfer();
}

const QString& firmwarePath() {
    return firmware().path;
}

const std::map<std::uint32_t, std::uint8_t>& firmwareBytes() {
    return firmware().bytes;
}

SessionResult runSession(ByteLink& link, const SessionSetup& setup) {
    SilentObserver observer;
    const TransferPolicy& policy = setup.policy();
    BootloaderSession session(link, policy, TransferTiming{}, observer);
    SessionResult result;
    result.identity = session.identify(setup.announced);
    if (result.identity.outcome != TransferOutcome::Done) return result;
    if (policy.readsVersion) session.readVersion();
    result.written = session.writeFirmware(firmwarePath(), result.identity.family, setup.verify);
    return result;
}

} // namespace vorna::fuzz

// The uploaders' session against whatever the bootloader answers.
#include "bootloader_session.h"
#include "device_table.h"
#include "fuzz_target.h"
#include "hex_text.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <vector>

using namespace vorna::fuzz;
using namespace vorna::uploader;

namespace {

// How a session runs, from the first byte of the input; the rest is what the bootloader sends.
// The faultAt-th write fails (the line breaks), or with faultyRead the faultAt-th read comes
// short (half the reply is lost, the line goes on); 0: none.
struct SessionSetup {
    explicit SessionSetup(std::uint8_t flags)
        : tamrix(flags & 1), verify(flags & 2), announced(!(flags & 4)), faultyRead(flags & 8),
          faultAt(flags >> 4) {}
    bool tamrix, verify, announced, faultyRead;
    int faultAt;
    const TransferPolicy& policy() const { return tamrix ? tamrixTransfer() : sirvexTransfer(); }
};

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

    Firmware() {
        // Program rows 0 (reset vector included) and 1 (row 16 where rows hold 32
        // instructions), EEPROM row 0, configuration words 0 and 2.
        const std::pair<std::uint32_t, int> blocks[] = {
            {0, 32}, {0x800, 16}, {0xFFE000, 8}, {0x1F00000, 4}, {0x1F00008, 4}};
        std::map<std::uint32_t, std::uint8_t> bytes;
        for (const auto& [at, count] : blocks)
            for (int i = 0; i < count; ++i)
                bytes[at + std::uint32_t(i)] = std::uint8_t(0x11 * i + int(at));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray::fromStdString(test::hexFile(bytes, 32)));
    }
};

// The line as the input gives it: writes are taken, reads take the next bytes of the input,
// fewer once it runs out, as a silent target times out. The chosen write fails; the chosen read
// gets half of what it asked.
class StreamLink : public ByteLink {
public:
    struct Step {
        QByteArray bytes;
        bool read = false;
        qsizetype asked = 0;
        bool failed = false;
    };

    explicit StreamLink(Input input, const SessionSetup& setup)
        : in_(input), failingWrite_(setup.faultyRead ? 0 : setup.faultAt),
          shortRead_(setup.faultyRead ? setup.faultAt : 0) {}

    void purge() override { step(); }
    bool write(const QByteArray& bytes, Milliseconds) override {
        step();
        log.push_back({bytes, false, 0, ++writes_ == failingWrite_});
        return !log.back().failed;
    }
    QByteArray read(qsizetype n, Milliseconds) override {
        step();
        const qsizetype wanted = ++reads_ == shortRead_ ? n / 2 : n;
        const auto take = std::min<std::size_t>(std::size_t(wanted), in_.size() - at_);
        log.push_back({QByteArray(reinterpret_cast<const char*>(in_.data() + at_), qsizetype(take)),
                       true, n});
        at_ += take;
        return log.back().bytes;
    }
    void pause(Milliseconds) override { step(); }

    std::vector<Step> log;

private:
    // Every call waits out at least a slice on a real line: a session that keeps calling
    // without end would never finish there either.
    void step() { FUZZ_CHECK(++calls_ < 20000, "the session does not end"); }

    Input in_;
    std::size_t at_ = 0;
    int failingWrite_, shortRead_;
    int writes_ = 0, reads_ = 0;
    int calls_ = 0;
};

std::uint32_t address24(const QByteArray& b) {
    return std::uint8_t(b[1]) | std::uint8_t(b[2]) << 8 | std::uint32_t(std::uint8_t(b[3])) << 16;
}

void checkIdentity(const SessionSetup& setup, const BootloaderSession::Identity& identity,
                   const std::vector<StreamLink::Step>& log) {
    const TransferPolicy& policy = setup.policy();
    std::vector<QByteArray> replies; // the answers to each identity request
    for (std::size_t i = 0; i + 1 < log.size(); ++i)
        if (!log[i].read && log[i].bytes == QByteArray(1, command::kReadIdentity) &&
            log[i + 1].read)
            replies.push_back(log[i + 1].bytes);
    FUZZ_CHECK(int(replies.size()) <= policy.identifyAttempts, "identity asked too often");
    if (identity.outcome != TransferOutcome::Done) {
        const bool lineBroke =
            std::any_of(log.begin(), log.end(), [](const auto& s) { return s.failed; });
        if (*policy.procedureFailedBox && !lineBroke)
            FUZZ_CHECK(int(replies.size()) == policy.identifyAttempts, "attempts given up early");
        return;
    }
    FUZZ_CHECK(!replies.empty() && replies.back().size() == 8, "identified without a reply");
    IdentityReply reply; // looked up by the table's own tested lookup
    std::copy_n(replies.back().begin(), 8, reply.begin());
    const DeviceLookup hit = lookupDevice(reply, policy.image);
    FUZZ_CHECK(hit.found() && hit.family == identity.family,
               "identified a device not in the table");
    if (policy.requiredFamily >= 0) {
        FUZZ_CHECK(setup.announced, "identified without the announcement");
        FUZZ_CHECK(hit.family == policy.requiredFamily, "identified a device of another family");
    }
}

qsizetype rowBytes(int family) {
    return (family == kDsPic30F ? 32 : 512) * 3;
}

// Where row 0 was asked for (the target's own reset instructions); log.size() when it was not.
std::size_t rowZeroRequest(const std::vector<StreamLink::Step>& log) {
    const QByteArray readRow0 = QByteArray(1, command::kReadProgram) + QByteArray(3, '\0');
    std::size_t i = 0;
    while (i < log.size() && log[i].bytes != readRow0)
        ++i;
    return i;
}

// Without the target's reset instructions nothing may be written: a short read of row 0 ends
// the write before any row goes out.
void checkRowZeroRead(const std::vector<StreamLink::Step>& log, int family) {
    const std::size_t i = rowZeroRequest(log);
    if (i + 1 >= log.size() || log[i + 1].bytes.size() == rowBytes(family)) return;
    for (std::size_t k = i + 2; k < log.size(); ++k)
        FUZZ_CHECK(log[k].read || log[k].bytes[0] != command::kWriteProgram,
                   "written after a short row 0");
}

// What a successful write must have sent: each row until acknowledged, row 0 with the
// target's own reset instructions, and, when asked, a read-back equal to what was written.
// (Which rows each build sends, and the restart after them, are the transfer tests'.)
void checkWritten(bool verify, int family, const std::vector<StreamLink::Step>& log) {
    const std::size_t i = rowZeroRequest(log);
    FUZZ_CHECK(i + 1 < log.size() && log[i + 1].read, "row 0 not read");
    const QByteArray row0 = log[i + 1].bytes;

    std::map<std::uint32_t, QByteArray> programRows;
    for (std::size_t k = i + 2; k + 1 < log.size(); ++k) {
        const StreamLink::Step& s = log[k];
        if (s.read || s.bytes.size() < 2 || !log[k + 1].read || log[k + 1].asked != 1) continue;
        const QByteArray& ack = log[k + 1].bytes;
        FUZZ_CHECK(ack.size() == 1, "a row went unanswered");
        if (ack[0] != command::kAcknowledge)
            FUZZ_CHECK(k + 2 < log.size() && log[k + 2].bytes == s.bytes, "refused row not resent");
        if (s.bytes[0] == command::kWriteProgram) programRows[address24(s.bytes)] = s.bytes.mid(4);
    }
    FUZZ_CHECK(programRows.count(0), "row 0 not written");
    const QByteArray& sent0 = programRows[0];
    FUZZ_CHECK(sent0.size() == rowBytes(family), "row 0 of the wrong size");
    // Words r2r1, r0 00, r5r4, r3 00 give the instructions r2 r1 r0 and r5 r4 r3.
    const char reset[] = {row0[2], row0[1], row0[0], row0[5], row0[4], row0[3]};
    FUZZ_CHECK(sent0.left(6) == QByteArray(reset, 6), "row 0 without the target's reset words");

    for (std::size_t k = i + 2; verify && k + 1 < log.size(); ++k) {
        const QByteArray& s = log[k].bytes;
        if (log[k].read || s.size() != 4 || s[0] != command::kReadProgram) continue;
        const auto it = programRows.find(address24(s));
        FUZZ_CHECK(it != programRows.end(), "read back a row not written");
        FUZZ_CHECK(log[k + 1].bytes == it->second, "verified a row that differs");
    }
}

} // namespace

VORNA_FUZZ_TARGET(bootloader_session) {
    if (data.empty()) return;
    const SessionSetup setup(data[0]);
    StreamLink link(data.subspan(1), setup);
    SilentObserver observer;
    BootloaderSession session(link, setup.policy(), TransferTiming{}, observer);
    const auto identity = session.identify(setup.announced);
    checkIdentity(setup, identity, link.log);
    if (identity.outcome != TransferOutcome::Done) return;
    if (setup.policy().readsVersion) session.readVersion();
    static const Firmware firmware;
    const auto written = session.writeFirmware(firmware.path, identity.family, setup.verify);
    checkRowZeroRead(link.log, identity.family);
    if (written == TransferOutcome::Done) checkWritten(setup.verify, identity.family, link.log);
    if (written == TransferOutcome::VerifyFailed) FUZZ_CHECK(setup.verify, "verify not asked");
    if (written != TransferOutcome::LostConnection) return;
    bool broken = false; // a failed write, a short read, or a row refused too often
    int refusals = 0;
    for (std::size_t k = 0; k < link.log.size(); ++k) {
        const StreamLink::Step& s = link.log[k];
        broken |= s.failed || (s.read && s.bytes.size() < s.asked);
        if (k + 1 < link.log.size() && !s.read && link.log[k + 1].read &&
            link.log[k + 1].asked == 1)
            refusals =
                link.log[k + 1].bytes == QByteArray(1, command::kAcknowledge) ? 0 : refusals + 1;
    }
    FUZZ_CHECK(broken || refusals > TransferTiming{}.maxRowRetries, "lost without a cause");
}

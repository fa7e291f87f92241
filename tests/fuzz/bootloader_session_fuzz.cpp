// The uploaders' session against whatever the bootloader answers: identification, version,
// the rows and their acknowledgements, the read-back.
#include "device_table.h"
#include "fuzz_target.h"
#include "session_run.h"

#include <algorithm>
#include <vector>

using namespace vorna::fuzz;
using namespace vorna::uploader;

namespace {

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

// The family of the first table entry with the reply's device and process IDs, or none.
std::optional<int> tableFamily(const QByteArray& reply, const BuildPolicy& policy) {
    const int id = std::uint8_t(reply[0]) | std::uint8_t(reply[1]) << 8;
    const int process = std::uint8_t(reply[5]) >> 4;
    for (const DeviceTableEntry& e : deviceTable(policy))
        if (e.deviceId == id && e.processId == process) return e.family;
    return std::nullopt;
}

void checkIdentity(const SessionSetup& setup, const SessionResult& r,
                   const std::vector<StreamLink::Step>& log) {
    const TransferPolicy& policy = setup.policy();
    std::vector<QByteArray> replies; // the answers to each identity request
    for (std::size_t i = 0; i + 1 < log.size(); ++i)
        if (!log[i].read && log[i].bytes == QByteArray(1, command::kReadIdentity) &&
            log[i + 1].read)
            replies.push_back(log[i + 1].bytes);
    FUZZ_CHECK(int(replies.size()) <= policy.identifyAttempts, "identity asked too often");
    if (r.identity.outcome != TransferOutcome::Done) {
        const bool lineBroke =
            std::any_of(log.begin(), log.end(), [](const auto& s) { return s.failed; });
        if (*policy.procedureFailedBox && !lineBroke)
            FUZZ_CHECK(int(replies.size()) == policy.identifyAttempts, "attempts given up early");
        return;
    }
    FUZZ_CHECK(!replies.empty() && replies.back().size() == 8, "identified without a reply");
    const auto family = tableFamily(replies.back(), policy.image);
    FUZZ_CHECK(family && *family == r.identity.family, "identified a device not in the table");
    if (policy.requiredFamily >= 0) {
        FUZZ_CHECK(setup.announced, "identified without the announcement");
        FUZZ_CHECK(*family == policy.requiredFamily, "identified a device of another family");
    }
}

// Without the target's own reset instructions nothing may be written: a short read of row 0
// ends the write before any row goes out.
void checkRowZeroRead(const std::vector<StreamLink::Step>& log, qsizetype rowBytes) {
    const QByteArray readRow0 = QByteArray(1, command::kReadProgram) + QByteArray(3, '\0');
    const auto request = std::find_if(log.begin(), log.end(),
                                      [&](const auto& s) { return s.bytes == readRow0; });
    if (request == log.end() || request + 1 == log.end()) return;
    if (request[1].bytes.size() == rowBytes) return;
    for (auto s = request + 2; s != log.end(); ++s)
        FUZZ_CHECK(s->read || s->bytes[0] != command::kWriteProgram, "written after a short row 0");
}

// What a successful write must have sent: each row until acknowledged, row 0 with the
// target's own reset instructions, the rows the build sends, the read-back equal.
void checkWritten(const SessionSetup& setup, const SessionResult& r,
                  const std::vector<StreamLink::Step>& log) {
    const TransferPolicy& policy = setup.policy();
    const qsizetype rowBytes = (r.identity.family == kDsPic30F ? 32 : 512) * 3;
    const QByteArray readRow0 = QByteArray(1, command::kReadProgram) + QByteArray(3, '\0');
    std::size_t i = 0;
    while (i < log.size() && log[i].bytes != readRow0)
        ++i;
    FUZZ_CHECK(i + 1 < log.size() && log[i + 1].read, "row 0 not read");
    const QByteArray row0 = log[i + 1].bytes;
    FUZZ_CHECK(row0.size() == rowBytes, "written after a short read of row 0");

    std::map<std::uint32_t, QByteArray> programRows;
    bool otherRows = false, lastWasReset = false;
    for (std::size_t k = i + 2; k < log.size(); ++k) {
        const StreamLink::Step& s = log[k];
        if (s.read) continue;
        lastWasReset = s.bytes == QByteArray(1, command::kReset);
        const bool row =
            s.bytes.size() > 1 && k + 1 < log.size() && log[k + 1].read && log[k + 1].asked == 1;
        if (!row) continue;
        const QByteArray& ack = log[k + 1].bytes;
        FUZZ_CHECK(ack.size() == 1, "a row went unanswered");
        if (ack[0] != command::kAcknowledge)
            FUZZ_CHECK(k + 2 < log.size() && log[k + 2].bytes == s.bytes, "refused row not resent");
        if (s.bytes[0] == command::kWriteProgram)
            programRows[address24(s.bytes)] = s.bytes.mid(4);
        else
            otherRows = true;
    }
    FUZZ_CHECK(programRows.count(0), "row 0 not written");
    const QByteArray& sent0 = programRows[0];
    FUZZ_CHECK(sent0.size() == rowBytes, "row 0 of the wrong size");
    // Words r2r1, r0 00, r5r4, r3 00 give the instructions r2 r1 r0 and r5 r4 r3.
    const char reset[] = {row0[2], row0[1], row0[0], row0[5], row0[4], row0[3]};
    FUZZ_CHECK(sent0.left(6) == QByteArray(reset, 6), "row 0 without the target's reset words");
    const auto& file = firmwareBytes();
    for (qsizetype b = 6; b < 24; ++b) { // instructions 2 to 7 come from the file
        const std::uint32_t at = std::uint32_t(b / 3 * 4 + b % 3);
        FUZZ_CHECK(sent0[b] == char(file.count(at) ? file.at(at) : 0xFF), "row 0 byte from file");
    }
    FUZZ_CHECK(otherRows == policy.sendsEepromAndConfiguration, "EEPROM or configuration rows");
    FUZZ_CHECK(lastWasReset == policy.resetsAfterWriting, "restart after writing");

    if (!setup.verify) return;
    for (std::size_t k = i + 2; k + 1 < log.size(); ++k) {
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
    const SessionSetup setup = SessionSetup::from(data[0]);
    StreamLink link(data.subspan(1), setup);
    const SessionResult r = runSession(link, setup);
    checkIdentity(setup, r, link.log);
    if (r.written)
        checkRowZeroRead(link.log, (r.identity.family == kDsPic30F ? 32 : 512) * 3);
    if (r.written == TransferOutcome::Done) checkWritten(setup, r, link.log);
    if (r.written == TransferOutcome::LostConnection) {
        bool broken = false; // a failed write, a short read, or a row refused too often
        for (const auto& s : link.log)
            broken |= s.failed || (s.read && s.bytes.size() < s.asked);
        int refusals = 0;
        for (std::size_t k = 0; k + 1 < link.log.size(); ++k)
            if (!link.log[k].read && link.log[k + 1].read && link.log[k + 1].asked == 1)
                refusals = link.log[k + 1].bytes == QByteArray(1, command::kAcknowledge)
                               ? 0
                               : refusals + 1;
        FUZZ_CHECK(broken || refusals > TransferTiming{}.maxRowRetries, "lost without a cause");
    }
    if (r.written == TransferOutcome::VerifyFailed) FUZZ_CHECK(setup.verify, "verify not asked");
}

#include "link.h"

#include "app_context.h"
#include "error_trap.h"
#include "latin1.h"
#include "logs.h"
#include "relay.h"

#include <QCoreApplication>
#include <algorithm>
#include <thread>

namespace vorna {

namespace {

using Clock = std::chrono::steady_clock;
const QChar kTab = QLatin1Char('\t');
const QChar kCr = QLatin1Char('\r');

void advanceActivity(AppContext& ctx) {
    int& a = ctx.link.activity;
    if (a + 1 > ctx.indicators->activityMaximum()) a = 0;
    ctx.indicators->setActivity(++a);
}

void resetActivity(AppContext& ctx) {
    ctx.link.activity = 0;
    ctx.indicators->setActivity(0);
}

// False, with the reason for the log, when the port's link is marked down.
bool linkUpFor(const Link& l, const SerialPort& port, TrapScope& scope) {
    if ((l.isBasePort(port) && !l.baseLinkUp()) || (l.isRemotePort(port) && !l.remoteLinkUp()))
        return scope.fail(QStringLiteral("Link down"));
    return true;
}

// Traffic-log line and, unless the text carries a relay word, the event row of one line.
void logLine(AppContext& ctx, const QString& what, const SerialPort& port, const QString& text) {
    const QString line = what + QString::number(port.portNumber()) + kTab + text;
    if (ctx.link.trafficLogEnabled) append_traffic_log(ctx, line);
    if (!isComandoRemoto(text)) record_event(ctx, line, kEventSerialLine);
}

// A command never follows a relayed remote reading by less than one second.
void waitAfterRelay(const Link& l) {
    if (!l.lastRelayTime) return;
    const std::chrono::duration<double> since = Clock::now() - *l.lastRelayTime;
    ritardo(1.0 - since.count());
}

// Discards what arrives on the port until it has been quiet for a moment (at most a second,
// so a chatty line cannot hold the exchange).
void dropUntilQuiet(SerialPort& port) {
    using std::chrono::milliseconds;
    const auto start = Clock::now();
    auto lastInput = start;
    while (Clock::now() - lastInput < milliseconds(100) &&
           Clock::now() - start < milliseconds(1000)) {
        port.waitForInput(Link::kPollSliceMs);
        if (!port.takeAll().isEmpty()) lastInput = Clock::now();
    }
}

// An earlier exchange was cut short by re-entry: bring the instrument back to a line boundary
// and drop whatever it still sends.
void resynchronise(AppContext& ctx) {
    Link& l = ctx.link;
    if (l.readPending(Unit::Base)) {
        const QString time = QStringLiteral("TIME?\r");
        write_on_com(ctx, time, l.serialeBase);
        write_on_com(ctx, time, l.serialeBase);
        QString scratch;
        // One line read leaves the second TIME? answer (and the interrupted exchange's reply)
        // on its way: the flush alone would miss it and the next reply would be a time.
        if (read_from_com(ctx, scratch, l.serialeBase)) dropUntilQuiet(l.serialeBase);
    }
    svuota_buffer_com_base(ctx);
}

} // namespace

Link::Link(std::chrono::milliseconds timeout) : readTimeout(timeout) {}

void Link::setLinkUp(Unit u, bool up) {
    bool& flag = u == Unit::Base ? baseLinkUp_ : remoteLinkUp_;
    if (flag == up) return;
    flag = up;
    emit linkStateChanged();
}

void Link::markDown(const SerialPort& port) {
    setLinkUp(isBasePort(port) ? Unit::Base : Unit::Remote, false);
}

void Link::resetForStart() {
    exchangeBusy_ = baseReadPending_ = remoteReadPending_ = writePending_ = false;
    setLinkUp(Unit::Base, false);
    setLinkUp(Unit::Remote, false);
    baseRxBuffer.clear();
    remoteRxBuffer.clear();
    remoteReplyText.clear();
}

bool trasmette(AppContext& ctx, const QString& callerWindow) {
    Link& l = ctx.link;
    return guard(ctx, QStringLiteral("trasmette"), [&](TrapScope& s) {
        s.falseIsFailure = true;
        s.details = [&] { return callerWindow; };
        s.cleanup = [&] {
            tolerant([&] {
                chiudi_com_base(ctx);
                chiudi_com_remota(ctx);
                ctx.indicators->showConnected(false);
                ctx.indicators->setBusy(false);
                resetActivity(ctx);
            });
            l.exchangeBusy_ = false;
        };
        s.step(1);
        if (!l.baseLinkUp()) return false;
        s.step(2);
        l.exchangeBusy_ = true;
        s.step(3);
        chiudi_com_remota(ctx);
        s.step(4);
        tolerant([&] { waitAfterRelay(l); });
        s.step(5);
        if (l.baseReadPending_ || l.writePending_ || l.remoteReadPending_) {
            tolerant([&] { resynchronise(ctx); });
            l.baseReadPending_ = l.remoteReadPending_ = false;
        }
        s.step(6);
        // A line that came before the command cannot be its reply: a late reply to the last
        // command (or a stray line) read here would put every later exchange out of step.
        tolerant([&] { l.serialeBase.open(); });
        svuota_buffer_com_base(ctx);
        if (!write_on_com(ctx, l.commandText, l.serialeBase)) return false;
        s.step(7);
        if (!read_from_com(ctx, l.replyText, l.serialeBase)) return false;
        s.step(8);
        apri_seriali(ctx);
        svuota_buffer_com_base(ctx);
        svuota_buffer_com_remoto(ctx);
        l.exchangeBusy_ = false;
        return true;
    });
}

bool trasmette(AppContext& ctx, const QString& callerWindow, const QString& command) {
    ctx.link.commandText = command;
    return trasmette(ctx, callerWindow);
}

bool write_on_com(AppContext& ctx, const QString& command, SerialPort& port) {
    Link& l = ctx.link;
    return guard(ctx, QStringLiteral("write_on_com"), [&](TrapScope& s) {
        s.falseIsFailure = true;
        s.details = [&] { return command + kTab + QString::number(port.portNumber()); };
        s.cleanup = [&] {
            tolerant([&] {
                port.close();
                ctx.indicators->setBusy(false);
                resetActivity(ctx);
            });
            l.writePending_ = false;
            // A port that cannot be written is as lost as one that does not answer: it stays
            // marked down until it is reconnected, as the lights already show.
            l.markDown(port);
        };
        s.step(1);
        if (!linkUpFor(l, port, s)) return false;
        s.step(2);
        l.writePending_ = true;
        ctx.indicators->setBusy(true);
        s.step(3);
        const QByteArray line = toLatin1Safe(command + kCr);
        s.step(4);
        port.open();
        s.step(5);
        // One character at a time, as the activity bar counts them.
        for (char c : line) {
            port.write(QByteArray(1, c));
            advanceActivity(ctx);
        }
        port.waitWritten(int(l.readTimeout.count()));
        s.step(6);
        ctx.indicators->setBusy(false);
        resetActivity(ctx);
        s.step(7);
        logLine(ctx, QStringLiteral("W on "), port, command);
        l.writePending_ = false;
        return true;
    });
}

bool read_from_com(AppContext& ctx, QString& reply, SerialPort& port) {
    Link& l = ctx.link;
    const bool base = l.isBasePort(port);
    QString& buffer = base ? l.baseRxBuffer : l.remoteRxBuffer;
    bool& pending = base ? l.baseReadPending_ : l.remoteReadPending_;
    QString failedReply;
    return guard(ctx, QStringLiteral("read_from_com"), [&](TrapScope& s) {
        s.falseIsFailure = true;
        s.details = [&] {
            return failedReply + kTab + l.commandText + kTab + QString::number(port.portNumber()) +
                   kTab + (base ? QStringLiteral("True") : QStringLiteral("False"));
        };
        s.cleanup = [&] {
            tolerant([&] { abbandona(ctx); });
            pending = false;
            l.markDown(port);
            // The failing port's own partial text is what explains the failure.
            const QString pendingText = buffer;
            tolerant([&] { logLine(ctx, QStringLiteral("R ERROR on "), port, pendingText); });
            // A partial line left behind would be glued to the first reply after reconnecting.
            failedReply = reply;
            buffer.clear();
            reply.clear();
        };
        s.step(1);
        if (!linkUpFor(l, port, s)) return false;
        s.step(2);
        pending = true;
        ctx.indicators->setBusy(true);
        resetActivity(ctx);
        s.step(3);
        const auto start = Clock::now();
        s.step(4);
        port.open();
        s.step(5);
        for (;;) {
            QCoreApplication::processEvents();
            buffer += port.takeAll();
            advanceActivity(ctx);
            const auto elapsed = Clock::now() - start;
            if (elapsed > l.readTimeout) return s.fail(QStringLiteral("Time-out"));
            s.step(6);
            // Inside an exchange wait for a whole line; outside one (a receive event) return
            // at once when nothing came, and wait only to complete a partial line.
            const bool hasCr = buffer.contains(kCr);
            const bool keepPolling = l.exchangeBusy_ ? !hasCr : (!buffer.isEmpty() && !hasCr);
            if (!keepPolling) break;
            s.step(5);
            // Block on the port rather than spin; wake in short slices to pump events.
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(l.readTimeout - elapsed);
            port.waitForInput(int(std::clamp<qint64>(left.count() + 1, 1, Link::kPollSliceMs)));
        }
        s.step(7);
        const qsizetype cr = buffer.indexOf(kCr);
        if (cr < 0) {
            reply = buffer;
            buffer.clear();
        } else {
            reply = buffer.left(cr);
            buffer.remove(0, cr + 1);
        }
        ctx.indicators->setBusy(false);
        resetActivity(ctx);
        pending = false;
        logLine(ctx, QStringLiteral("R on "), port, reply);
        return true;
    });
}

void abbandona(AppContext& ctx) {
    guard(ctx, QStringLiteral("abbandona"), [&] {
        ctx.link.replyText.clear();
        ctx.indicators->showStatusLabel();
        ctx.indicators->showConnected(false);
        resetActivity(ctx);
        ctx.indicators->setBusy(false);
        return true;
    });
}

void ritardo(double seconds) {
    // Not a number, zero or negative: no wait. A day caps nonsense values.
    if (!(seconds > 0)) return;
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(std::min(seconds, 86400.0)));
    while (Clock::now() < end)
        std::this_thread::sleep_until(end);
}

void apri_seriali(AppContext& ctx) {
    guard(ctx, QStringLiteral("apri_seriali"), [&] {
        Link& l = ctx.link;
        if (!l.serialeBase.isOpen()) l.serialeBase.open();
        if (l.remoteLinkUp() && !l.serialeRemoto.isOpen()) l.serialeRemoto.open();
        return true;
    });
}

void chiudi_com_base(AppContext& ctx) {
    guard(ctx, QStringLiteral("chiudi_com_base"), [&] {
        ctx.link.serialeBase.close();
        return true;
    });
}

void chiudi_com_remota(AppContext& ctx) {
    guard(ctx, QStringLiteral("chiudi_com_remota"), [&] {
        ctx.link.serialeRemoto.close();
        return true;
    });
}

namespace {

void flush(AppContext& ctx, const char* name, bool linkUp, QString& buffer, SerialPort& port) {
    guard(ctx, QString::fromLatin1(name), [&] {
        if (!linkUp) return true;
        buffer.clear();
        port.takeAll();
        port.clearReceiveQueue();
        return true;
    });
}

} // namespace

void svuota_buffer_com_base(AppContext& ctx) {
    Link& l = ctx.link;
    flush(ctx, "svuota_buffer_com_base", l.baseLinkUp(), l.baseRxBuffer, l.serialeBase);
}

void svuota_buffer_com_remoto(AppContext& ctx) {
    Link& l = ctx.link;
    flush(ctx, "svuota_buffer_com_remoto", l.remoteLinkUp(), l.remoteRxBuffer, l.serialeRemoto);
}

} // namespace vorna

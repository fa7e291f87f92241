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

} // namespace

Link::Link(std::chrono::milliseconds timeout) : readTimeout(timeout) {}

namespace {

// Why a step failed, for the error log.
struct Failure {
    int number = 0;
    QString description;
};

// Runs body; an exception becomes a Failure and a false result.
template <typename F> bool attempt(Failure& f, F&& body) {
    try {
        return body();
    } catch (const RunError& e) {
        f = {e.number(), e.description()};
    } catch (const std::exception& e) {
        f = {err::kGeneric, QString::fromLocal8Bit(e.what())};
    }
    return false;
}

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
bool linkUpFor(const Link& l, const SerialPort& port, Failure& why) {
    if ((l.isBasePort(port) && !l.baseLinkUp) || (l.isRemotePort(port) && !l.remoteLinkUp)) {
        why.description = QStringLiteral("Link down");
        return false;
    }
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
    if (!(l.baseReadPending || l.writePending || l.remoteReadPending)) return;
    if (l.baseReadPending) {
        const QString time = QStringLiteral("TIME?\r");
        write_on_com(ctx, time, l.serialeBase);
        write_on_com(ctx, time, l.serialeBase);
        QString scratch;
        // One line read leaves the second TIME? answer (and the interrupted exchange's reply)
        // on its way: the flush alone would miss it and the next reply would be a time.
        if (read_from_com(ctx, scratch, l.serialeBase)) dropUntilQuiet(l.serialeBase);
    }
    l.baseReadPending = false;
    l.remoteReadPending = false;
    svuota_buffer_com_base(ctx);
}

// Statements whose errors the exchange ignores.
template <typename F> void tolerant(F&& f) {
    try {
        f();
    } catch (const std::exception&) {
    }
}

} // namespace

bool trasmette(AppContext& ctx, const QString& callerWindow) {
    Link& l = ctx.link;
    int step = 1;
    Failure why;
    const bool ok = attempt(why, [&] {
        if (!l.baseLinkUp) return false;
        step = 2;
        l.exchangeBusy = true;
        step = 3;
        chiudi_com_remota(ctx);
        step = 4;
        tolerant([&] { waitAfterRelay(l); });
        step = 5;
        tolerant([&] { resynchronise(ctx); });
        step = 6;
        if (!write_on_com(ctx, l.commandText, l.serialeBase)) return false;
        step = 7;
        if (!read_from_com(ctx, l.replyText, l.serialeBase)) return false;
        step = 8;
        apri_seriali(ctx);
        svuota_buffer_com_base(ctx);
        svuota_buffer_com_remoto(ctx);
        l.exchangeBusy = false;
        return true;
    });
    if (ok) return true;

    tolerant([&] {
        chiudi_com_base(ctx);
        chiudi_com_remota(ctx);
        ctx.indicators->showConnected(false);
        ctx.indicators->setBusy(false);
        resetActivity(ctx);
    });
    l.exchangeBusy = false;
    print_error(ctx, QStringLiteral("trasmette"), QString::number(step) + kTab + callerWindow,
                why.number, why.description);
    return false;
}

bool write_on_com(AppContext& ctx, const QString& command, SerialPort& port) {
    Link& l = ctx.link;
    int step = 1;
    Failure why;
    const bool ok = attempt(why, [&] {
        if (!linkUpFor(l, port, why)) return false;
        step = 2;
        l.writePending = true;
        ctx.indicators->setBusy(true);
        step = 3;
        const QByteArray line = toLatin1Safe(command + kCr);
        step = 4;
        port.open();
        step = 5;
        // One character at a time, as the activity bar counts them.
        for (char c : line) {
            port.write(QByteArray(1, c));
            advanceActivity(ctx);
        }
        port.waitWritten(int(l.readTimeout.count()));
        step = 6;
        ctx.indicators->setBusy(false);
        resetActivity(ctx);
        step = 7;
        logLine(ctx, QStringLiteral("W on "), port, command);
        l.writePending = false;
        return true;
    });
    if (ok) return true;

    tolerant([&] {
        port.close();
        ctx.indicators->setBusy(false);
        resetActivity(ctx);
    });
    l.writePending = false;
    // A port that cannot be written is as lost as one that does not answer: it stays marked
    // down until it is reconnected, as the lights already show.
    (l.isBasePort(port) ? l.baseLinkUp : l.remoteLinkUp) = false;
    print_error(ctx, QStringLiteral("write_on_com"),
                QString::number(step) + kTab + command + kTab + QString::number(port.portNumber()),
                why.number, why.description);
    return false;
}

bool read_from_com(AppContext& ctx, QString& reply, SerialPort& port) {
    Link& l = ctx.link;
    const bool base = l.isBasePort(port);
    QString& buffer = base ? l.baseRxBuffer : l.remoteRxBuffer;
    bool& pending = base ? l.baseReadPending : l.remoteReadPending;
    int step = 1;
    Failure why;
    const bool ok = attempt(why, [&] {
        if (!linkUpFor(l, port, why)) return false;
        step = 2;
        pending = true;
        ctx.indicators->setBusy(true);
        resetActivity(ctx);
        step = 3;
        const auto start = Clock::now();
        step = 4;
        port.open();
        step = 5;
        for (;;) {
            QCoreApplication::processEvents();
            buffer += port.takeAll();
            advanceActivity(ctx);
            const auto elapsed = Clock::now() - start;
            if (elapsed > l.readTimeout) {
                why.description = QStringLiteral("Time-out");
                return false;
            }
            step = 6;
            // Inside an exchange wait for a whole line; outside one (a receive event) return
            // at once when nothing came, and wait only to complete a partial line.
            const bool hasCr = buffer.contains(kCr);
            const bool keepPolling = l.exchangeBusy ? !hasCr : (!buffer.isEmpty() && !hasCr);
            if (!keepPolling) break;
            step = 5;
            // Block on the port rather than spin; wake in short slices to pump events.
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(l.readTimeout - elapsed);
            port.waitForInput(int(std::clamp<qint64>(left.count() + 1, 1, Link::kPollSliceMs)));
        }
        step = 7;
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
    if (ok) return true;

    tolerant([&] { abbandona(ctx); });
    pending = false;
    (base ? l.baseLinkUp : l.remoteLinkUp) = false;
    // The failing port's own partial text is what explains the failure.
    const QString pendingText = buffer;
    tolerant([&] { logLine(ctx, QStringLiteral("R ERROR on "), port, pendingText); });
    print_error(ctx, QStringLiteral("read_from_com"),
                QString::number(step) + kTab + reply + kTab + l.commandText + kTab +
                    QString::number(port.portNumber()) + kTab +
                    (base ? QStringLiteral("True") : QStringLiteral("False")),
                why.number, why.description);
    // A partial line left behind would be glued to the first reply after reconnecting.
    buffer.clear();
    reply.clear();
    return false;
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
        if (l.remoteLinkUp && !l.serialeRemoto.isOpen()) l.serialeRemoto.open();
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
    flush(ctx, "svuota_buffer_com_base", l.baseLinkUp, l.baseRxBuffer, l.serialeBase);
}

void svuota_buffer_com_remoto(AppContext& ctx) {
    Link& l = ctx.link;
    flush(ctx, "svuota_buffer_com_remoto", l.remoteLinkUp, l.remoteRxBuffer, l.serialeRemoto);
}

} // namespace vorna

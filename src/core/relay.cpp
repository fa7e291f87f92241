#include "relay.h"

#include "app_context.h"
#include "error_trap.h"
#include "link.h"

#include <QObject>

namespace vorna {

namespace {

// Instrument to remote unit, in the order they are tested; whole: the full line is sent,
// otherwise the key word alone.
struct Outgoing {
    const char* word;
    bool whole;
};
constexpr Outgoing kToRemote[] = {
    {"TOFF", true},     {"STARTREMOTO", false}, {"ENDREMOTO", false}, {"STOPREMOTO", false},
    {"ENAUART", false}, {"ENAECO", false},      {"TON", true},        {"PYSENS", true},
};
// Remote unit to instrument: new sensor readings, always sent whole.
constexpr const char* kToInstrument[] = {"AMBIENTNEW", "REFNEW", "PIRANEW", "CELLNEW"};

constexpr const char* kRelayWords[] = {"STARTREMOTO", "TOFF",    "ENDREMOTO", "STOPREMOTO",
                                       "ENAUART",     "ENAECO",  "TON",       "AMBIENTNEW",
                                       "REFNEW",      "PIRANEW", "CELLNEW"};

bool contains(const QString& text, const char* word) {
    return text.contains(QLatin1String(word), Qt::CaseSensitive);
}

// Reads and relays every complete line the port has; a partial line waits for its next event.
template <typename Read>
bool drainLines(AppContext& ctx, const QString& buffer, bool& pending, Read&& readAndRelay) {
    const Link& l = ctx.link;
    do {
        if (!readAndRelay()) return false;
    } while (!l.exchangeBusy && !pending && buffer.contains(QLatin1Char('\r')));
    return true;
}

} // namespace

bool isComandoRemoto(const QString& text) {
    for (const char* w : kRelayWords)
        if (contains(text, w)) return true;
    return false;
}

void extract_cmd(AppContext& ctx, const QString& line, SerialPort& target) {
    guard(ctx, QStringLiteral("extract_cmd"), [&] {
        Link& l = ctx.link;
        if (l.isRemotePort(target) && l.remoteLinkUp) {
            for (const Outgoing& o : kToRemote) {
                if (!contains(line, o.word)) continue;
                l.commandText = o.whole ? line : QString::fromLatin1(o.word);
                write_on_com(ctx, l.commandText, target);
            }
        }
        if (l.isBasePort(target) && l.baseLinkUp) {
            for (const char* w : kToInstrument) {
                if (!contains(line, w)) continue;
                l.commandText = line;
                write_on_com(ctx, l.commandText, target);
                l.lastRelayTime = std::chrono::steady_clock::now();
            }
        }
        return true;
    });
}

void serialeBase_OnComm(AppContext& ctx, int code) {
    guard(ctx, QStringLiteral("serialeBase_OnComm"), [&](TrapScope& s) {
        Link& l = ctx.link;
        s.step(1);
        if (l.exchangeBusy || l.baseReadPending) return true;
        s.step(2);
        if (code != SerialPort::kEventReceive) return true;
        s.step(3);
        return drainLines(ctx, l.baseRxBuffer, l.baseReadPending, [&] {
            if (!read_from_com(ctx, l.replyText, l.serialeBase)) {
                print_error(ctx, QStringLiteral("serialeBase_OnComm"), QStringLiteral("3"));
                return false;
            }
            extract_cmd(ctx, l.replyText, l.serialeRemoto);
            return true;
        });
    });
}

void serialeRemoto_OnComm(AppContext& ctx, int code) {
    guard(ctx, QStringLiteral("serialeRemoto_OnComm"), [&](TrapScope& s) {
        Link& l = ctx.link;
        s.step(1);
        if (l.exchangeBusy || l.remoteReadPending) return true;
        s.step(2);
        if (code != SerialPort::kEventReceive) return true;
        s.step(4);
        return drainLines(ctx, l.remoteRxBuffer, l.remoteReadPending, [&] {
            // A failed read leaves an empty line, which relays nothing.
            const bool ok = read_from_com(ctx, l.remoteReplyText, l.serialeRemoto);
            extract_cmd(ctx, l.remoteReplyText, l.serialeBase);
            return ok;
        });
    });
}

void connectReceiveEvents(AppContext& ctx, QObject* context) {
    QObject::connect(&ctx.link.serialeBase, &SerialPort::comm, context,
                     [&ctx](int code) { serialeBase_OnComm(ctx, code); });
    QObject::connect(&ctx.link.serialeRemoto, &SerialPort::comm, context,
                     [&ctx](int code) { serialeRemoto_OnComm(ctx, code); });
}

} // namespace vorna

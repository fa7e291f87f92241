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

} // namespace

bool isComandoRemoto(const QString& text) {
    for (const char* w : kRelayWords)
        if (contains(text, w)) return true;
    return false;
}

void extract_cmd(AppContext& ctx, const QString& line, SerialPort& target) {
    guard(ctx, QStringLiteral("extract_cmd"), [&] {
        Link& l = ctx.link;
        if (l.isRemotePort(target) && l.remoteLinkUp()) {
            for (const Outgoing& o : kToRemote) {
                if (!contains(line, o.word)) continue;
                l.commandText = o.whole ? line : QString::fromLatin1(o.word);
                write_on_com(ctx, l.commandText, target);
            }
        }
        if (l.isBasePort(target) && l.baseLinkUp()) {
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

namespace {

// One receive event of either port: every complete line is read and relayed to the other port;
// a partial line waits for its next event. The instrument's side logs a failed read and stops;
// the remote unit's relays the empty line it leaves, which sends nothing.
void onComm(AppContext& ctx, Unit unit, int code) {
    const bool base = unit == Unit::Base;
    const QString routine =
        base ? QStringLiteral("serialeBase_OnComm") : QStringLiteral("serialeRemoto_OnComm");
    guard(ctx, routine, [&](TrapScope& s) {
        Link& l = ctx.link;
        SerialPort& port = l.port(unit);
        SerialPort& other = l.port(base ? Unit::Remote : Unit::Base);
        QString& reply = base ? l.replyText : l.remoteReplyText;
        const QString& buffer = base ? l.baseRxBuffer : l.remoteRxBuffer;
        s.step(1);
        if (l.exchangeBusy() || l.readPending(unit)) return true;
        s.step(2);
        if (code != SerialPort::kEventReceive) return true;
        s.step(base ? 3 : 4);
        do {
            const bool ok = read_from_com(ctx, reply, port);
            if (!ok && base) {
                print_error(ctx, routine, QStringLiteral("3"));
                return false;
            }
            extract_cmd(ctx, reply, other);
            if (!ok) return false;
        } while (!l.exchangeBusy() && !l.readPending(unit) && buffer.contains(QLatin1Char('\r')));
        return true;
    });
}

} // namespace

void serialeBase_OnComm(AppContext& ctx, int code) {
    onComm(ctx, Unit::Base, code);
}

void serialeRemoto_OnComm(AppContext& ctx, int code) {
    onComm(ctx, Unit::Remote, code);
}

void connectReceiveEvents(AppContext& ctx, QObject* context) {
    QObject::connect(&ctx.link.serialeBase, &SerialPort::comm, context,
                     [&ctx](int code) { serialeBase_OnComm(ctx, code); });
    QObject::connect(&ctx.link.serialeRemoto, &SerialPort::comm, context,
                     [&ctx](int code) { serialeRemoto_OnComm(ctx, code); });
}

} // namespace vorna

// bootloader-sim: plays the instrument's serial bootloader on a pseudo-terminal so the uploaders
// can be run, tested and measured without hardware.

#include "bootloader_model.h"
#include "line_pacer.h"
#include "pseudo_terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <termios.h>
#include <thread>

using namespace vorna::sim;
using Clock = std::chrono::steady_clock;

namespace {

volatile std::sig_atomic_t gStop = 0;
volatile std::sig_atomic_t gPowerCycle = 0;

void onStop(int) {
    gStop = 1;
}
void onPowerCycle(int) {
    gPowerCycle = 1;
}

void installSignals() {
    struct sigaction sa {};
    sa.sa_handler = onStop;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sa.sa_handler = onPowerCycle;
    sigaction(SIGUSR1, &sa, nullptr);
}

// "\t\t\r\r" style escapes: \t \r \n \\ \xHH.
QByteArray unescape(const QString& text) {
    const QByteArray in = text.toLatin1();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 >= in.size()) {
            out += in[i];
            continue;
        }
        const char c = in[++i];
        if (c == 't')
            out += '\t';
        else if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 'x' && i + 2 < in.size()) {
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

bool parseNumber(const QString& text, uint& value) {
    bool ok = false;
    value = text.toUInt(&ok, 0);
    return ok;
}

// "CMD" or "CMD:N" with CMD a byte (0x03) and N the occurrence.
bool parseTrigger(const QString& text, FaultTrigger& t) {
    if (text.isEmpty()) return true;
    const QStringList parts = text.split(':');
    uint command = 0, occurrence = 1;
    if (!parseNumber(parts[0], command) || command > 0xFF) return false;
    if (parts.size() > 1 && (!parseNumber(parts[1], occurrence) || occurrence == 0)) return false;
    t.command = int(command);
    t.occurrence = int(occurrence);
    return true;
}

// A speed no client uses: while the tty shows it, no client has configured the line since the
// simulator last waited for one.
constexpr speed_t kIdleSpeed = B50;

void markIdle(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfsetispeed(&t, kIdleSpeed);
    cfsetospeed(&t, kIdleSpeed);
    tcsetattr(fd, TCSANOW, &t);
}

bool clientConfigured(int fd) {
    termios t{};
    return tcgetattr(fd, &t) == 0 && cfgetospeed(&t) != kIdleSpeed;
}

void say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bootloader-sim"));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Plays the instrument's serial bootloader on a pseudo-terminal. It announces itself once "
        "a client has configured the line (and again on SIGUSR1), answers identification, "
        "version, reads of program memory at any address and row writes, and writes what was "
        "programmed to --memory-out on "
        "reset, on SIGTERM/SIGINT and when the line is dropped (printing \"dropped\" and the "
        "steady clock in microseconds)."));
    p.addHelpOption();
    auto opt = [&](const char* name, const char* help, const char* value = nullptr,
                   const char* def = nullptr) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(help));
        if (value) o.setValueName(QString::fromLatin1(value));
        if (def) o.setDefaultValue(QString::fromLatin1(def));
        p.addOption(o);
    };
    opt("link", "Path of the symbolic link to the device side (required).", "path");
    opt("baud", "Line speed to pace both directions at; 0 = unpaced.", "baud", "38400");
    opt("announce", "Announcement text with \\t \\r \\n \\xHH escapes.", "text", "\\t\\t\\r\\r");
    opt("announce-delay", "Pause between the client configuring the line and the announcement.",
        "ms", "50");
    opt("announce-byte-gap", "Pause between the announcement's characters.", "ms", "0");
    opt("reannounce", "Announce again to the next client after a reset (0x08).");
    opt("device-id", "Device ID answered to 0x09.", "id", "0x0071");
    opt("process-id", "Process ID (4 bits) answered to 0x09.", "n", "3");
    opt("version", "Bootloader version byte answered to 0x11.", "byte", "0x12");
    opt("row-size", "Instructions per program row (32 for dsPIC30F).", "n", "512");
    opt("config-words", "Configuration words taken after 0x07 (7 for dsPIC30F).", "n", "8");
    opt("row0", "Hex bytes of the first program row as read by 0x02 (rest 0xFF).", "hex",
        "040200000000");
    opt("refuse", "Answer the first N writes with the refusal byte.", "n", "0");
    opt("refuse-byte", "The refusal byte.", "byte", "0x00");
    opt("silent-after", "Stop answering from command CMD (its N-th time) on.", "CMD[:N]");
    opt("drop-after", "Drop the line on command CMD (its N-th time).", "CMD[:N]");
    opt("garbage-after", "Answer noise from command CMD (its N-th time) on.", "CMD[:N]");
    opt("seed", "Seed of the noise.", "n", "1");
    opt("corrupt-at",
        "Store the instruction at this device address wrong whenever its row is written, so a "
        "read-back finds it.",
        "address");
    opt("memory-out", "File that receives the programmed memory.", "file");
    p.process(app);

    auto fail = [](const QString& why) {
        std::fprintf(stderr, "bootloader-sim: %s\n", qPrintable(why));
        return 2;
    };
    if (!p.isSet(QStringLiteral("link"))) return fail(QStringLiteral("--link is required"));

    BootloaderConfig cfg;
    uint baud = 0, delay = 0, byteGap = 0, id = 0, pid = 0, ver = 0, rowSize = 0, words = 0,
         refuse = 0, refuseByte = 0, seed = 0;
    const bool numbersOk =
        parseNumber(p.value("baud"), baud) && parseNumber(p.value("announce-delay"), delay) &&
        parseNumber(p.value("announce-byte-gap"), byteGap) &&
        parseNumber(p.value("device-id"), id) && id <= 0xFFFF &&
        parseNumber(p.value("process-id"), pid) && pid <= 0xF &&
        parseNumber(p.value("version"), ver) && ver <= 0xFF &&
        parseNumber(p.value("row-size"), rowSize) && rowSize > 0 && rowSize <= 1024 &&
        parseNumber(p.value("config-words"), words) && words >= 1 && words <= 8 &&
        parseNumber(p.value("refuse"), refuse) && parseNumber(p.value("refuse-byte"), refuseByte) &&
        refuseByte <= 0xFF && parseNumber(p.value("seed"), seed);
    if (!numbersOk) return fail(QStringLiteral("a numeric option is out of range"));
    if (p.isSet("corrupt-at")) {
        uint at = 0;
        if (!parseNumber(p.value("corrupt-at"), at) || at > 0xFFFFFF)
            return fail(QStringLiteral("--corrupt-at takes a device address"));
        cfg.corruptAt = at;
    }
    cfg.deviceId = quint16(id);
    cfg.processId = int(pid);
    cfg.version = quint8(ver);
    cfg.rowSize = int(rowSize);
    cfg.configWords = int(words);
    cfg.row0 = QByteArray::fromHex(p.value("row0").toLatin1());
    cfg.refuse = int(refuse);
    cfg.refuseByte = quint8(refuseByte);
    cfg.seed = seed;
    if (!parseTrigger(p.value("silent-after"), cfg.silentAfter) ||
        !parseTrigger(p.value("drop-after"), cfg.dropAfter) ||
        !parseTrigger(p.value("garbage-after"), cfg.garbageAfter))
        return fail(QStringLiteral("a fault trigger is not CMD[:N]"));

    const QByteArray announcement = unescape(p.value("announce"));
    const bool reannounce = p.isSet("reannounce");
    const QString memoryOut = p.value("memory-out");

    PseudoTerminal line(p.value("link"));
    if (!line.ok()) return fail(line.error());
    installSignals();
    const LinePacer pacer{int(baud)};
    BootloaderModel model(cfg);

    auto saveMemory = [&] {
        if (memoryOut.isEmpty()) return;
        QSaveFile f(memoryOut);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(model.memory().toText());
            f.commit();
        }
    };

    markIdle(line.fd());
    bool waitingForClient = true;
    auto lineFree = Clock::now();
    say("ready");
    while (!gStop) {
        bool announceNow = false;
        if (gPowerCycle) {
            gPowerCycle = 0;
            model.powerCycle();
            announceNow = true;
        } else if (waitingForClient && clientConfigured(line.fd())) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            announceNow = true;
        }
        if (announceNow) {
            waitingForClient = false;
            bool sent = true;
            // A gap makes the client receive the announcement in pieces.
            for (qsizetype i = 0; sent && i < announcement.size();
                 i += byteGap ? 1 : announcement.size()) {
                if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(byteGap));
                sent = pacer.send(line, announcement.mid(i, byteGap ? 1 : -1));
            }
            if (!sent) break;
            say("announced");
        }

        const QByteArray chunk = line.read(waitingForClient ? 20 : 100);
        if (chunk.isEmpty()) continue;
        // The client's bytes reach the bootloader at line speed: a reply cannot leave before
        // the last of them would have arrived.
        lineFree = std::max(lineFree, Clock::now()) + pacer.byteTime(chunk.size());
        const BootloaderModel::Output out = model.feed(chunk);
        if (out.drop) {
            saveMemory();
            // The moment of the unplugging on the system-wide monotonic clock, so a client's
            // reaction can be timed from it rather than from whatever came before.
            const auto at = std::chrono::duration_cast<std::chrono::microseconds>(
                Clock::now().time_since_epoch());
            line.close();
            std::printf("dropped %lld\n", static_cast<long long>(at.count()));
            std::fflush(stdout);
            return 0;
        }
        if (!out.reply.isEmpty()) {
            std::this_thread::sleep_until(lineFree);
            if (!pacer.send(line, out.reply)) break;
        }
        if (out.reset) {
            saveMemory();
            say("reset");
            if (reannounce) {
                model.powerCycle();
                markIdle(line.fd());
                waitingForClient = true;
            }
        }
    }
    saveMemory();
    return 0;
}

// instrument-sim: a simulated PV test instrument on a pseudo-terminal. It answers the line
// protocol (command + CR, one reply line + CR) from an in-memory instrument, can pace both
// directions at a baud rate and inject faults. With --remote it plays the remote unit instead:
// it answers nothing and sends the lines it is told to.

#include "fault_plan.h"
#include "instrument_model.h"
#include "line_pacer.h"
#include "pseudo_terminal.h"

#include <QStringList>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

using namespace vorna::sim;
using Clock = std::chrono::steady_clock;

namespace {

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) {
    stopRequested = 1;
}

void usage(FILE* to) {
    std::fprintf(to,
                 "usage: instrument-sim LINK_PATH [options]\n"
                 "  --data FILE         load plants, measurements and settings from FILE\n"
                 "  --generate PxM      P generated plants with M measurements each\n"
                 "  --baud N            pace both directions at N baud (0: unpaced)\n"
                 "  --seed N            seed of generated values and garbage\n"
                 "  --listval LINE      a LISTVAL reply (\\t for TAB); repeat for replies in turn\n"
                 "  --remote            play the remote unit: answer nothing\n"
                 "  --quiet             do not echo the traffic on standard output\n%s",
                 qPrintable(FaultPlan::usage()));
}

// Echo of the traffic, one line each: "< " received, "> " sent, "! " events.
bool echo = true;
void note(const char* prefix, const QByteArray& line) {
    if (!echo) return;
    std::fputs(prefix, stdout);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
}

constexpr qsizetype kMaxLine = 65536;

struct Scheduled {
    Clock::time_point due;
    QByteArray line;
};

class Simulator {
public:
    Simulator(const QString& link, InstrumentModel& model, const FaultPlan& plan, int baud,
              bool remote)
        : link_(link), line_(std::make_unique<PseudoTerminal>(link)), model_(model), plan_(plan),
          pacer_(baud), remote_(remote), faultRandom_(plan.random.seed) {
        const auto start = Clock::now();
        for (const auto& s : plan.said)
            scheduled_.push_back({start + std::chrono::milliseconds(s.atMs), s.line});
    }

    const PseudoTerminal& line() const { return *line_; }

    // Runs until the line is dropped or a signal asks to stop.
    int run() {
        QByteArray pending;
        Clock::time_point lineStart{};
        while (!stopRequested && line_->ok()) {
            sendDue();
            const QByteArray in = line_->read(nextWaitMs());
            for (char c : in) {
                if (pending.isEmpty()) lineStart = Clock::now();
                if (c == '\r') {
                    // The reply starts only when the whole command would have arrived.
                    pacer_.waitArrival(lineStart, pending.size() + 1);
                    if (!handle(pending)) return 0;
                    pending.clear();
                } else if (c != '\n' && pending.size() < kMaxLine) {
                    pending += c; // a runaway line is cut, not hoarded
                }
            }
        }
        return 0;
    }

private:
    int nextWaitMs() const {
        int wait = 50;
        const auto now = Clock::now();
        for (const auto& s : scheduled_) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(s.due - now);
            wait = std::max(0, std::min(wait, int(left.count())));
        }
        return wait;
    }

    void sendDue() {
        const auto now = Clock::now();
        for (auto it = scheduled_.begin(); it != scheduled_.end();) {
            if (it->due > now) {
                ++it;
                continue;
            }
            send(it->line + '\r');
            note("> ", it->line);
            it = scheduled_.erase(it);
        }
    }

    void send(const QByteArray& bytes) { pacer_.send(*line_, bytes); }

    // The random fault this command meets, noted on the echo; none mostly.
    std::optional<FaultPlan::Kind> randomFault() {
        using K = FaultPlan::Kind;
        static const std::pair<const char*, K> kKinds[] = {
            {"silent", K::Silent},   {"cut", K::NoCr},    {"pieces", K::Pieces},
            {"garbage", K::Garbage}, {"extra", K::Extra}, {"late", K::Delay},
            {"drop", K::Close}};
        std::uniform_int_distribution<int> chance(0, 999), kind(0, int(std::size(kKinds)) - 1);
        if (chance(faultRandom_) >= plan_.random.perMille) return std::nullopt;
        const auto& [name, k] = kKinds[kind(faultRandom_)];
        note("! fault ", name);
        return k;
    }

    // The line dropped, and a new one at the same place a moment later (the adapter unplugged
    // and plugged in again).
    bool dropAndBack() {
        std::fflush(stdout);
        line_.reset(); // before the new one: the old one takes its link with it
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        line_ = std::make_unique<PseudoTerminal>(link_);
        return line_->ok();
    }

    // False when the line was dropped.
    bool handle(const QByteArray& command) {
        if (command.isEmpty()) return true; // the blank line after a doubled CR
        note("< ", command);
        using K = FaultPlan::Kind;
        const auto rules = plan_.matching(command);
        const auto random = randomFault();
        if (random == K::Close) return dropAndBack();
        if (random == K::Delay)
            std::this_thread::sleep_for(std::chrono::milliseconds(plan_.random.lateMs));
        auto has = [&](K k) { return plan_.has(command, k) || random == k; };
        for (const auto* r : rules) {
            if (r->kind == K::Close) {
                note("! ", "closing the line");
                std::fflush(stdout);
                line_->close();
                return false;
            }
            if (r->kind == K::Delay)
                std::this_thread::sleep_for(std::chrono::milliseconds(r->value));
            if (r->kind == K::After)
                scheduled_.push_back(
                    {Clock::now() + std::chrono::milliseconds(FaultPlan::kAfterMs), r->text});
        }
        if (remote_ || has(K::Silent)) return true;
        const auto reply = model_.answer(command);
        if (!reply) return true;
        // The line before the reply leaves in the same write as the reply (with pieces, just
        // ahead of them), so the two arrive together whatever the machine's load.
        QByteArray before;
        for (const auto* r : rules)
            if (r->kind == K::Before) before += r->text + '\r';
        QByteArray out = *reply;
        for (const auto* r : rules)
            if (r->kind == K::Reply) out = r->text;
        if (has(K::Garbage)) {
            out.clear();
            std::uniform_int_distribution<int> len(5, 40), byte(0, 255);
            for (int i = len(model_.random()); i > 0; --i) {
                const char c = char(byte(model_.random()));
                out += c == '\r' ? '\x7f' : c;
            }
        }
        // Noted once on the line: a test that waits for the note knows the bytes are there.
        const QByteArray shown = out;
        if (!has(K::NoCr)) out += '\r';
        // The extra line leaves in the same write as the reply: the two arrive together, as
        // an instrument's two lines at once do, and not at a moment the machine's load picks.
        if (has(K::Extra)) out += "EXTRA\tLINE\r";
        if (has(K::Pieces)) {
            if (!before.isEmpty()) send(before);
            const qsizetype third = std::max<qsizetype>(1, out.size() / 3);
            for (qsizetype i = 0; i < out.size(); i += third) {
                send(out.mid(i, third));
                std::this_thread::sleep_for(std::chrono::milliseconds(40));
            }
        } else {
            send(before + out);
        }
        for (const auto* r : rules)
            if (r->kind == K::Before) note("> ", r->text);
        note("> ", shown);
        if (has(K::Extra)) note("> ", "EXTRA\tLINE");
        return true;
    }

    QString link_;
    std::unique_ptr<PseudoTerminal> line_;
    InstrumentModel& model_;
    const FaultPlan& plan_;
    LinePacer pacer_;
    bool remote_;
    std::vector<Scheduled> scheduled_;
    std::mt19937 faultRandom_;
};

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    FaultPlan plan;
    QString error;
    if (!plan.take(args, &error)) {
        std::fprintf(stderr, "instrument-sim: %s\n", qPrintable(error));
        return 2;
    }
    QString link, data;
    int baud = 0, plants = -1, perPlant = 0;
    quint32 seed = 1;
    bool remote = false;
    std::vector<QByteArray> listval;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            usage(stdout);
            return 0;
        } else if (a == QLatin1String("--remote")) {
            remote = true;
        } else if (a == QLatin1String("--quiet")) {
            echo = false;
        } else if (a == QLatin1String("--data") && hasValue) {
            data = args[++i];
        } else if (a == QLatin1String("--baud") && hasValue) {
            baud = args[++i].toInt(&ok);
            ok = ok && baud >= 0;
        } else if (a == QLatin1String("--listval") && hasValue) {
            listval.push_back(unescapeTabs(args[++i]));
        } else if (a == QLatin1String("--seed") && hasValue) {
            seed = args[++i].toUInt(&ok);
        } else if (a == QLatin1String("--generate") && hasValue) {
            const QStringList pm = args[++i].split(QLatin1Char('x'));
            bool ok2 = false;
            ok = pm.size() == 2;
            if (ok) plants = pm[0].toInt(&ok), perPlant = pm[1].toInt(&ok2);
            ok = ok && ok2 && plants >= 0 && plants <= InstrumentModel::kPlantSlots &&
                 perPlant >= 0 && perPlant <= 100;
        } else if (!a.startsWith(QLatin1String("--")) && link.isEmpty()) {
            link = a;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "instrument-sim: bad option %s\n", qPrintable(a));
            usage(stderr);
            return 2;
        }
    }
    if (link.isEmpty()) {
        usage(stderr);
        return 2;
    }

    InstrumentModel model(seed);
    if (!data.isEmpty() && !model.load(data, &error)) {
        std::fprintf(stderr, "instrument-sim: %s\n", qPrintable(error));
        return 2;
    }
    if (plants >= 0) model.generate(plants, perPlant);
    for (const QByteArray& reply : listval)
        model.listvalReplies.push_back(reply);

    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    Simulator simulator(link, model, plan, baud, remote);
    if (!simulator.line().ok()) {
        std::fprintf(stderr, "instrument-sim: %s\n", qPrintable(simulator.line().error()));
        return 1;
    }
    std::printf("READY %s\n", qPrintable(link));
    return simulator.run();
}

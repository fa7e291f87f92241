#pragma once

#include "link.h"
#include "link_indicators.h"
#include "test_env.h"

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantList>
#include <chrono>
#include <memory>

namespace vorna {
// Stages what only a running exchange sets: an exchange under way, a read cut short.
struct LinkTestAccess {
    static void setExchangeBusy(Link& l, bool busy) { l.exchangeBusy_ = busy; }
    static void setBaseReadPending(Link& l, bool pending) { l.baseReadPending_ = pending; }
};
} // namespace vorna

namespace vorna::test {

// Replies as the instrument sends them: one plant's fields after its number (LISTNIMPIANTO),
// and a "LISTMISURA" line whose fields not given are fixed.
QString plantFields(const QString& pot = QStringLiteral("3.5"),
                    const QString& name = QStringLiteral("Rossi Mario"),
                    const QString& town = QStringLiteral("Milano"),
                    const QString& powerClass = QStringLiteral("0"));
inline const QString kPlantFields = plantFields();
QString measurementReply(const QString& date = QStringLiteral("14/06/2024"),
                         const QString& tamb = QStringLiteral("24.5"),
                         const QString& vdc1 = QStringLiteral("410.2"),
                         const QString& verdict = QStringLiteral("PASS"));
// Lines of instrument-sim's content file: a plant under its number, a measurement of one.
QString simPlant(int number, const QString& fields = kPlantFields);
QString simMeasurement(int plant, int number, const QString& reply = measurementReply());

struct RecordingIndicators : LinkIndicators {
    bool connected = true, busy = false;
    int statusShown = 0, activity = 0, maxActivity = 0;

    void showConnected(bool up) override { connected = up; }
    void showStatusLabel() override { ++statusShown; }
    void setActivity(int v) override { maxActivity = std::max(maxActivity, activity = v); }
    int activityMaximum() const override { return 5; }
    void setBusy(bool b) override { busy = b; }
};

// A simulator (instrument-sim or bootloader-sim) as its own process, and the lines it prints:
// instrument-sim echoes the traffic ("< " received, "> " sent), bootloader-sim its events.
class SimProcess {
public:
    // instrument-sim on a pseudo-terminal in `dir` that port number `port` means (through
    // VORNA_COM<port>).
    SimProcess(const QString& dir, int port, const QStringList& options);
    // `program` of the build with `args`, ready once it prints a line starting `readyLine`.
    SimProcess(const QString& program, const QStringList& args, const QString& readyLine);
    ~SimProcess() { stop(); }

    bool ready() const { return ready_; }
    // Every line printed so far, after letting the output settle.
    QStringList lines(int settleMs = 50);
    // Lines the simulator received (or sent) so far.
    QStringList received(int settleMs = 50, const QString& direction = QStringLiteral("< "));
    QStringList sent(int settleMs = 50) { return received(settleMs, QStringLiteral("> ")); }
    // Waits, pumping events, until the simulator has printed `line`.
    bool waitForLine(const QString& line, int timeoutMs = 3000);
    // Lines printed so far stop counting for waitForLine.
    void forget(const QString& line) { output_.replace(line + QLatin1Char('\n'), QString()); }
    qint64 pid() const { return proc_.processId(); }
    // Ends the process at once, as an unplugged device; stop() lets it finish its files.
    void kill();
    void stop();

private:
    void start(const QString& program, const QStringList& args, const QString& readyLine);

    QProcess proc_;
    QString output_;
    bool ready_ = false;
};

// A data folder with its database, a context whose link has a short read time-out and
// recording indicators, and simulators on the two ports.
class LinkEnv {
public:
    static constexpr int kBasePort = 11;
    static constexpr int kRemotePort = 12;

    explicit LinkEnv(const QLocale& locale = kUsPc,
                     std::chrono::milliseconds readTimeout = std::chrono::milliseconds(1500));

    TestEnv env;
    AppContext& ctx;
    RecordingIndicators indicators;
    std::unique_ptr<SimProcess> instrument, remote;
    QObject routing; // owner of the receive-event connections, as the main window is

    // Start a simulator and connect its port; false when it did not come up. The instrument's
    // content file holds dataLines, as --data reads them.
    bool startInstrument(const QStringList& options = {}, const QStringList& dataLines = {});
    bool startRemote(const QStringList& options = {});

    bool exchange(const QString& command) {
        ctx.link.commandText = command;
        return trasmette(ctx, "test");
    }

    int rows(const QString& from, const QVariantList& params = {}) const {
        return env.rows(from, params);
    }
    QString trafficLog() const { return QString::fromLatin1(readFile(env.path("s.log"))); }
};

// instrument-sim's content file in `dir` with these lines, and the options that load it.
QStringList simDataOptions(const QString& dir, const QStringList& dataLines);

} // namespace vorna::test

#pragma once

#include "link.h"
#include "link_indicators.h"
#include "test_env.h"

#include <QLocale>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantList>
#include <chrono>
#include <memory>

namespace vorna::test {

inline const QLocale kUsPc(QLocale::English, QLocale::UnitedStates);
inline const QLocale kItalianPc(QLocale::Italian, QLocale::Italy);

// Replies as the instrument sends them: one plant's fields after its number, and a
// "LISTMISURA" line whose fields not given are fixed.
inline const QString kPlantFields =
    "3.5\t45\t-0.45\tRossi Mario\tVia Roma\t12\t20100\tMilano\tRSSMRA70A01F205X\t0";
inline QString measurementReply(const QString& date = "14/06/2024", const QString& tamb = "24.5",
                                const QString& vdc1 = "410.2", const QString& verdict = "PASS") {
    return QString("%1\t10.15.02\t812.5\t3.1\t%2\t41.2\t%3\t7.1\t0\t0\t0\t0\t2.9\t231.0\t12.1\t0\t"
                   "0\t0\t0\t2.8\t0.93\t0.96\t0\t%4\t0.89\t-0.44")
        .arg(date, tamb, vdc1, verdict);
}

} // namespace vorna::test

namespace vorna {
// Stages what only a running exchange sets: an exchange under way, a read cut short.
struct LinkTestAccess {
    static void setExchangeBusy(Link& l, bool busy) { l.exchangeBusy_ = busy; }
    static void setBaseReadPending(Link& l, bool pending) { l.baseReadPending_ = pending; }
};
} // namespace vorna

namespace vorna::test {

struct RecordingIndicators : LinkIndicators {
    bool connected = true, busy = false;
    int statusShown = 0, activity = 0, maxActivity = 0;

    void showConnected(bool up) override { connected = up; }
    void showStatusLabel() override { ++statusShown; }
    void setActivity(int v) override { maxActivity = std::max(maxActivity, activity = v); }
    int activityMaximum() const override { return 5; }
    void setBusy(bool b) override { busy = b; }
};

// instrument-sim as its own process on a pseudo-terminal that port number `port` means
// (through VORNA_COM<port>). Its echo of the traffic tells what it received.
class SimProcess {
public:
    SimProcess(const QString& dir, int port, const QStringList& options);
    ~SimProcess() {
        proc_.terminate();
        if (!proc_.waitForFinished(2000)) kill();
    }

    bool ready() const { return ready_; }
    // Lines the simulator received (or sent) so far, after letting its echo settle.
    QStringList received(int settleMs = 50, const QString& direction = "< ");
    QStringList sent(int settleMs = 50) { return received(settleMs, "> "); }
    // The whole echo, line by line, each with its "< ", "> " or "! " in front.
    QStringList traffic(int settleMs = 50) { return echo(settleMs).split('\n'); }
    bool waitReceived(const QString& line, int timeoutMs = 3000);
    // Ends the process at once, as an unplugged device.
    void kill() {
        proc_.kill();
        proc_.waitForFinished(2000);
    }

private:
    QString echo(int settleMs);

    QProcess proc_;
    bool ready_ = false;
    QString echo_;
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

    // Start a simulator and connect its port; false when it did not come up.
    bool startInstrument(const QStringList& options = {});
    bool startRemote(const QStringList& options = {});
    // The instrument with this content file (lines as --data reads them).
    bool startInstrumentWith(const QStringList& dataLines);

    bool exchange(const QString& command) {
        ctx.link.commandText = command;
        return trasmette(ctx, "test");
    }
    static void pump(int ms);

    int rows(const QString& from, const QVariantList& params = {}) const {
        return int(ctx.db.scalar("SELECT COUNT(*) FROM " + from, params));
    }
    int errorsOf(const QString& routine) const {
        return int(env.debugLog().count('\t' + routine + '\t'));
    }
    QString trafficLog() const;
};

} // namespace vorna::test

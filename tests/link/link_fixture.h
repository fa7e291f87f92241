#pragma once

#include "link_indicators.h"
#include "test_env.h"

#include <QLocale>
#include <QProcess>
#include <QStringList>
#include <chrono>
#include <memory>

namespace vorna::test {

// What the link showed, for checking the indicators.
struct RecordingIndicators : LinkIndicators {
    bool connected = true;
    int statusShown = 0;
    int activity = 0;
    int maxActivity = 0;
    bool busy = false;
    int busyCount = 0;

    void showConnected(bool up) override { connected = up; }
    void showStatusLabel() override { ++statusShown; }
    void setActivity(int v) override {
        activity = v;
        maxActivity = std::max(maxActivity, v);
    }
    int activityMaximum() const override { return 5; }
    void setBusy(bool b) override {
        busy = b;
        busyCount += b;
    }
};

// instrument-sim running as its own process on a pseudo-terminal that port number `port`
// means (through VORNA_COM<port>). Its echo of the traffic tells what it received.
class SimProcess {
public:
    SimProcess(const QString& dir, int port, const QStringList& options);
    ~SimProcess();

    bool ready() const { return ready_; }
    int port() const { return port_; }
    // Lines the simulator received so far (waits briefly for its echo to settle).
    QStringList received(int settleMs = 50);
    // Lines the simulator sent so far, replies and unasked lines.
    QStringList sent(int settleMs = 50);
    // Waits until the simulator received exactly this line; false after timeoutMs.
    bool waitReceived(const QString& line, int timeoutMs = 3000);
    // Ends the process at once, as an unplugged device.
    void kill();

private:
    void drain(int waitMs);
    QStringList echoed(const QString& prefix, int settleMs);

    QProcess proc_;
    int port_;
    bool ready_ = false;
    QString echo_;
};

// A data folder with its database, a context whose link has a short read time-out and
// recording indicators, and simulators on the two ports.
class LinkEnv {
public:
    static constexpr int kBasePort = 11;
    static constexpr int kRemotePort = 12;

    explicit LinkEnv(const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates),
                     std::chrono::milliseconds readTimeout = std::chrono::milliseconds(1500));

    TestEnv env;
    AppContext& ctx;
    RecordingIndicators indicators;
    std::unique_ptr<SimProcess> instrument;
    std::unique_ptr<SimProcess> remote;

    // Starts the instrument simulator and connects the instrument port to it.
    SimProcess& startInstrument(const QStringList& options = {});
    // Starts a second simulator as the remote unit and connects the remote port.
    SimProcess& startRemote(const QStringList& options = {});

    // Sends one command through trasmette; the reply is ctx.link.replyText.
    bool exchange(const QString& command);
    // Pumps events for ms (receive events, relays).
    static void pump(int ms);

    int rowCount(const QString& table) const;
    // How many error-log entries name this routine.
    int errorsOf(const QString& routine) const;
    // A file in the data folder with the given lines (for --data).
    QString writeFile(const QString& name, const QStringList& lines) const;
};

} // namespace vorna::test

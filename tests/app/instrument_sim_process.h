#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace vorna::test {

// instrument-sim running on a pseudo-terminal in a folder of the test, with port number `port`
// pointed at it through VORNA_COM<port> while this object lives.
class InstrumentSimProcess {
public:
    InstrumentSimProcess(const QString& folder, int port, const QStringList& extraArgs = {});
    ~InstrumentSimProcess();
    InstrumentSimProcess(const InstrumentSimProcess&) = delete;
    InstrumentSimProcess& operator=(const InstrumentSimProcess&) = delete;

    bool ready() const { return ready_; }
    const QString& linkPath() const { return link_; }
    // What the simulator printed: "< " lines received, "> " lines sent.
    QString traffic();
    // The commands the simulator received so far, in order.
    QStringList received();

private:
    QProcess process_;
    QString link_;
    QByteArray envName_;
    QString output_;
    bool ready_ = false;
};

// A simulator data file in folder with the given lines (TAB-separated keys and values).
QString writeSimData(const QString& folder, const QStringList& lines);

// Pumps events until done() or timeoutMs passed, sleeping in short slices.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace vorna::test

#pragma once

#include "port_fault.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

class QSerialPort;

namespace vorna {

// A device to ask, by the port number it has in the lists.
struct ProbeTarget {
    int number = 0;
    QString device;
};

struct ProbeOutcome {
    enum class Kind {
        Answered,    // a version line came back
        NotAVersion, // a line came back, but not the instrument's
        Silent,      // nothing within the wait
        Refused,     // the device could not be opened (fault says why)
    };
    int number = 0;
    QString device;
    Kind kind = Kind::Silent;
    PortFault fault;
    QByteArray reply; // the line, without its end
};

// True when a reply to "VERSION?" is the instrument's: printable text that names a firmware
// version ("Firmware: FV 2.1.5 - FR 1.0.1").
bool isVersionLine(const QByteArray& line);

// Asks several serial devices at once whether the instrument is behind them: each is opened at
// the link's line settings, sent "VERSION?" and CR, and given at most `patience` for a reply
// line. A port is closed as soon as its answer is in or its time is up, and the probe ends as
// soon as the lowest answering number is known. It runs on the event loop: no thread, no wait.
class PortProbe : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kPatience{500};

    explicit PortProbe(QObject* parent = nullptr);
    ~PortProbe() override;

    // Targets in rising number order.
    void start(const QList<ProbeTarget>& targets, std::chrono::milliseconds patience = kPatience);
    bool running() const { return running_; }
    // In target order; the ports the probe ended early are Silent.
    const std::vector<ProbeOutcome>& outcomes() const { return outcomes_; }
    // The lowest number that answered with a version line; 0 when none did.
    int found() const;

signals:
    void finished();

private:
    struct Line;
    void settle(Line& line, ProbeOutcome::Kind kind, const QByteArray& reply = {});
    void finishWhenKnown();
    void finish();

    std::vector<std::unique_ptr<Line>> lines_;
    std::vector<ProbeOutcome> outcomes_;
    QTimer deadline_;
    bool running_ = false;
};

// Runs a probe to its end; the event loop runs meanwhile (windows paint, nothing spins).
std::vector<ProbeOutcome> probePorts(const QList<ProbeTarget>& targets,
                                     std::chrono::milliseconds patience = PortProbe::kPatience);

} // namespace vorna

#include "port_probe.h"

#include "serial_line.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QSerialPort>

namespace vorna {

namespace {
// A reply longer than any version line is not one; stop reading it.
constexpr qsizetype kLongestReply = 256;
} // namespace

bool isVersionLine(const QByteArray& line) {
    for (const char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    static const QRegularExpression version(QStringLiteral("\\bFV\\s*\\d"));
    return version.match(QString::fromLatin1(line)).hasMatch();
}

struct PortProbe::Line {
    QSerialPort port;
    QByteArray received;
    size_t index = 0;
    bool settled = false;
};

PortProbe::PortProbe(QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer); // a coarse timer may end the wait 5 % early
    connect(&deadline_, &QTimer::timeout, this, [this] {
        for (auto& l : lines_)
            if (!l->settled) settle(*l, ProbeOutcome::Kind::Silent);
        finish();
    });
}

PortProbe::~PortProbe() = default;

void PortProbe::start(const QList<ProbeTarget>& targets, std::chrono::milliseconds patience) {
    lines_.clear();
    outcomes_.clear();
    running_ = true;
    // One wait for all, counted from before the first open: no port is given more than patience.
    deadline_.start(patience);
    for (const ProbeTarget& t : targets) {
        outcomes_.push_back({t.number, t.device, ProbeOutcome::Kind::Silent, {}, {}});
        auto line = std::make_unique<Line>();
        Line& l = *line;
        l.index = outcomes_.size() - 1;
        lines_.push_back(std::move(line));
        setLine8N1(l.port, t.device, QSerialPort::Baud38400);
        if (!l.port.open(QIODevice::ReadWrite)) {
            outcomes_[l.index].fault =
                diagnosePortFault(t.device, l.port.error(), l.port.errorString());
            settle(l, ProbeOutcome::Kind::Refused);
            continue;
        }
        l.port.clear(QSerialPort::Input);
        connect(&l.port, &QSerialPort::readyRead, this, [this, &l] {
            l.received += l.port.readAll();
            const qsizetype end = l.received.indexOf('\r');
            if (end >= 0)
                settle(l,
                       isVersionLine(l.received.left(end)) ? ProbeOutcome::Kind::Answered
                                                           : ProbeOutcome::Kind::NotAVersion,
                       l.received.left(end));
            else if (l.received.size() > kLongestReply)
                settle(l, ProbeOutcome::Kind::NotAVersion, l.received);
            finishWhenKnown();
        });
        connect(&l.port, &QSerialPort::errorOccurred, this,
                [this, &l](QSerialPort::SerialPortError e) {
                    if (e != QSerialPort::ResourceError || l.settled) return;
                    settle(l, ProbeOutcome::Kind::Silent); // the line went away
                    finishWhenKnown();
                });
        l.port.write("VERSION?\r");
    }
    finishWhenKnown();
}

void PortProbe::settle(Line& line, ProbeOutcome::Kind kind, const QByteArray& reply) {
    line.settled = true;
    outcomes_[line.index].kind = kind;
    outcomes_[line.index].reply = reply;
    // Closed at once: the next probe, or the connect that follows, finds the device free.
    line.port.disconnect(this);
    if (line.port.isOpen()) line.port.close();
}

void PortProbe::finishWhenKnown() {
    if (!running_) return;
    // Done once every port has settled, or a port answered and none below it can still answer.
    for (const auto& l : lines_) {
        if (!l->settled) return;
        if (outcomes_[l->index].kind == ProbeOutcome::Kind::Answered) break;
    }
    finish();
}

void PortProbe::finish() {
    if (!running_) return;
    deadline_.stop();
    for (auto& l : lines_)
        if (!l->settled) settle(*l, ProbeOutcome::Kind::Silent);
    running_ = false;
    emit finished();
}

int PortProbe::found() const {
    for (const ProbeOutcome& o : outcomes_)
        if (o.kind == ProbeOutcome::Kind::Answered) return o.number;
    return 0;
}

std::vector<ProbeOutcome> probePorts(const QList<ProbeTarget>& targets,
                                     std::chrono::milliseconds patience) {
    PortProbe probe;
    QEventLoop loop;
    QObject::connect(&probe, &PortProbe::finished, &loop, &QEventLoop::quit);
    probe.start(targets, patience);
    if (probe.running()) loop.exec();
    return probe.outcomes();
}

} // namespace vorna

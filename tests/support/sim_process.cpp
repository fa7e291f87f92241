// The simulator processes, apart from the link rig so that the uploader tests link no more.
#include "link_env.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace vorna::test {

SimProcess::SimProcess(const QString& dir, int port, const QStringList& options) {
    const QString link = uniqueLink(dir, QStringLiteral("com%1").arg(port));
    start(QStringLiteral("instrument-sim"), QStringList{link} + options, QStringLiteral("READY"));
    qputenv(QStringLiteral("VORNA_COM%1").arg(port).toLatin1(), link.toLocal8Bit());
}

SimProcess::SimProcess(const QString& program, const QStringList& args, const QString& readyLine) {
    start(program, args, readyLine);
}

void SimProcess::start(const QString& program, const QStringList& args, const QString& readyLine) {
    proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proc_.start(binDir() + QLatin1Char('/') + program, args);
    QDeadlineTimer deadline(5000);
    while (!ready_ && !deadline.hasExpired() && proc_.state() != QProcess::NotRunning)
        for (const QString& l : lines())
            ready_ = ready_ || l.startsWith(readyLine);
}

QStringList SimProcess::lines(int settleMs) {
    proc_.waitForReadyRead(settleMs);
    output_ += QString::fromLatin1(proc_.readAllStandardOutput());
    return output_.split(QLatin1Char('\n'));
}

QStringList SimProcess::received(int settleMs, const QString& direction) {
    QStringList out;
    for (const QString& l : lines(settleMs))
        if (l.startsWith(direction)) out << l.mid(direction.size());
    return out;
}

bool SimProcess::waitForLine(const QString& line, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (lines(20).contains(line)) return true;
        QCoreApplication::processEvents();
    } while (!deadline.hasExpired());
    return false;
}

void SimProcess::kill() {
    proc_.kill();
    proc_.waitForFinished(2000);
}

void SimProcess::stop() {
    if (proc_.state() == QProcess::NotRunning) return;
    proc_.terminate();
    if (!proc_.waitForFinished(3000)) kill();
}

} // namespace vorna::test

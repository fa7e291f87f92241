#include "link_fixture.h"

#include "app_context.h"
#include "schema.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace vorna::test {

SimProcess::SimProcess(const QString& dir, int port, const QStringList& options) {
    // The link name carries the folder's unique suffix: port lock files are named after it.
    const QString link = dir + QStringLiteral("/com%1-%2").arg(port).arg(QFileInfo(dir).fileName());
    proc_.start(binDir() + QStringLiteral("/instrument-sim"), QStringList{link} + options);
    QDeadlineTimer deadline(5000);
    do
        ready_ = echo(50).contains(QStringLiteral("READY"));
    while (!ready_ && !deadline.hasExpired());
    qputenv(QStringLiteral("VORNA_COM%1").arg(port).toLatin1(), link.toLocal8Bit());
}

QString SimProcess::echo(int settleMs) {
    proc_.waitForReadyRead(settleMs);
    return echo_ += QString::fromLatin1(proc_.readAllStandardOutput());
}

QStringList SimProcess::received(int settleMs, const QString& direction) {
    QStringList lines;
    for (const QString& l : echo(settleMs).split(QLatin1Char('\n')))
        if (l.startsWith(direction)) lines << l.mid(2);
    return lines;
}

bool SimProcess::waitReceived(const QString& line, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (received(20).contains(line)) return true;
        QCoreApplication::processEvents();
    } while (!deadline.hasExpired());
    return false;
}

LinkEnv::LinkEnv(const QLocale& locale, std::chrono::milliseconds readTimeout)
    : env(locale), ctx(*env.ctx) {
    ctx.db.open(env.path(QStringLiteral("DATA_v2.MDB")));
    ensure_schema(ctx.db);
    ctx.link.readTimeout = readTimeout;
    ctx.indicators = &indicators;
}

bool LinkEnv::startInstrument(const QStringList& options) {
    instrument = std::make_unique<SimProcess>(env.dir.path(), kBasePort, options);
    ctx.link.serialeBase.setPortNumber(kBasePort);
    ctx.link.setLinkUp(Unit::Base, true);
    return instrument->ready();
}

bool LinkEnv::startRemote(const QStringList& options) {
    remote = std::make_unique<SimProcess>(env.dir.path(), kRemotePort,
                                          QStringList{QStringLiteral("--remote")} + options);
    ctx.link.serialeRemoto.setPortNumber(kRemotePort);
    ctx.link.setLinkUp(Unit::Remote, true);
    return remote->ready();
}

bool LinkEnv::startInstrumentWith(const QStringList& dataLines) {
    QFile f(env.path(QStringLiteral("inst.txt")));
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(dataLines.join(QLatin1Char('\n')).toLatin1() + "\n");
    f.close();
    return startInstrument({QStringLiteral("--data"), f.fileName()});
}

void LinkEnv::pump(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

QString LinkEnv::trafficLog() const {
    QFile f(env.path(QStringLiteral("s.log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

} // namespace vorna::test

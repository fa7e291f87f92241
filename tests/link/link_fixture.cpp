#include "link_fixture.h"

#include "app_context.h"
#include "link.h"
#include "schema.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace vorna::test {

SimProcess::SimProcess(const QString& dir, int port, const QStringList& options) : port_(port) {
    // The link name carries the folder's unique suffix: port lock files are named after it.
    const QString link = dir + QStringLiteral("/com%1-%2").arg(port).arg(QFileInfo(dir).fileName());
    proc_.setProcessChannelMode(QProcess::SeparateChannels);
    proc_.start(binDir() + QStringLiteral("/instrument-sim"), QStringList{link} + options);
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired() && !echo_.contains(QLatin1String("READY")))
        drain(50);
    ready_ = echo_.contains(QLatin1String("READY"));
    qputenv(QStringLiteral("VORNA_COM%1").arg(port).toLatin1(), link.toLocal8Bit());
}

SimProcess::~SimProcess() {
    if (proc_.state() != QProcess::NotRunning) {
        proc_.terminate();
        if (!proc_.waitForFinished(2000)) proc_.kill();
        proc_.waitForFinished(2000);
    }
}

void SimProcess::drain(int waitMs) {
    proc_.waitForReadyRead(waitMs);
    echo_ += QString::fromLatin1(proc_.readAllStandardOutput());
}

QStringList SimProcess::echoed(const QString& prefix, int settleMs) {
    drain(settleMs);
    QStringList lines;
    for (const QString& l : echo_.split(QLatin1Char('\n')))
        if (l.startsWith(prefix)) lines << l.mid(2);
    return lines;
}

QStringList SimProcess::received(int settleMs) {
    return echoed(QStringLiteral("< "), settleMs);
}

QStringList SimProcess::sent(int settleMs) {
    return echoed(QStringLiteral("> "), settleMs);
}

bool SimProcess::waitReceived(const QString& line, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        if (received(20).contains(line)) return true;
        QCoreApplication::processEvents();
    } while (!deadline.hasExpired());
    return false;
}

void SimProcess::kill() {
    proc_.kill();
    proc_.waitForFinished(2000);
}

LinkEnv::LinkEnv(const QLocale& locale, std::chrono::milliseconds readTimeout)
    : env(locale), ctx(*env.ctx) {
    ctx.db.open(env.path(QStringLiteral("DATA_v2.MDB")));
    ensure_schema(ctx.db);
    ctx.link.readTimeout = readTimeout;
    ctx.indicators = &indicators;
}

SimProcess& LinkEnv::startInstrument(const QStringList& options) {
    instrument = std::make_unique<SimProcess>(env.dir.path(), kBasePort, options);
    ctx.link.serialeBase.setPortNumber(kBasePort);
    ctx.link.baseLinkUp = true;
    return *instrument;
}

SimProcess& LinkEnv::startRemote(const QStringList& options) {
    remote = std::make_unique<SimProcess>(env.dir.path(), kRemotePort,
                                          QStringList{QStringLiteral("--remote")} + options);
    ctx.link.serialeRemoto.setPortNumber(kRemotePort);
    ctx.link.remoteLinkUp = true;
    return *remote;
}

bool LinkEnv::exchange(const QString& command) {
    ctx.link.commandText = command;
    return trasmette(ctx, QStringLiteral("test"));
}

void LinkEnv::pump(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

int LinkEnv::rowCount(const QString& table) const {
    return int(ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table));
}

int LinkEnv::errorsOf(const QString& routine) const {
    return int(env.debugLog().count(QLatin1Char('\t') + routine + QLatin1Char('\t')));
}

QString LinkEnv::writeFile(const QString& name, const QStringList& lines) const {
    const QString path = env.path(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(lines.join(QLatin1Char('\n')).toLatin1() + "\n");
    return path;
}

} // namespace vorna::test

#include "instrument_sim_process.h"

#include "test_env.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace vorna::test {

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

InstrumentSimProcess::InstrumentSimProcess(const QString& folder, int port,
                                           const QStringList& extraArgs)
    : link_(folder + QStringLiteral("/instrument-%1").arg(port)),
      envName_("VORNA_COM" + QByteArray::number(port)) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(binDir() + QStringLiteral("/instrument-sim"), QStringList{link_} + extraArgs);
    ready_ =
        process_.waitForStarted(5000) &&
        waitUntil(
            [&] { return QFileInfo::exists(link_) || process_.state() == QProcess::NotRunning; },
            5000) &&
        process_.state() == QProcess::Running;
    if (ready_) qputenv(envName_.constData(), link_.toLocal8Bit());
}

InstrumentSimProcess::~InstrumentSimProcess() {
    qunsetenv(envName_.constData());
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QString InstrumentSimProcess::traffic() {
    output_ += QString::fromLatin1(process_.readAll());
    return output_;
}

QStringList InstrumentSimProcess::received() {
    QStringList commands;
    for (const QString& line : traffic().split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("< "))) commands << line.mid(2);
    return commands;
}

QString writeSimData(const QString& folder, const QStringList& lines) {
    const QString path = folder + QStringLiteral("/instrument-data.txt");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(lines.join(QLatin1Char('\n')).toLatin1() + '\n');
    return path;
}

} // namespace vorna::test

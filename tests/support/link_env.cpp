#include "link_env.h"

#include "app_context.h"
#include "schema.h"

#include <QFile>

namespace vorna::test {

QString plantFields(const QString& pot, const QString& name, const QString& town,
                    const QString& powerClass) {
    return QStringList{
        pot, "45", "-0.45", name, "Via Roma", "12", "20100", town, "RSSMRA70A01F205X", powerClass}
        .join(QLatin1Char('\t'));
}

QString measurementReply(const QString& date, const QString& tamb, const QString& vdc1,
                         const QString& verdict) {
    return QString("%1\t10.15.02\t812.5\t3.1\t%2\t41.2\t%3\t7.1\t0\t0\t0\t0\t2.9\t231.0\t12.1\t0\t"
                   "0\t0\t0\t2.8\t0.93\t0.96\t0\t%4\t0.89\t-0.44")
        .arg(date, tamb, vdc1, verdict);
}

QString simPlant(int number, const QString& fields) {
    return QStringLiteral("plant\t%1\t").arg(number) + fields;
}

QString simMeasurement(int plant, int number, const QString& reply) {
    return QStringLiteral("measure\t%1\t%2\t").arg(plant).arg(number) + reply;
}

LinkEnv::LinkEnv(const QLocale& locale, std::chrono::milliseconds readTimeout)
    : env(locale), ctx(*env.ctx) {
    ctx.db.open(env.path(QStringLiteral("DATA_v2.MDB")));
    ensure_schema(ctx.db);
    ctx.link.readTimeout = readTimeout;
    ctx.indicators = &indicators;
}

bool LinkEnv::startInstrument(const QStringList& options, const QStringList& dataLines) {
    instrument = std::make_unique<SimProcess>(env.dir.path(), kBasePort,
                                              options + simDataOptions(env.dir.path(), dataLines));
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

QStringList simDataOptions(const QString& dir, const QStringList& dataLines) {
    QFile f(dir + QStringLiteral("/instrument-data.txt"));
    if (dataLines.isEmpty() || !f.open(QIODevice::WriteOnly)) return {};
    f.write(dataLines.join(QLatin1Char('\n')).toLatin1() + '\n');
    return {QStringLiteral("--data"), f.fileName()};
}

} // namespace vorna::test

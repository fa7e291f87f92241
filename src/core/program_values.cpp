#include "program_values.h"

#include "app_context.h"
#include "error_trap.h"
#include "logs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace vorna {

// The build gives the path, relative to the programs' folder, of the file that `cmake --install`
// (and so the Debian package) installs to mark an installed copy.
#ifndef VORNA_INSTALLED_MARKER
#error "VORNA_INSTALLED_MARKER is set by cmake/Install.cmake"
#endif

namespace {
QString withSlash(QString p) {
    if (!p.endsWith(QLatin1Char('/'))) p += QLatin1Char('/');
    return p;
}

// An installed copy keeps its data per user even when its folder is writable, as /usr/bin is
// for root: nothing is ever written beside installed programs.
bool isInstalledCopy(const QString& dir) {
    return QFileInfo::exists(withSlash(dir) + QStringLiteral(VORNA_INSTALLED_MARKER));
}
} // namespace

QString choose_app_path(const QString& executableDir) {
    const QFileInfo info(executableDir);
    if (info.isDir() && info.isWritable() && !isInstalledCopy(executableDir))
        return withSlash(info.absoluteFilePath());
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty()) data = QDir::homePath() + QStringLiteral("/.VORNA_REPORT");
    QDir().mkpath(data);
    return withSlash(data);
}

bool init_sw(AppContext& ctx, const QString& executableDir) {
    return guard(ctx, QStringLiteral("init_sw"), [&](TrapScope& s) {
        s.step(2);
        ctx.appPath = choose_app_path(executableDir);
        s.step(3);
        ctx.setLocale(ctx.locale); // the probe follows the regional format
        s.step(4);
        QFile log(debugLogPath(ctx));
        if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw RunError(err::kFileAccess, QStringLiteral("cannot create ") + log.fileName());
        log.write("\r\n");
        log.close();
        s.step(5);
        ctx.swVersion = QStringLiteral("ZMB") + QStringLiteral(" ") + QStringLiteral("4.5");
        ctx.fwCompatText = QStringLiteral("FV 2.1.5 - FR 1.0.1");
        return true;
    });
}

} // namespace vorna

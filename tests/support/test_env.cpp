#include "test_env.h"

#include <QDir>
#include <QFile>

namespace vorna::test {

TestEnv::TestEnv(const QLocale& locale) {
    ctx = std::make_unique<AppContext>(prompts, dir.path() + QLatin1Char('/'), locale);
}

QString TestEnv::debugLog() const {
    QFile f(path(QStringLiteral("debug.log")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

static QString fromEnv(const char* name, const QString& fallback) {
    const QByteArray v = qgetenv(name);
    return v.isEmpty() ? fallback : QString::fromLocal8Bit(v);
}

QString binDir() {
    return fromEnv("VORNA_BIN_DIR", QDir::currentPath());
}

QString screenshotDir() {
    const QString d = fromEnv("VORNA_SCREENSHOT_DIR", QDir::currentPath() + "/screenshots");
    QDir().mkpath(d);
    return d;
}

QString sourceDir() {
    return fromEnv("VORNA_SOURCE_DIR", QDir::currentPath());
}

} // namespace vorna::test

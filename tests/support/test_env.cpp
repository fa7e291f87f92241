#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <ctime>

namespace vorna::test {

TestEnv::TestEnv(const QLocale& locale) {
    ctx = std::make_unique<AppContext>(prompts, dir.path() + QLatin1Char('/'), locale);
}

InTimeZone::InTimeZone(const char* zone)
    : wasSet_(qEnvironmentVariableIsSet("TZ")), old_(qgetenv("TZ")) {
    qputenv("TZ", zone);
    tzset();
}

InTimeZone::~InTimeZone() {
    // An empty TZ is UTC, not the machine's zone: an unset one must stay unset.
    if (wasSet_)
        qputenv("TZ", old_);
    else
        qunsetenv("TZ");
    tzset();
}

QString TestEnv::debugLog() const {
    QFile f(path(QStringLiteral("debug.log")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

int TestEnv::errorsOf(const QString& routine) const {
    return int(debugLog().count(QLatin1Char('\t') + routine + QLatin1Char('\t')));
}

int TestEnv::rows(const QString& from, const QVariantList& params) const {
    return int(ctx->db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + from, params));
}

QStringList TestEnv::events(int kind) const {
    QStringList out;
    Statement st =
        ctx->db.prepare(QStringLiteral("SELECT MEMO1 FROM tab1 WHERE INT1=? ORDER BY ID"));
    st.bind(1, kind);
    while (st.step()) {
        const QVariant memo = st.column(0);
        if (memo.typeId() != QMetaType::QByteArray) {
            out << QStringLiteral("<not bytes: ") + memo.toString() + QLatin1Char('>');
            continue;
        }
        QByteArray plain = memo.toByteArray();
        const QByteArray key(kEventKeyText);
        int sum = 0;
        for (qsizetype i = 0; i < plain.size(); ++i) {
            plain[i] = char(plain[i] ^ key[i % key.size()]);
            if (i + 1 < plain.size()) sum = (sum + quint8(plain[i])) % 256;
        }
        const bool sound = !plain.isEmpty() && quint8(plain.back()) == sum;
        plain.chop(1);
        out << (sound ? QString::fromLatin1(plain)
                      : QStringLiteral("<bad checksum: ") + QString::fromLatin1(plain) + '>');
    }
    return out;
}

void routePorts(const std::map<int, QString>& devices) {
    for (int n = 1; n <= 99; ++n) {
        const auto it = devices.find(n);
        qputenv("VORNA_COM" + QByteArray::number(n),
                it != devices.end() ? it->second.toLocal8Bit() : "/nonexistent/vorna-test-port");
    }
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString uniqueLink(const QString& dir, const QString& name) {
    return dir + QLatin1Char('/') + name + QLatin1Char('-') + QFileInfo(dir).fileName();
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

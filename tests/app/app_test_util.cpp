#include "app_test_util.h"

#include "database.h"
#include "database_init.h"
#include "schema.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QThread>
#include <QWidget>

namespace vorna::test {

void presetSettings(const QString& folder, const QVariantMap& fields) {
    Database db;
    db.open(folder + QLatin1Char('/') + kDataFile);
    ensure_schema(db);
    if (fields.isEmpty()) return;
    QStringList names, marks;
    QVariantList values;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        names << it.key();
        marks << QStringLiteral("?");
        values << it.value();
    }
    db.prepare(QStringLiteral("INSERT INTO impostazioni (%1) VALUES (%2)")
                   .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))))
        .bindAll(values)
        .run();
}

QVariantMap storedSettings(const QString& folder) {
    Database db;
    db.open(folder + QLatin1Char('/') + kDataFile);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM impostazioni ORDER BY ID LIMIT 1"));
    QVariantMap row;
    if (st.step())
        for (int i = 0; i < st.columnCount(); ++i)
            row.insert(st.columnName(i), st.column(i));
    return row;
}

void saveScreenshot(QWidget* widget, const QString& name) {
    QCoreApplication::processEvents();
    widget->grab().save(screenshotDir() + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QString ptyLinkPath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name + QLatin1Char('-') + QFileInfo(folder).fileName();
}

QString writeSimData(const QString& folder, const QStringList& lines) {
    const QString path = folder + QStringLiteral("/instrument-data.txt");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(lines.join(QLatin1Char('\n')).toLatin1() + '\n');
    return path;
}

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

} // namespace vorna::test

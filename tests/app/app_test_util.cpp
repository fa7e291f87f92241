#include "app_test_util.h"

#include "database.h"
#include "database_init.h"
#include "schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QThread>
#include <gtest/gtest.h>

namespace vorna::test {

std::string settingsDiff(const QString& folder, const QVariantMap& expected) {
    Database db;
    db.open(folder + QLatin1Char('/') + kDataFile);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM impostazioni ORDER BY ID LIMIT 1"));
    QVariantMap row;
    const bool found = st.step();
    for (int i = 0; found && i < st.columnCount(); ++i)
        row.insert(st.columnName(i).toUpper(), st.column(i));
    QStringList wrong;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QVariant got = row.value(it.key().toUpper());
        if (it->isNull() ? !got.isNull() : (got.isNull() || got != *it))
            wrong << it.key() + QLatin1Char('=') + got.toString();
    }
    return wrong.join(QLatin1Char(' ')).toStdString();
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

QString ptyLinkPath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name + QLatin1Char('-') + QFileInfo(folder).fileName();
}

Rig::Rig(const QVariantMap& row, const std::optional<QStringList>& simArgs,
         const QStringList& simData, const QLocale& locale)
    : env(locale) {
    if (!row.isEmpty()) {
        Database db;
        db.open(env.path(kDataFile));
        ensure_schema(db);
        db.prepare(QStringLiteral("INSERT INTO impostazioni (%1) VALUES (?%2)")
                       .arg(row.keys().join(QLatin1Char(',')),
                            QStringLiteral(",?").repeated(row.size() - 1)))
            .bindAll(row.values())
            .run();
    }
    QStringList args = simArgs.value_or(QStringList());
    if (!simData.isEmpty()) {
        QFile f(env.path(QStringLiteral("instrument-data.txt")));
        if (f.open(QIODevice::WriteOnly))
            f.write(simData.join(QLatin1Char('\n')).toLatin1() + '\n');
        args << QStringLiteral("--data") << f.fileName();
    }
    if (simArgs || !simData.isEmpty()) {
        sim = std::make_unique<SimProcess>(env.dir.path(), 1, args);
        EXPECT_TRUE(sim->ready());
    }
    ctx().link.readTimeout = std::chrono::milliseconds(1500);
    window = std::make_unique<MainWindow>(ctx(), env.dir.path());
    loaded = window->MDIForm_Load();
}

void Rig::click(const QString& button) {
    find<QPushButton>(button)->click();
}

void Rig::closeChild() {
    for (QMdiSubWindow* w : window->area()->subWindowList())
        delete w;
}

} // namespace vorna::test

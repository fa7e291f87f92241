#pragma once

#include "database.h"
#include "database_init.h"
#include "link_fixture.h"
#include "main_window.h"
#include "record_set.h"
#include "schema.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <gtest/gtest.h>
#include <optional>

namespace vorna::test {

// The settings row most window tests start from: English, instrument on 1, remote unit on 2.
inline QVariantMap englishRow(const QVariantMap& changes = {}) {
    QVariantMap row{{"LINGUA", 0}, {"COM", 1},      {"INT1", 2},   {"metcalc", 1},
                    {"INT2", 3},   {"misureac", 3}, {"REAL1", 600}};
    row.insert(changes);
    return row;
}

// The program started on a test folder: `row` written first as the settings row (none when
// empty), instrument-sim on port 1 when simArgs or simData (its content lines) are given, then
// the main window loaded, which opens the setup window. Reads time out after 1.5 s.
struct Rig {
    explicit Rig(const QVariantMap& row = englishRow(),
                 const std::optional<QStringList>& simArgs = {}, const QStringList& simData = {},
                 const QLocale& locale = kUsPc)
        : env(locale) {
        if (!row.isEmpty()) {
            Database db;
            db.open(env.path(kDataFile));
            ensure_schema(db);
            db.prepare(QString("INSERT INTO impostazioni (%1) VALUES (?%2)")
                           .arg(row.keys().join(','), QString(",?").repeated(row.size() - 1)))
                .bindAll(row.values())
                .run();
        }
        QStringList args = simArgs.value_or(QStringList());
        if (QFile f(env.path("instrument-data.txt"));
            !simData.isEmpty() && f.open(QFile::WriteOnly)) {
            f.write(simData.join('\n').toLatin1() + '\n');
            args << "--data" << f.fileName();
        }
        if (simArgs || !simData.isEmpty()) {
            sim = std::make_unique<SimProcess>(env.dir.path(), 1, args);
            EXPECT_TRUE(sim->ready());
        }
        ctx().link.readTimeout = std::chrono::milliseconds(1500);
        window = std::make_unique<MainWindow>(ctx(), env.dir.path());
        loaded = window->MDIForm_Load();
    }
    TestEnv env;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<MainWindow> window;
    bool loaded = false;

    AppContext& ctx() { return *env.ctx; }
    template <typename T = QWidget> T* find(const QString& name) {
        return window->findChild<T*>(name);
    }
    QAction* key(const QString& name) { return find<QAction>(name); }
    void click(const QString& button) { find<QPushButton>(button)->click(); }
    void closeChild() { qDeleteAll(window->area()->subWindowList()); }
    void reopenSetup() {
        closeChild();
        key("setup")->trigger();
    }
    // A pseudo-terminal link in the folder. Serial lock files are named after the link, so the
    // name carries the folder's unique suffix to keep tests running side by side apart.
    QString ptyLink(const QString& name) {
        return env.path(name + '-' + QFileInfo(env.dir.path()).fileName());
    }
    // The fields of `expected` ("field=text;...", "<null>" for NULL) that the stored settings
    // row does not hold, as the row holds them; empty when all match.
    std::string diff(const QString& expected) {
        Database db;
        db.open(env.path(kDataFile));
        RecordSet row = RecordSet::select(db, "SELECT * FROM impostazioni ORDER BY ID LIMIT 1");
        row.moveFirst();
        QStringList wrong;
        for (const QString& pair : expected.split(';')) {
            const QString field = pair.section('=', 0, 0);
            const QString got =
                row.eof() || row.isNull(field) ? "<null>" : row.field(field).toString();
            if (got != pair.section('=', 1)) wrong << field + '=' + got;
        }
        return wrong.join(';').toStdString();
    }
};

} // namespace vorna::test

// Start-up of the database on a working file of 1,000,000 realtime rows, against the time two
// plain copies of that file take on the same disk.
#include "database_init.h"
#include "schema.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

using namespace vorna;

static double copySeconds(const QString& from, const QString& to) {
    QElapsedTimer t;
    t.start();
    QProcess::execute("cp", {from, to});
    return t.nsecsElapsed() / 1e9;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 1000000;
    test::TestEnv env;
    const QString work = env.path(kDataFile);
    {
        Database db;
        db.open(work);
        ensure_schema(db);
        db.exec(
            QString(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                "INSERT INTO realtime (IDIMP, NUMERO, data, ora, rad, POTRAD, TEMPAMB, TEMPPAN, "
                "VDC1, VDC2, VDC3, IDC1, IDC2, IDC3, VAC1, VAC2, VAC3, IAC1, IAC2, IAC3, POTDC, "
                "POTAC, RENDDC, RENDAC, ESITODC, ESITOAC, COEFFTEMP, REAL2, TEXT1, TEXT2) "
                "SELECT i % 50, i % 1000, date('2020-01-01', '+' || (i / 2000) || ' days'), "
                "time(i % 86400, 'unixepoch'), 800.5 + i % 7, 12.25, 24.5, 41.75, 612.5, "
                "-10000, -10000, 8.5, -10000, -10000, 231.5, 230.25, 229.75, 12.5, 12.25, "
                "12.75, 5120.5, 4980.25, 0.8712, 0.9645, 1, 1, 1.012, 0.85, 'FV 2.1.5', "
                "'ZMB 4.5' FROM n")
                .arg(rows));
    }
    const double mb = QFileInfo(work).size() / 1048576.0;
    std::printf("working file: %d realtime rows, %.1f MiB\n", rows, mb);

    // Warm the page cache the same way for both measurements.
    copySeconds(work, env.path("warm.tmp"));
    const double copies =
        copySeconds(work, env.path("copy1.tmp")) + copySeconds(work, env.path("copy2.tmp"));
    QFile::remove(env.path("warm.tmp"));
    QFile::remove(env.path("copy1.tmp"));
    QFile::remove(env.path("copy2.tmp"));

    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        AppContext ctx(env.prompts, env.dir.path() + "/");
        QElapsedTimer t;
        t.start();
        if (!database_init(ctx)) {
            std::printf("database_init failed\n");
            return 1;
        }
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    std::printf("two cp copies:  %.3f s\n", copies);
    std::printf("database_init:  %.3f s (best of 3)\n", best);
    std::printf("ratio:          %.2f x the two copies (target <= 3)\n", best / copies);
    return 0;
}

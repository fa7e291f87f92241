// Start-up of the database on a working file of 1,000,000 realtime rows (or the count given),
// as a user starts the program day after day: a start with nothing changed since the last one,
// and a start after one row was added, each against two plain copies of the file timed in the
// same round. Medians over the rounds; the machine's load is printed with the figures.
//
//   bench_database_init [rows] [rounds]
#include "bench_figures.h"
#include "database_init.h"
#include "schema.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorna;

namespace {

double copySeconds(const QString& from, const QString& to) {
    QElapsedTimer t;
    t.start();
    QProcess::execute("cp", {from, to});
    const double s = t.nsecsElapsed() / 1e9;
    QFile::remove(to);
    return s;
}

double startSeconds(AppContext& ctx) {
    QElapsedTimer t;
    t.start();
    if (!database_init(ctx)) {
        std::printf("database_init failed\n");
        std::exit(1);
    }
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 1000000;
    const int rounds = argc > 2 ? atoi(argv[2]) : 5;
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
    std::printf("working file: %d realtime rows, %.1f MiB; load %s\n", rows,
                QFileInfo(work).size() / 1048576.0, qPrintable(bench::machineLoad()));

    AppContext ctx(env.prompts, env.dir.path() + "/");
    startSeconds(ctx); // the first start takes the backup
    copySeconds(work, env.path("warm.tmp"));

    std::vector<double> copies, unchanged, changed, unchangedRatio, changedRatio;
    for (int round = 0; round < rounds; ++round) {
        const double twoCopies =
            copySeconds(work, env.path("copy1.tmp")) + copySeconds(work, env.path("copy2.tmp"));
        const double same = startSeconds(ctx);
        // What a day of use leaves: one more sample, committed through the program's connection.
        ctx.db.exec(QStringLiteral(
            "INSERT INTO realtime (IDIMP, NUMERO, data, ora, rad) VALUES (7, 1, '2031-01-01', "
            "'12:00:00', 812.5)"));
        const double added = startSeconds(ctx);
        copies.push_back(twoCopies);
        unchanged.push_back(same);
        changed.push_back(added);
        unchangedRatio.push_back(same / twoCopies);
        changedRatio.push_back(added / twoCopies);
        std::printf("round %d: two copies %.3f s, unchanged %.3f s (%.2f x), changed %.3f s "
                    "(%.2f x)\n",
                    round + 1, twoCopies, same, same / twoCopies, added, added / twoCopies);
    }
    std::printf("two cp copies:        median %.3f s\n", bench::median(copies));
    std::printf("unchanged file start: median %.3f s, %.2f x the two copies (target <= 0.3)\n",
                bench::median(unchanged), bench::median(unchangedRatio));
    std::printf("changed file start:   median %.3f s, %.2f x the two copies (target <= 1.0)\n",
                bench::median(changed), bench::median(changedRatio));
    std::printf("load at the end: %s\n", qPrintable(bench::machineLoad()));
    return 0;
}

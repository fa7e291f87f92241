#include "database_init.h"
#include "schema.h"
#include "test_env.h"

#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <random>

using namespace vorna;

// A start-up killed at any moment must leave every committed row in the working file or in the
// backup, and the next start must come up with all of them.
TEST(StartupCrash, KilledAtRandomMomentsLosesNothing) {
    test::TestEnv env;
    constexpr int kRows = 4000;
    {
        Database db;
        db.open(env.path(kDataFile));
        ensure_schema(db);
        db.exec(
            QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                    "INSERT INTO realtime (IDIMP, NUMERO, data, ora, rad) "
                    "SELECT 1, i, '2026-06-01', '12:00:00', i FROM n")
                .arg(kRows));
    }
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> delayMs(0, 120);
    const QString child = test::binDir() + "/database_init_child";
    for (int trial = 0; trial < 40; ++trial) {
        QProcess p;
        p.start(child, {env.dir.path() + "/"});
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(delayMs(rng));
        p.kill();
        p.waitForFinished();

        AppContext ctx(env.prompts, env.dir.path() + "/");
        ASSERT_TRUE(database_init(ctx)) << "trial " << trial;
        ASSERT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM realtime"), kRows) << "trial " << trial;
        ASSERT_EQ(ctx.db.scalar("SELECT SUM(rad) FROM realtime"), qint64(kRows) * (kRows + 1) / 2);
    }
}

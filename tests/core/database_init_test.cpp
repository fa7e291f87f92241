#include "data_store.h"
#include "database_init.h"
#include "schema.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vorna;

namespace {

struct Startup : ::testing::Test {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    QString work() const { return env.path(kDataFile); }
    QString backup() const { return env.path(kBackupFile); }

    static void makeDb(const QString& path, int plants) {
        Database db;
        db.open(path);
        ensure_schema(db);
        db.exec(
            QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                    "INSERT INTO impianti (nome, POT) SELECT 'plant ' || i, i FROM n")
                .arg(plants));
    }
    static qint64 plantsIn(const QString& path) {
        Database db;
        db.open(path);
        return db.scalar("SELECT COUNT(*) FROM impianti");
    }
    static void write(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }
    // A database whose plants and one event row sit in its first pages, before 20000
    // realtime rows, cut to half its size: what is lost is realtime rows only.
    static void makeCutDb(const QString& path) {
        makeDb(path, 50);
        {
            Database db;
            db.open(path);
            db.exec("INSERT INTO tab1 (MEMO1, INT1) VALUES (x'2D6C00FF', 1);"
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 20000)"
                    " INSERT INTO realtime (IDIMP, NUMERO, data) SELECT 1, i, '2024-06-14' FROM n");
        }
        const QByteArray full = test::readFile(path);
        write(path, full.left(full.size() / 2));
    }
    // The rows makeCutDb's file must give back, every one intact.
    void expectSalvaged() {
        EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 50);
        EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti WHERE nome = 'plant ' || ID AND "
                                "POT = ID AND ID BETWEEN 1 AND 50"),
                  50);
        EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM tab1 WHERE typeof(MEMO1) = 'blob' AND "
                                "hex(MEMO1) = '2D6C00FF' AND INT1 = 1"),
                  1);
        // Of the cut table, what its surviving pages hold.
        const qint64 realtime = ctx.db.scalar("SELECT COUNT(*) FROM realtime");
        EXPECT_GT(realtime, 0);
        EXPECT_LT(realtime, 20000);
    }
    QStringList setAside(const QString& file = kDataFile) const {
        return QDir(env.dir.path())
            .entryList({file + ".damaged-*"}, QDir::Files)
            .filter(QRegularExpression("\\d$"));
    }
    void expectNoScratch() const {
        EXPECT_FALSE(QFileInfo::exists(env.path(kScratchFile)));
        EXPECT_TRUE(QDir(env.dir.path()).entryList({"*.part"}).isEmpty());
    }
};

} // namespace

TEST_F(Startup, OnlyABackupIsRestored) {
    makeDb(backup(), 12);
    ASSERT_TRUE(database_init(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 12);
    EXPECT_EQ(plantsIn(backup()), 12);
    expectNoScratch();
}

TEST_F(Startup, BackupHoldsCommitsStillInTheWriteAheadLog) {
    makeDb(work(), 3);
    Database writer; // a run that never closed its connection
    writer.open(work());
    writer.exec("INSERT INTO impianti (nome) VALUES ('late')");
    ASSERT_TRUE(database_init(ctx));
    writer.close();
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 4);
    EXPECT_EQ(plantsIn(backup()), 4);
}

// A damaged working file is set aside and the backup opened; a file without the tables (a
// zero-byte one too) passes every check of the engine, but with the backup holding them it is
// damage too. Neither replaces the backup.
TEST_F(Startup, DamagedWorkingFileIsSetAsideAndTheBackupKept) {
    makeDb(backup(), 5);
    const QByteArray goodBackup = test::readFile(backup());
    // Sound on opening, damaged further in: its copy is already under way when the check fails.
    makeDb(work(), 500);
    QByteArray laterPages = test::readFile(work());
    laterPages.replace(laterPages.size() - 8192, 8192, QByteArray(8192, '\x5a'));
    const struct {
        QByteArray bytes;
        const char* sql; // run on the file after writing it
        const char* logged;
    } cases[] = {
        {QByteArray(8192, '\x5a'), nullptr, "damaged database set aside"},
        {"not a database at all\n", nullptr, "damaged database set aside"},
        {laterPages, nullptr, "damaged database set aside"},
        {{}, nullptr, "database without tables set aside"},
        {{}, "CREATE TABLE other (x)", "database without tables set aside"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.left(20).toStdString() + (c.sql ? c.sql : ""));
        write(work(), c.bytes);
        if (c.sql) {
            Database db;
            db.open(work());
            db.exec(c.sql);
        }
        const auto before = env.debugLog().count(c.logged);
        ASSERT_TRUE(database_init(ctx));
        EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 5);
        ctx.db.close();
        EXPECT_EQ(test::readFile(backup()), goodBackup);
        EXPECT_EQ(env.debugLog().count(c.logged), before + 1);
        QFile::remove(work());
    }
    EXPECT_EQ(setAside().size(), 5);
    expectNoScratch();
}

TEST_F(Startup, TruncatedFileWithoutBackupKeepsWhatCanBeRead) {
    makeCutDb(work());
    ASSERT_TRUE(database_init(ctx));
    expectSalvaged();
    EXPECT_EQ(setAside().size(), 1);
    // The salvaged file is a sound database that takes new rows.
    ctx.db.exec("INSERT INTO impianti (nome) VALUES ('new')");
}

// A damaged backup and no working file, or a zero-byte one: the backup is set aside and
// salvaged; the next start backs up the salvaged rows and leaves the damaged backup alone.
TEST_F(Startup, DamagedBackupWithoutAWorkingFileIsSetAsideAndSalvaged) {
    for (const bool emptyWorkingFile : {false, true}) {
        SCOPED_TRACE(emptyWorkingFile);
        for (const QString& f : QDir(env.dir.path()).entryList(QDir::Files))
            QFile::remove(env.path(f));
        makeCutDb(backup());
        if (emptyWorkingFile) write(work(), {});
        ASSERT_TRUE(database_init(ctx));
        expectSalvaged();
        ctx.db.close();
        EXPECT_EQ(setAside(kBackupFile).size(), 1);
        EXPECT_TRUE(emptyWorkingFile || setAside().isEmpty());
        EXPECT_TRUE(env.debugLog().contains("damaged backup set aside"));
        ASSERT_TRUE(database_init(ctx));
        EXPECT_EQ(plantsIn(backup()), 50);
        EXPECT_EQ(setAside(kBackupFile).size(), 1);
        expectNoScratch();
    }
}

TEST_F(Startup, LockedWorkingFileIsLoggedAndLeftAlone) {
    makeDb(work(), 7);
    Database other;
    other.open(work());
    other.exec("BEGIN EXCLUSIVE");
    EXPECT_FALSE(database_init(ctx));
    EXPECT_TRUE(env.debugLog().contains("database_init"));
    other.exec("ROLLBACK");
    other.close();
    EXPECT_EQ(plantsIn(work()), 7);
    EXPECT_TRUE(setAside().isEmpty());
    // The next start succeeds.
    ASSERT_TRUE(database_init(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 7);
}

TEST_F(Startup, ReadOnlyWorkingFileIsLoggedAndTheRowsStayReadable) {
    makeDb(work(), 4);
    // Root ignores permission bits; an immutable file is read-only even for root.
    if (QProcess::execute("chattr", {"+i", work()}) != 0) {
        GTEST_SKIP() << "no chattr here";
    }
    // It opens for reading; a change fails with a log entry and nothing else.
    ASSERT_TRUE(database_init(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 4);
    EXPECT_FALSE(cancella_impianto_da_DB(ctx, 1));
    ctx.db.close();
    QProcess::execute("chattr", {"-i", work()});
    EXPECT_TRUE(env.debugLog().contains("is read-only"));
    EXPECT_TRUE(env.debugLog().contains("cancella_impianto_da_DB"));
    EXPECT_EQ(plantsIn(backup()), 4);
    EXPECT_EQ(plantsIn(work()), 4);
}

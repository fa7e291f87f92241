#include "data_store.h"
#include "database_init.h"
#include "schema.h"
#include "test_env.h"
#include "test_rows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace vorna;
using test::readFile;

namespace {

constexpr int kPlants = 40;
constexpr int kSamples = 3000;

// The insert, from a SELECT over i = 1 to n.
void insertNumbered(Database& db, int n, const QString& insert) {
    db.exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1) ")
                .arg(n) +
            insert);
}

ino_t inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

qint64 scalarIn(const QString& file, const QString& sql) {
    Database db;
    db.open(file);
    return db.scalar(sql);
}

void makeDb(const QString& path, int plants, int samples = 0) {
    Database db;
    db.open(path);
    ensure_schema(db);
    insertNumbered(db, plants, "INSERT INTO impianti (nome, POT) SELECT 'plant ' || i, i FROM n");
    if (samples > 0)
        insertNumbered(db, samples,
                       "INSERT INTO realtime (IDIMP, NUMERO, data, ora, rad) SELECT 1 + i % 7, i, "
                       "'2024-06-14', time(i * 20, 'unixepoch'), i FROM n");
}

qint64 plantsIn(const QString& path) {
    return scalarIn(path, "SELECT COUNT(*) FROM impianti");
}

void write(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

// A data folder: the working file and its backup.
struct Folder {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    const QString work = env.path(kDataFile);
    const QString backup = env.path(kBackupFile);

    // The first start over kPlants plants and kSamples samples, the connection closed again.
    void startOnce() {
        makeDb(work, kPlants, kSamples);
        EXPECT_TRUE(database_init(ctx));
        ctx.db.close();
    }

    // A database whose plants and one event row sit in its first pages, before 20000
    // realtime rows, cut to half its size: what is lost is realtime rows only.
    static void makeCutDb(const QString& path) {
        makeDb(path, 50);
        {
            Database db;
            db.open(path);
            db.exec("INSERT INTO tab1 (MEMO1, INT1) VALUES (x'2D6C00FF', 1)");
            insertNumbered(db, 20000,
                           "INSERT INTO realtime (IDIMP, NUMERO, data) SELECT 1, i, '2024-06-14' "
                           "FROM n");
        }
        const QByteArray full = readFile(path);
        write(path, full.left(full.size() / 2));
    }
    // The rows makeCutDb's file must give back, every one intact.
    void expectSalvaged() {
        EXPECT_EQ(test::rowsAsText(ctx.db,
                                   "SELECT COUNT(*), SUM(nome = 'plant ' || ID AND POT = ID "
                                   "AND ID BETWEEN 1 AND 50) FROM impianti"),
                  QStringList{"50|50"});
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
struct Startup : ::testing::Test, Folder {};

// Another program than this one at work on a database file.
void sqliteProgram(const QString& file, const QString& sql) {
    ASSERT_EQ(QProcess::execute("sqlite3", {file, sql}), 0) << qPrintable(sql);
}

// Data written at offset into the file where it lies, as a program that edits a file in place.
bool writeInPlace(const QString& path, qint64 offset, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && f.seek(offset) && f.write(data) == data.size();
}

// A page in the middle of the file overwritten where it lies.
void damageInPlace(const QString& file) {
    const qint64 middle = QFileInfo(file).size() / 4096 / 2 * 4096;
    ASSERT_TRUE(writeInPlace(file, middle, QByteArray(4096, '\x5a')));
}

bool extendedAttributesHere(const QString& dir) {
    QFile probe(dir + "/probe");
    if (!probe.open(QIODevice::WriteOnly)) return false;
    probe.close();
    return ::setxattr(QFile::encodeName(probe.fileName()).constData(), "user.probe", "1", 1, 0) ==
           0;
}

} // namespace

TEST_F(Startup, OnlyABackupIsRestored) {
    makeDb(backup, 12);
    ASSERT_TRUE(database_init(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 12);
    EXPECT_EQ(plantsIn(backup), 12);
    expectNoScratch();
}

TEST_F(Startup, BackupHoldsCommitsStillInTheWriteAheadLog) {
    makeDb(work, 3);
    Database writer; // a run that never closed its connection
    writer.open(work);
    writer.exec("INSERT INTO impianti (nome) VALUES ('late')");
    ASSERT_TRUE(database_init(ctx));
    writer.close();
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 4);
    EXPECT_EQ(plantsIn(backup), 4);
}

// A damaged working file is set aside and the backup opened; a file without the tables (a
// zero-byte one too) passes every check of the engine, but with the backup holding them it is
// damage too. Neither replaces the backup.
TEST_F(Startup, DamagedWorkingFileIsSetAsideAndTheBackupKept) {
    makeDb(backup, 5);
    const QByteArray goodBackup = readFile(backup);
    // Sound on opening, damaged further in: its copy is already under way when the check fails.
    makeDb(work, 500);
    QByteArray laterPages = readFile(work);
    laterPages.replace(laterPages.size() - 8192, 8192, QByteArray(8192, '\x5a'));
    const QString other = env.path("other.db");
    sqliteProgram(other, "CREATE TABLE other (x)");
    const struct {
        QByteArray bytes;
        const char* logged;
    } cases[] = {
        {QByteArray(8192, '\x5a'), "damaged database set aside"},
        {"not a database at all\n", "damaged database set aside"},
        {laterPages, "damaged database set aside"},
        {{}, "database without tables set aside"},
        {readFile(other), "database without tables set aside"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        write(work, c.bytes);
        const auto before = env.debugLog().count(c.logged);
        ASSERT_TRUE(database_init(ctx));
        EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 5);
        ctx.db.close();
        EXPECT_EQ(readFile(backup), goodBackup);
        EXPECT_EQ(env.debugLog().count(c.logged), before + 1);
        QFile::remove(work);
    }
    EXPECT_EQ(setAside().size(), 5);
    expectNoScratch();
}

// A damaged file with no sound one beside it: the working file without a backup, the backup
// without a working file or beside a zero-byte one. It is set aside and its rows salvaged into a
// sound working file; the next start backs that up and leaves the damaged file alone.
TEST_F(Startup, DamagedFileWithoutASoundOneIsSetAsideAndSalvaged) {
    const struct {
        QString cut;
        bool emptyWorkingFile;
        const char* logged;
    } cases[] = {{kDataFile, false, "damaged database set aside"},
                 {kBackupFile, false, "damaged backup set aside"},
                 {kBackupFile, true, "damaged backup set aside"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cut.toStdString() + (c.emptyWorkingFile ? " beside an empty file" : ""));
        for (const QString& f : QDir(env.dir.path()).entryList(QDir::Files))
            QFile::remove(env.path(f));
        makeCutDb(env.path(c.cut));
        if (c.emptyWorkingFile) write(work, {});
        ASSERT_TRUE(database_init(ctx));
        expectSalvaged();
        ctx.db.exec("INSERT INTO impianti (nome) VALUES ('new')");
        ctx.db.close();
        EXPECT_EQ(env.debugLog().count(c.logged), 1); // the log went with the folder's files
        EXPECT_EQ(setAside().size(), c.cut == kDataFile || c.emptyWorkingFile ? 1 : 0);
        ASSERT_TRUE(database_init(ctx));
        EXPECT_EQ(plantsIn(backup), 51);
        EXPECT_EQ(setAside(c.cut).size(), 1);
        expectNoScratch();
    }
}

TEST_F(Startup, LockedWorkingFileIsLoggedAndLeftAlone) {
    makeDb(work, 7);
    Database other;
    other.open(work);
    other.exec("BEGIN EXCLUSIVE");
    EXPECT_FALSE(database_init(ctx));
    EXPECT_TRUE(env.debugLog().contains("database_init"));
    other.exec("ROLLBACK");
    other.close();
    EXPECT_EQ(plantsIn(work), 7);
    EXPECT_TRUE(setAside().isEmpty());
    ASSERT_TRUE(database_init(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 7);
}

TEST_F(Startup, ReadOnlyWorkingFileIsLoggedAndTheRowsStayReadable) {
    makeDb(work, 4);
    // Root ignores permission bits; an immutable file is read-only even for root.
    if (QProcess::execute("chattr", {"+i", work}) != 0) {
        GTEST_SKIP() << "no chattr here";
    }
    // It opens for reading; a change fails with a log entry and nothing else.
    ASSERT_TRUE(database_init(ctx));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 4);
    EXPECT_FALSE(cancella_impianto_da_DB(ctx, 1));
    ctx.db.close();
    QProcess::execute("chattr", {"-i", work});
    EXPECT_TRUE(env.debugLog().contains("is read-only"));
    EXPECT_TRUE(env.debugLog().contains("cancella_impianto_da_DB"));
    EXPECT_EQ(plantsIn(backup), 4);
    EXPECT_EQ(plantsIn(work), 4);
}

// Whatever happened between two starts, the backup comes out holding the working file's bytes
// as they were at the start; when nothing happened it is not even written again.
TEST(SecondStart, EveryChangeOrDoubtIsBackedUpAgainAndNothingElse) {
    const struct {
        const char* what;
        std::function<void(Folder&)> between;
    } cases[] = {
        {"the backup lost one row",
         [](Folder& f) { sqliteProgram(f.backup, "DELETE FROM realtime WHERE ID = 1500"); }},
        {"the backup is damaged", [](Folder& f) { damageInPlace(f.backup); }},
        {"another program changed one value and put the time back",
         [](Folder& f) {
             const QFileInfo before(f.work);
             sqliteProgram(f.work, "UPDATE realtime SET rad = rad + 0.5 WHERE ID = 2000");
             QFile file(f.work);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(
                 file.setFileTime(before.lastModified(), QFileDevice::FileModificationTime));
             ASSERT_EQ(QFileInfo(f.work).size(), before.size());
         }},
        {"this program added a row",
         [](Folder& f) {
             Database db;
             db.open(f.work);
             db.exec("INSERT INTO realtime (IDIMP, NUMERO, data, ora) VALUES (1, 1, "
                     "'2024-06-15', '08:00:00')");
         }},
        {"the backup has rows in its log",
         [](Folder& f) {
             sqlite3* db = nullptr;
             ASSERT_EQ(sqlite3_open(QFile::encodeName(f.backup).constData(), &db), SQLITE_OK);
             sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
             sqlite3_exec(db, "INSERT INTO impianti (nome) VALUES ('only in the log')", nullptr,
                          nullptr, nullptr);
             sqlite3_close(db);
             ASSERT_GT(QFileInfo(f.backup + "-wal").size(), 0);
         }},
        {"nothing", {}}, // last: it may skip
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folder f;
        f.startOnce();
        if (c.between)
            c.between(f);
        else if (!extendedAttributesHere(f.env.dir.path()))
            GTEST_SKIP() << "no extended attributes on this file system: every start copies";
        const QByteArray atStart = readFile(f.work);
        const qint64 samples = scalarIn(f.work, "SELECT COUNT(*) FROM realtime");
        const ino_t backupFile = inode(f.backup);
        ASSERT_TRUE(database_init(f.ctx));
        f.ctx.db.close();
        if (!c.between) {
            EXPECT_EQ(inode(f.backup), backupFile); // not written again
        }
        EXPECT_EQ(readFile(f.backup), atStart);
        EXPECT_EQ(readFile(f.work), atStart);
        EXPECT_EQ(plantsIn(f.backup), kPlants);
        EXPECT_EQ(scalarIn(f.backup, "SELECT COUNT(*) FROM realtime"), samples);
        EXPECT_FALSE(f.env.debugLog().contains("set aside"));
    }
}

// Damage copied over the backup where it lies leaves two equal files, neither of them sound.
TEST(SecondStart, EqualButDamagedFilesTakeTheWholeWay) {
    Folder f;
    f.startOnce();
    damageInPlace(f.work);
    ASSERT_TRUE(writeInPlace(f.backup, 0, readFile(f.work)));
    ASSERT_EQ(readFile(f.backup), readFile(f.work));
    ASSERT_TRUE(database_init(f.ctx));
    EXPECT_TRUE(f.env.debugLog().contains("damaged database set aside"));
    EXPECT_TRUE(f.env.debugLog().contains("damaged backup set aside"));
    // The plants sit in the first pages, before the damage.
    EXPECT_EQ(f.ctx.db.scalar("SELECT COUNT(*) FROM impianti"), kPlants);
}

TEST(SecondStart, FreeSpaceIsCompactedFromATenthAndTheBackupKeepsTheFileBeforeIt) {
    constexpr int kRows = 400; // one page each
    const struct {
        double freeShare;
        bool compacted;
    } cases[] = {{0.05, false}, {0.15, true}, {0.6, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.freeShare);
        Folder f;
        {
            Database db;
            db.open(f.work);
            ensure_schema(db);
            insertNumbered(db, kRows,
                           "INSERT INTO tab1 (MEMO1, INT1) SELECT randomblob(3000), 1 FROM n");
            const qint64 pages = db.scalar("PRAGMA page_count");
            db.exec(QString("DELETE FROM tab1 WHERE ID <= %1").arg(qRound(c.freeShare * pages)));
        }
        const double share = double(scalarIn(f.work, "PRAGMA freelist_count")) /
                             double(scalarIn(f.work, "PRAGMA page_count"));
        ASSERT_NEAR(share, c.freeShare, 0.02);
        const QByteArray before = readFile(f.work);
        const qint64 rows = scalarIn(f.work, "SELECT COUNT(*) FROM tab1");

        ASSERT_TRUE(database_init(f.ctx));
        EXPECT_EQ(f.ctx.db.scalar("SELECT COUNT(*) FROM tab1"), rows);
        f.ctx.db.close();
        EXPECT_EQ(QFileInfo(f.work).size() < before.size(), c.compacted);
        EXPECT_EQ(readFile(f.backup), before);
        f.expectNoScratch();
    }
}

#include "database_init.h"

#include "app_context.h"
#include "certified_copy.h"
#include "error_trap.h"
#include "logs.h"
#include "schema.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sqlite3.h>
#include <unistd.h>

namespace vorna {

namespace {

namespace fs = std::filesystem;

fs::path native(const QString& p) {
    return fs::path(p.toStdString());
}

// Empty: a sound file without any of the program's tables (a zero-byte file is one).
enum class FileState { Missing, Empty, Good, Damaged };

// Below this share of free pages a compaction gains too little to rewrite the file for.
constexpr double kCompactFromFreeShare = 0.10;

constexpr const char* kTables[] = {"impianti", "acquisizioni", "realtime", "impostazioni", "tab1"};

struct Sqlite {
    sqlite3* db = nullptr;
    ~Sqlite() { sqlite3_close_v2(db); }
};

// One-column results of a pragma, or the engine's error.
bool pragmaText(sqlite3* db, const char* sql, QString& out) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        out = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    else if (rc != SQLITE_DONE)
        out = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

[[noreturn]] void busy(const QString& path, const QString& why) {
    throw RunError(err::kDatabaseBase + SQLITE_BUSY, path + QStringLiteral(": ") + why);
}

// Opens a database file and folds its write-ahead log into it, so a plain copy of the file
// holds every committed row, then stays in a read transaction: no checkpoint of another
// connection changes the file's bytes while they are compared and copied. Good stands for
// "opened"; Empty when none of the program's tables is there. A locked file is an error, not
// damage.
FileState openCheckpointed(const QString& path, Sqlite& s) {
    if (!QFileInfo::exists(path)) return FileState::Missing;
    if (sqlite3_open_v2(path.toUtf8().constData(), &s.db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        return FileState::Damaged;
    sqlite3_busy_timeout(s.db, 2000);
    QString out;
    if (!pragmaText(s.db, "PRAGMA wal_checkpoint(TRUNCATE)", out)) {
        const int code = sqlite3_errcode(s.db);
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED) busy(path, out);
        if (code != SQLITE_READONLY) return FileState::Damaged;
    } else if (out != QLatin1String("0")) {
        busy(path, QStringLiteral("in use by another program"));
    }
    QStringList names;
    for (const char* t : kTables)
        names << QLatin1Char('\'') + QLatin1String(t) + QLatin1Char('\'');
    const QByteArray tables =
        "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name IN (" +
        names.join(QLatin1Char(',')).toLatin1() + ")";
    sqlite3_exec(s.db, "BEGIN", nullptr, nullptr, nullptr);
    if (!pragmaText(s.db, tables.constData(), out)) {
        const int code = sqlite3_errcode(s.db);
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED) busy(path, out);
        return FileState::Damaged;
    }
    return out == QLatin1String("0") ? FileState::Empty : FileState::Good;
}

// The engine's check of every page of a file openCheckpointed found Good or Empty.
FileState checkPages(sqlite3* db, const QString& path, FileState opened) {
    QString out;
    if (!pragmaText(db, "PRAGMA quick_check", out)) {
        const int code = sqlite3_errcode(db);
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED) busy(path, out);
        return FileState::Damaged;
    }
    return out == QLatin1String("ok") ? opened : FileState::Damaged;
}

// Free pages as a share of all pages.
double freeShare(sqlite3* db) {
    QString pages, freePages;
    pragmaText(db, "PRAGMA page_count", pages);
    pragmaText(db, "PRAGMA freelist_count", freePages);
    const double total = pages.toDouble();
    return total > 0 ? freePages.toDouble() / total : 0.0;
}

FileState checkAndCheckpoint(const QString& path, double* freeRatio = nullptr) {
    Sqlite s;
    FileState state = openCheckpointed(path, s);
    if (state == FileState::Good || state == FileState::Empty)
        state = checkPages(s.db, path, state);
    if (freeRatio && state == FileState::Good) *freeRatio = freeShare(s.db);
    return state;
}

void syncFile(const QString& path) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::close(fd);
    }
}

void replaceFile(const QString& from, const QString& to) {
    std::error_code ec;
    fs::rename(native(from), native(to), ec);
    if (ec)
        throw RunError(err::kFileAccess, QStringLiteral("rename %1 to %2: %3")
                                             .arg(from, to, QString::fromStdString(ec.message())));
}

void removeFile(const QString& path) {
    std::error_code ec;
    fs::remove(native(path), ec);
}

// A damaged file and its journal files are kept under a new name for recovery by hand.
QString setAside(const QString& path) {
    const QString aside =
        path + QStringLiteral(".damaged-") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    replaceFile(path, aside);
    const QString wal = path + QStringLiteral("-wal");
    if (QFileInfo::exists(wal)) replaceFile(wal, aside + QStringLiteral("-wal"));
    removeFile(path + QStringLiteral("-shm")); // index only, rebuilt from the log
    return aside;
}

// Copies every row that can still be read from a damaged file into a fresh one.
void salvage(const QString& damaged, const QString& fresh) {
    Database out;
    out.open(fresh);
    ensure_schema(out);
    Sqlite in;
    if (sqlite3_open_v2(damaged.toUtf8().constData(), &in.db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK)
        return;
    // A file shorter than its header says is refused as a whole unless the schema may be
    // damaged; then every page still there can be read.
    sqlite3_exec(in.db, "PRAGMA writable_schema=ON", nullptr, nullptr, nullptr);
    for (const char* table : kTables) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QByteArray("SELECT * FROM ") + table;
        if (sqlite3_prepare_v2(in.db, sql.constData(), -1, &st, nullptr) != SQLITE_OK) continue;
        Database::Transaction tx(out);
        const int n = sqlite3_column_count(st);
        QStringList cols, marks;
        for (int i = 0; i < n; ++i) {
            cols << QLatin1Char('"') + QString::fromUtf8(sqlite3_column_name(st, i)) +
                        QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        try {
            Statement ins =
                out.prepare(QStringLiteral("INSERT OR IGNORE INTO ") + QLatin1String(table) +
                            QStringLiteral(" (") + cols.join(',') + QStringLiteral(") VALUES (") +
                            marks.join(',') + QStringLiteral(")"));
            while (sqlite3_step(st) == SQLITE_ROW) {
                for (int i = 0; i < n; ++i) {
                    switch (sqlite3_column_type(st, i)) {
                    case SQLITE_INTEGER:
                        ins.bind(i + 1, qint64(sqlite3_column_int64(st, i)));
                        break;
                    case SQLITE_FLOAT:
                        ins.bind(i + 1, sqlite3_column_double(st, i));
                        break;
                    case SQLITE_TEXT:
                        ins.bind(i + 1, QString::fromUtf8(reinterpret_cast<const char*>(
                                                              sqlite3_column_text(st, i)),
                                                          sqlite3_column_bytes(st, i)));
                        break;
                    case SQLITE_BLOB:
                        ins.bind(i + 1,
                                 QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                            sqlite3_column_bytes(st, i)));
                        break;
                    default:
                        ins.bind(i + 1, QVariant());
                    }
                }
                ins.run();
            }
        } catch (const RunError&) {
            // A table whose columns no longer fit: keep what the others give.
        }
        sqlite3_finalize(st);
        tx.commit();
    }
    out.close();
    sqlite3_close_v2(in.db);
    in.db = nullptr;
    removeFile(damaged + QStringLiteral("-shm")); // left by the read, index only
}

// Rewrites a database without its free pages.
void compactInto(const QString& from, const QString& to) {
    removeFile(to);
    Database src;
    src.open(from);
    Statement st = src.prepare(QStringLiteral("VACUUM INTO ?"));
    st.bind(1, to);
    st.run();
}

} // namespace

bool database_init(AppContext& ctx) {
    ctx.settings.reset();
    ctx.db.close();
    const QString work = ctx.appPath + kDataFile;
    const QString backup = ctx.appPath + kBackupFile;
    const QString scratch = ctx.appPath + kScratchFile;

    return guard(ctx, QStringLiteral("database_init"), [&] {
        const auto setAsideLogged = [&](const QString& path, const QString& why) {
            const QString aside = setAside(path);
            print_error(ctx, QStringLiteral("database_init"),
                        why + QStringLiteral(" set aside as ") + aside, 0, {});
            return aside;
        };
        double freeRatio = 0.0;
        FileState state;
        {
            Sqlite w;
            state = openCheckpointed(work, w);
            // When the backup holds these very bytes, copied from them after they passed the
            // check, neither the check nor the copy can change a thing.
            const bool unchanged = state == FileState::Good && holdsCertifiedCopyOf(backup, work);
            // The copy is written while the pages are checked (the read transaction holds the
            // bytes still) and takes the backup's name only once they passed.
            std::optional<StagedCopy> copy;
            if (!unchanged && state == FileState::Good) copy.emplace(work, backup, true);
            if (!unchanged && (state == FileState::Good || state == FileState::Empty))
                state = checkPages(w.db, work, state);
            if (state == FileState::Good) {
                freeRatio = freeShare(w.db);
                if (copy) copy->commit();
            }
        }
        if (state != FileState::Good) {
            const FileState saved = checkAndCheckpoint(backup);
            // A working file without the tables is damaged when the backup holds more: it
            // must not replace the backup at the next start.
            QString salvageFrom;
            if (state == FileState::Damaged)
                salvageFrom = setAsideLogged(work, QStringLiteral("damaged database"));
            else if (state == FileState::Empty &&
                     (saved == FileState::Good || saved == FileState::Damaged))
                setAsideLogged(work, QStringLiteral("database without tables"));
            // A damaged backup is kept aside too, and its rows are the ones left to salvage
            // when the working file gave none.
            if (saved == FileState::Damaged) {
                const QString aside = setAsideLogged(backup, QStringLiteral("damaged backup"));
                if (salvageFrom.isEmpty() && !QFileInfo::exists(work)) salvageFrom = aside;
            }
            if (saved == FileState::Good && !QFileInfo::exists(work)) {
                copyReplacing(backup, work);
            } else if (!salvageFrom.isEmpty()) {
                salvage(salvageFrom, scratch);
                replaceFile(scratch, work);
            }
            state = checkAndCheckpoint(work, &freeRatio);
        }

        if (state == FileState::Good || state == FileState::Empty) {
            // Rebuild through the scratch copy only when free space is worth reclaiming; the
            // working file is then replaced in one rename.
            removeFile(scratch);
            if (freeRatio >= kCompactFromFreeShare) {
                compactInto(work, scratch);
                syncFile(scratch);
                replaceFile(scratch, work);
            }
        }
        removeFile(scratch);

        ctx.db.open(work);
        ensure_schema(ctx.db);
        if (sqlite3_db_readonly(ctx.db.handle(), "main") == 1)
            print_error(ctx, QStringLiteral("database_init"),
                        work + QStringLiteral(" is read-only: nothing will be saved"), 0, {});
        return true;
    });
}

} // namespace vorna

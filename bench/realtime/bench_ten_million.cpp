// Ten years of samples: 10,000,000 realtime rows (or the count given) over ten plants, a
// sample every five minutes, 274 a day from 2015 on, and 100 downloaded measurements of plant
// 1. For plant 1 (a tenth of the rows): the browser's day list, the report window's
// measurement list (its 2001 entries, then the overflow the list stops at) and the browser's
// range query of its middle day. Medians of 11 (target under 50 ms each for the two lists, flat as
// the table grows: run it with 1,000,000 to compare).
//
//   bench_ten_million [folder] [rows]   (a folder keeps its database from one run to the next)

#include "app_context.h"
#include "bench_figures.h"
#include "database_init.h"
#include "measurement_list.h"
#include "schema.h"
#include "scripted_prompts.h"
#include "stored_samples.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorna;

namespace {

constexpr int kPlants = 10;
constexpr int kPerDay = 274;
constexpr int kRuns = 11;

void fill(Database& db, qint64 rows) {
    ensure_schema(db);
    // Rows go in faster without the index, which is built once at the end.
    db.exec(QStringLiteral("DROP INDEX realtime_idimp_data_ora"));
    Database::Transaction tx(db);
    for (int p = 1; p <= kPlants; ++p)
        db.exec(QStringLiteral("INSERT INTO impianti (nome, indirizzo, NUMCIV, comune, POT) "
                               "VALUES ('Plant %1', 'Via Roma', '1', 'Torino', 10)")
                    .arg(p));
    db.exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                "INSERT INTO realtime (IDIMP, NUMERO, data, ora, rad, POTRAD, TEMPAMB, TEMPPAN, "
                "VDC1, VDC2, VDC3, IDC1, IDC2, IDC3, VAC1, VAC2, VAC3, IAC1, IAC2, IAC3, POTDC, "
                "POTAC, RENDDC, RENDAC, ESITODC, ESITOAC, COEFFTEMP, REAL2, TEXT1, TEXT2) "
                "SELECT 1 + i % %2, i / %2 % %3 + 1, "
                "date('2015-01-01', '+' || (i / %2 / %3) || ' days'), "
                "time(300 * (i / %2 % %3), 'unixepoch'), 800.5 + i % 7, 12.25, 24.5, 41.75, "
                "612.5, -10000, -10000, 8.5, -10000, -10000, 231.5, 230.25, 229.75, 12.5, "
                "12.25, 12.75, 5120.5, 4980.25, 0.8712, 0.9645, 1, i % 3 > 0, 1.012, 0.85, "
                "'FV 2.1.5', 'ZMB 4.5' FROM n")
                .arg(rows - 1)
                .arg(kPlants)
                .arg(kPerDay));
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 99) "
        "INSERT INTO acquisizioni (IDIMP, data, ora, rad, ESITODC, ESITOAC) "
        "SELECT 1, date('2016-03-01', '+' || i || ' days'), '10:30:00', 850, 1, i % 2 FROM n"));
    tx.commit();
    ensure_schema(db);
}

template <typename F> double medianSeconds(F&& work) {
    std::vector<double> s;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        s.push_back(t.nsecsElapsed() / 1e9);
    }
    return bench::median(s);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = (argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path()) + '/';
    const qint64 rows = argc > 2 ? QByteArray(argv[2]).toLongLong() : 10000000;
    if (!QDir().mkpath(folder)) {
        std::printf("cannot create the folder %s\n", qPrintable(folder));
        return 1;
    }
    test::ScriptedPrompts prompts;
    AppContext ctx(prompts, folder, QLocale(QLocale::English, QLocale::UnitedStates));
    const QString file = folder + kDataFile;
    const bool fresh = !QFile::exists(file);
    ctx.db.open(file);
    if (fresh) {
        QElapsedTimer t;
        t.start();
        fill(ctx.db, rows);
        std::printf("%lld samples stored in %.1f s\n", rows, t.nsecsElapsed() / 1e9);
    }
    std::printf("realtime rows: %lld, %lld of plant 1; file %.0f MiB; load %s\n",
                ctx.db.scalar("SELECT COUNT(*) FROM realtime"),
                ctx.db.scalar("SELECT COUNT(*) FROM realtime WHERE IDIMP=1"),
                QFileInfo(file).size() / 1048576.0, qPrintable(bench::machineLoad()));

    std::vector<QDate> days;
    const double dayList = medianSeconds([&] { days = storedSampleDays(ctx.db, 1); });
    std::printf("day list of plant 1 (%zu days): median %.4f s; target under 0.05 s\n", days.size(),
                dayList);

    qsizetype entries = 0;
    const double measurements = medianSeconds([&] {
        MeasurementEntries list;
        try {
            fillMeasurementEntries(ctx, 1, list);
        } catch (const std::exception&) {
            // The list is full: the window's error path, the entries made so far stay.
        }
        entries = list.texts.size();
    });
    std::printf("measurement list of plant 1 (%lld entries): median %.4f s; target under 0.05 s\n",
                qlonglong(entries), measurements);

    size_t samples = 0;
    const QDate day = days.empty() ? QDate() : days[days.size() / 2];
    const double range = medianSeconds([&] {
        std::vector<SampleRow> read;
        forEachStoredSample(ctx.db, 1, day, QTime(1, 0), QTime(22, 59),
                            [&](Statement& row) { read.push_back(readStoredSample(row)); });
        samples = read.size();
    });
    std::printf("browser's range query, plant 1 on %s (%zu rows): median %.4f s\n",
                qPrintable(day.toString(Qt::ISODate)), samples, range);
    std::printf("load %s\n", qPrintable(bench::machineLoad()));
    return 0;
}

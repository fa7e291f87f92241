// Start-up of the main window to its first paint: with a fresh data folder (empty database)
// and with a database holding 1,000,000 real-time samples. Each case starts the window a few
// times on the same folder, as a user starting the program day after day.

#include "app_context.h"
#include "database.h"
#include "database_init.h"
#include "main_window.h"
#include "schema.h"
#include "scripted_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vorna;

namespace {

// Catches the window's first paint.
struct FirstPaint : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

void fillRealtime(const QString& folder, int rows) {
    Database db;
    db.open(folder + QLatin1Char('/') + kDataFile);
    ensure_schema(db);
    db.exec(QStringLiteral("INSERT INTO impianti (NOME, COMUNE, POT, NOCT, REAL1) "
                           "VALUES ('Bench plant', 'Bench town', 10, 45, -0.45)"));
    Database::Transaction tx(db);
    Statement st = db.prepare(QStringLiteral(
        "INSERT INTO realtime (IDIMP, NUMERO, data, ora, rad, TEMPAMB, TEMPPAN, VDC1, IDC1, "
        "VAC1, IAC1, POTDC, POTAC, RENDDC, RENDAC, ESITODC, ESITOAC) "
        "VALUES (1, ?, ?, ?, ?, 25.0, 45.0, 410.5, 7.25, 230.1, 12.5, 2.98, 2.87, 0.91, 0.96, 1, "
        "1)"));
    const QDate start(2024, 1, 1);
    for (int i = 0; i < rows; ++i) {
        const int second = i * 10; // a sample every 10 s
        st.bind(1, i + 1)
            .bind(2, start.addDays(second / 86400).toString(Qt::ISODate))
            .bind(3, QTime(0, 0).addSecs(second % 86400).toString(QStringLiteral("HH:mm:ss")))
            .bind(4, 200.0 + (i % 900));
        st.run();
        st.reset();
    }
    tx.commit();
}

// One start: construct, start-up sequence, show, until the first paint. Milliseconds.
double startOnce(const QString& folder) {
    test::ScriptedPrompts prompts;
    QElapsedTimer t;
    t.start();
    AppContext ctx(prompts, folder);
    MainWindow window(ctx, folder);
    FirstPaint probe;
    window.installEventFilter(&probe);
    window.MDIForm_Load();
    window.show();
    while (!probe.painted && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double ms = t.nsecsElapsed() / 1e6;
    window.close();
    return ms;
}

void runCase(const char* name, const QString& folder, int starts) {
    std::vector<double> times;
    for (int i = 0; i < starts; ++i)
        times.push_back(startOnce(folder));
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("%-34s first %8.1f ms   median %8.1f ms   best %8.1f ms   (%d starts, %.1f MB)\n",
                name, first, times[times.size() / 2], times.front(), starts,
                QFileInfo(folder + QLatin1Char('/') + kDataFile).size() / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(0, atoi(argv[1])) : 1000000;

    QTemporaryDir empty, full;
    runCase("empty database", empty.path(), 5);

    QElapsedTimer t;
    t.start();
    fillRealtime(full.path(), rows);
    std::printf("(filled %d realtime rows in %.1f s)\n", rows, t.elapsed() / 1000.0);
    runCase(qPrintable(QStringLiteral("%1 realtime rows").arg(rows)), full.path(), 3);

    // How much of that is the database's own start-up (backup, check, open).
    test::ScriptedPrompts prompts;
    AppContext ctx(prompts, full.path());
    t.restart();
    database_init(ctx);
    std::printf("%-34s %8.1f ms\n", "  of which database_init", t.nsecsElapsed() / 1e6);
    return 0;
}

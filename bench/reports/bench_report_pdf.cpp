// Writing the reports as PDF: the Italian measurement sheet and the certificate of a passed
// three-phase measurement, each made by its generator, laid out and written to a file, as the
// report button does once a name is chosen. Prints the median and the best of RUNS writes
// (default 21); FOLDER keeps the files.
#include "bench_setup.h"
#include "dichiarazione.h"
#include "report_fixture.h"
#include "report_pdf.h"
#include "scheda_misurazioni.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

using namespace vorna;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? args[1].toInt() : 21;
    test::ReportEnv env(4, QLocale::Italian);
    const QString folder = args.size() > 2 ? args[2] : env.env.dir.path();
    QDir().mkpath(folder);

    const struct {
        const char* name;
        QByteArray (*make)(AppContext&);
        QString title;
    } documents[] = {
        {"sheet", make_scheda_misurazioni, QStringLiteral("SCHEDA MISURAZIONI IMPIANTO")},
        {"certificate", make_dichiarazione_ver2, QStringLiteral("CERTIFICATO DI COLLAUDO")},
    };
    for (const auto& d : documents) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(d.name) + ".pdf";
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            write_report_pdf(path, d.make(env.ctx),
                             {d.title, env.ctx.reportLogo, QStringLiteral("VORNA REPORT")});
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::printf("%-12s as PDF: median %6.1f ms   best %6.1f ms   (%d writes, %lld bytes; "
                    "target: median < 100 ms)\n",
                    d.name, bench::percentile(ms, 0.5), bench::percentile(ms, 0), runs,
                    QFileInfo(path).size());
    }
    return 0;
}

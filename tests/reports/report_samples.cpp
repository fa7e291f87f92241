// Writes sample measurement sheets and a certificate into a folder, for looking at them in a
// browser (scripts/screenshot-reports renders them).
#include "report_fixture.h"

#include "app_context.h"
#include "dichiarazione.h"
#include "report_file.h"
#include "scheda_misurazioni.h"

#include <QDir>
#include <cstdio>

using namespace vorna;
using namespace vorna::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: report-samples <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const auto save = [&](const char* name, const QByteArray& bytes) {
        write_report_file(out.filePath(QString::fromLatin1(name)), bytes);
        std::printf("%s\n", qPrintable(out.filePath(QString::fromLatin1(name))));
    };
    try {
        ReportEnv en(0, pointLocale());
        save("sheet-english.htm", make_scheda_misurazioni(en.ctx));

        ReportEnv it(4, commaLocale());
        save("sheet-italian.htm", make_scheda_misurazioni(it.ctx));
        save("certificate-italian.htm", make_dichiarazione_ver2(it.ctx));

        // A failed single-phase measurement with missing readings, in German.
        ReportEnv de(3, QLocale(QLocale::German, QLocale::Germany));
        MeasurementRecord& r = de.ctx.measurement;
        r.VAC2 = r.IAC2 = r.VAC3 = r.IAC3 = kNoChannel;
        r.VDC2 = kNoChannel;
        r.IDC2 = 9.75;
        r.rad = 2000.5;
        r.REAL2 = 0.7123;
        r.ESITOAC = false;
        de.ctx.plant.BOOL1 = true;
        save("sheet-german-fault.htm", make_scheda_misurazioni(de.ctx));

        ReportEnv fr(1, QLocale(QLocale::French, QLocale::France));
        fr.ctx.plant.nome = QStringLiteral("Rossi & Figli <B> \"Łódź\"");
        fr.ctx.plant.CODFISC.clear();
        save("sheet-french-hostile-name.htm", make_scheda_misurazioni(fr.ctx));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "report-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}

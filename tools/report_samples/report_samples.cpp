// Writes sample documents into a folder for scripts/screenshot-reports; not a test.
#include "report_fixture.h"

#include "app_context.h"
#include "dichiarazione.h"
#include "report_file.h"
#include "scheda_misurazioni.h"

#include <QDir>
#include <cstdio>

using namespace vorna;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: report-samples <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const auto save = [&](const QString& name, const QByteArray& bytes) {
        write_report_file(out.filePath(name), bytes);
        std::printf("%s\n", qPrintable(out.filePath(name)));
    };
    try {
        const char* const languages[] = {"english", "french", "spanish", "german", "italian"};
        for (int lang = 0; lang <= 4; ++lang)
            save(QStringLiteral("sheet-%1.htm").arg(languages[lang]),
                 make_scheda_misurazioni(test::ReportEnv(lang).ctx));
        test::ReportEnv e(4, QLocale::Italian);
        save(QStringLiteral("certificate.htm"), make_dichiarazione_ver2(e.ctx));
        // A failed single-phase measurement with readings missing, for a plant with markup in
        // its name.
        MeasurementRecord& r = e.ctx.measurement;
        r.VAC2 = r.IAC2 = r.VAC3 = r.IAC3 = r.VDC2 = kNoChannel;
        r.IDC2 = 9.75;
        r.rad = r.REAL2 = kNoValue;
        r.ESITOAC = false;
        e.ctx.plant.nome = QStringLiteral("Rossi & Figli <B> \"Łódź\"");
        save(QStringLiteral("sheet-italian-fault.htm"), make_scheda_misurazioni(e.ctx));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "report-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}

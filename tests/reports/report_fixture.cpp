#include "report_fixture.h"

#include "app_context.h"
#include "data_store.h"
#include "database_init.h"
#include "message_data.h"

#include <stdexcept>

namespace vorna::test {

ReportEnv::ReportEnv(int language, const QLocale& locale) : env(locale), ctx(*env.ctx) {
    if (!database_init(ctx)) throw std::runtime_error(env.debugLog().toStdString());
    // DC line 2 holds the idle pair (8000 V, 800 A); DC line 3 is absent.
    ctx.db.exec(QStringLiteral(
        "INSERT INTO impostazioni (LINGUA, logo, model, serial) "
        "VALUES (0, 'Studio Tecnico Bianchi', ' ', '07-1234');"
        "INSERT INTO impianti (nome, indirizzo, NUMCIV, cap, comune, CODFISC, POT, BOOL1, NOCT,"
        " REAL1) VALUES ('Rossi Mario', 'Via Roma', '12', '20157', 'Milano', 'RSSMRA80A01F205X',"
        " 5.88, 0, 45, -0.45);"
        "INSERT INTO acquisizioni (IDIMP, data, ora, rad, POTRAD, TEMPAMB, TEMPPAN, VDC1, VDC2,"
        " VDC3, IDC1, IDC2, IDC3, VAC1, VAC2, VAC3, IAC1, IAC2, IAC3, POTDC, POTAC, RENDDC,"
        " RENDAC, ESITODC, ESITOAC, COEFFTEMP, REAL2, TEXT1, TEXT2) VALUES (1, '2026-06-15',"
        " '11:32:50', 853.2, 4.6912, 27.5, 48.1, 412.3, 8000, -10000, 11.02, 800, -10000, 230.1,"
        " 229.8, 231.4, 6.52, 6.47, 6.55, 4.543, 4.312, 0.9684, 0.9491, 1, 1, 0.9352, 0.8012,"
        " 'FV 2.1.5', 'ZMB 4.4')"));
    fillMessages(ctx.messaggi, 0, 299, builtInMessageData());
    ctx.languageIndex = language;
    ctx.swVersion = QStringLiteral("ZMB 4.5");
    loadSample();
}

void ReportEnv::loadSample() {
    ctx.db.exec(QStringLiteral("UPDATE impostazioni SET serial = '07-1234'"));
    ctx.settings =
        std::make_unique<RecordSet>(RecordSet::table(ctx.db, QStringLiteral("impostazioni")));
    ctx.fwVersionText = QStringLiteral("FV 2.1.7");
    if (!leggi_parametri_report(ctx) || !leggi_impianto_per_ID(ctx, 1) ||
        !leggi_acquisizione_per_ID(ctx, 1, MeasurementSource::Downloaded))
        throw std::runtime_error(env.debugLog().toStdString());
}

} // namespace vorna::test

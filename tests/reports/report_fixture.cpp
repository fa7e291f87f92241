#include "report_fixture.h"

#include "app_context.h"
#include "data_store.h"
#include "database_init.h"
#include "dichiarazione.h"
#include "message_data.h"
#include "scheda_misurazioni.h"

#include <stdexcept>

namespace vorna::test {

ReportEnv::ReportEnv(int language, const QLocale& locale) : env(locale), ctx(*env.ctx) {
    if (!database_init(ctx))
        throw std::runtime_error("database_init failed: " + env.debugLog().toStdString());
    ctx.db.exec(QStringLiteral("INSERT INTO impostazioni (LINGUA, logo, model, serial) VALUES "
                               "(0, 'Studio Tecnico Bianchi', ' ', '07-1234')"));
    ctx.settings =
        std::make_unique<RecordSet>(RecordSet::table(ctx.db, QStringLiteral("impostazioni")));
    fillMessages(ctx.messaggi, 0, 299, builtInMessageData());
    ctx.languageIndex = language;
    ctx.fwVersionText = QStringLiteral("FV 2.1.7");
    ctx.swVersion = QStringLiteral("ZMB 4.5");
    if (!leggi_parametri_report(ctx)) throw std::runtime_error("leggi_parametri_report failed");
    loadSamplePlant(ctx);
    loadSampleMeasurement(ctx);
}

void ReportEnv::setSerial(const QString& serial) {
    ctx.settings->moveFirst();
    ctx.settings->edit();
    ctx.settings->setField(QStringLiteral("serial"), serial);
    ctx.settings->update();
}

QString ReportEnv::sheet() {
    return QString::fromLatin1(make_scheda_misurazioni(ctx));
}
QString ReportEnv::certificate() {
    return QString::fromLatin1(make_dichiarazione_ver2(ctx));
}

void loadSamplePlant(AppContext& ctx) {
    PlantRecord& p = ctx.plant;
    p = PlantRecord{};
    p.ID = 1;
    p.nome = QStringLiteral("Rossi Mario");
    p.indirizzo = QStringLiteral("Via Roma");
    p.NUMCIV = QStringLiteral("12");
    p.cap = QStringLiteral("20157");
    p.comune = QStringLiteral("Milano");
    p.CODFISC = QStringLiteral("RSSMRA80A01F205X");
    p.POT = 5.88;
    p.BOOL1 = false;
    p.NOCT = 45;
    p.REAL1 = -0.45;
}

void loadSampleMeasurement(AppContext& ctx) {
    MeasurementRecord& r = ctx.measurement;
    r = MeasurementRecord{};
    r.data = QDate(2026, 6, 15);
    r.ora = QTime(11, 32, 50);
    r.rad = 853.2;
    r.TEMPAMB = 27.5;
    r.TEMPPAN = 48.1;
    r.COEFFTEMP = 0.9352;
    r.POTRAD = 4.6912;
    r.VDC1 = 412.3;
    r.IDC1 = 11.02;
    r.VDC2 = 8000;
    r.IDC2 = 800;
    r.VDC3 = kNoChannel;
    r.IDC3 = kNoChannel;
    r.VAC1 = 230.1;
    r.IAC1 = 6.52;
    r.VAC2 = 229.8;
    r.IAC2 = 6.47;
    r.VAC3 = 231.4;
    r.IAC3 = 6.55;
    r.POTDC = 4.543;
    r.POTAC = 4.312;
    r.RENDDC = 0.9684;
    r.RENDAC = 0.9491;
    r.REAL2 = 0.8012;
    r.ESITOAC = true;
    r.TEXT1 = QStringLiteral("FV 2.1.5");
    r.TEXT2 = QStringLiteral("ZMB 4.4");
}

QString between(const QString& text, const QString& from, const QString& to) {
    const qsizetype a = text.indexOf(from);
    if (a < 0) return {};
    const qsizetype b = text.indexOf(to, a + from.size());
    if (b < 0) return {};
    return text.mid(a, b - a);
}

} // namespace vorna::test

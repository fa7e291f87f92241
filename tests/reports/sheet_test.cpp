#include "report_fixture.h"

#include "app_context.h"
#include "scheda_misurazioni.h"

#include <gtest/gtest.h>

namespace vorna::test {
namespace {

constexpr int kEnglish = 0;
constexpr int kItalian = 4;

QString dcSection(const QString& doc) {
    return between(doc, QStringLiteral("DC ELECTRICAL MEASURES"), QStringLiteral("AC ELECTRICAL"));
}
QString acSection(const QString& doc) {
    return between(doc, QStringLiteral("AC ELECTRICAL MEASURES"), QStringLiteral("AC POWER"));
}

TEST(ReportSheet, IrradianceUpTo2000IsPrintedAboveOrMissingIsDashes) {
    ReportEnv e(kEnglish);
    e.ctx.measurement.rad = 2000;
    EXPECT_TRUE(e.sheet().contains(QStringLiteral("Radiation: 2000 W/m<sup>2</sup>")));
    e.ctx.measurement.rad = 2000.5;
    EXPECT_TRUE(e.sheet().contains(QStringLiteral("Radiation: ---\r")));
    e.ctx.measurement.rad = -2000;
    const QString doc = e.sheet();
    EXPECT_TRUE(doc.contains(QStringLiteral("Radiation: ---\r")));
    EXPECT_FALSE(doc.contains(QStringLiteral("-2000")));
}

TEST(ReportSheet, ThreePhaseAndSinglePhaseAc) {
    ReportEnv e(kEnglish);
    QString ac = acSection(e.sheet());
    EXPECT_TRUE(ac.contains(QStringLiteral("V1: 230.1 V")));
    EXPECT_TRUE(ac.contains(QStringLiteral("I2: 6.47 A")));
    EXPECT_TRUE(ac.contains(QStringLiteral("V3: 231.4 V")));

    MeasurementRecord& r = e.ctx.measurement;
    r.VAC2 = r.IAC2 = r.VAC3 = r.IAC3 = kNoChannel;
    ac = acSection(e.sheet());
    EXPECT_TRUE(ac.contains(QStringLiteral("I1: 6.52 A")));
    EXPECT_FALSE(ac.contains(QStringLiteral("V2")));
    EXPECT_FALSE(ac.contains(QStringLiteral("I3")));
}

TEST(ReportSheet, IdlePairsAreLeftOutOnlyOnTheirOwnSide) {
    ReportEnv e(kEnglish);
    MeasurementRecord& r = e.ctx.measurement;
    // Sample: DC line 2 holds the DC idle pair, DC line 3 is absent.
    QString doc = e.sheet();
    EXPECT_TRUE(dcSection(doc).contains(QStringLiteral("V1: 412.3 V")));
    EXPECT_FALSE(dcSection(doc).contains(QStringLiteral("V2")));
    EXPECT_FALSE(dcSection(doc).contains(QStringLiteral("V3")));

    r.VAC2 = 8000;
    r.IAC2 = 800;
    doc = e.sheet();
    EXPECT_TRUE(acSection(doc).contains(QStringLiteral("V2: 8000 V")));
    EXPECT_TRUE(acSection(doc).contains(QStringLiteral("I2: 800 A")));

    r.VAC2 = 800;
    r.VDC2 = 800;
    doc = e.sheet();
    EXPECT_FALSE(acSection(doc).contains(QStringLiteral("V2")));
    EXPECT_TRUE(dcSection(doc).contains(QStringLiteral("V2: 800 V")));
}

TEST(ReportSheet, ReservedValuesInsideAWrittenPair) {
    ReportEnv e(kEnglish);
    MeasurementRecord& r = e.ctx.measurement;
    r.VDC2 = kNoChannel;
    r.IDC2 = 9.75;
    r.VAC3 = 230;
    r.IAC3 = kNoValue;
    r.VAC1 = kNoChannel; // line 1 is always written; only -2000 is "---" there
    r.IAC1 = kNoValue;
    const QString doc = e.sheet();
    EXPECT_TRUE(dcSection(doc).contains(QStringLiteral("V2: ---\r")));
    EXPECT_TRUE(dcSection(doc).contains(QStringLiteral("I2: 9.75 A")));
    EXPECT_TRUE(acSection(doc).contains(QStringLiteral("I3: ---\r")));
    EXPECT_TRUE(acSection(doc).contains(QStringLiteral("V1: -10000 V")));
    EXPECT_TRUE(acSection(doc).contains(QStringLiteral("I1: ---\r")));
}

TEST(ReportSheet, ResultRowSpansInEnglishAndSplitsInItalian) {
    ReportEnv en(kEnglish);
    QString doc = en.sheet();
    EXPECT_TRUE(doc.contains(QStringLiteral("<td colspan= \"2\">\r<font face=\"Geneva, Arial, "
                                            "Helvetica, sans-serif\" size=\"1\">\rPERFORMANCE "
                                            "INDEX PRp: 0.8012\r")));
    EXPECT_FALSE(doc.contains(QStringLiteral("ESITO TEST")));

    ReportEnv it(kItalian, commaLocale());
    doc = it.sheet();
    const QString row =
        between(doc, QStringLiteral("INDICE DI PRESTAZIONE PRp"), QStringLiteral("</tr>"));
    EXPECT_TRUE(row.startsWith(QStringLiteral("INDICE DI PRESTAZIONE PRp: 0,8012\r")));
    EXPECT_TRUE(row.contains(QStringLiteral("ESITO TEST: PASS\r")));
    EXPECT_FALSE(doc.contains(QStringLiteral("colspan= ")));
    it.ctx.measurement.ESITOAC = false;
    EXPECT_TRUE(it.sheet().contains(QStringLiteral("ESITO TEST: FAULT\r")));
}

TEST(ReportSheet, PlantIdentityAndEmptyTexts) {
    ReportEnv e(kEnglish);
    QString doc = e.sheet();
    EXPECT_TRUE(doc.contains(QStringLiteral("Photovoltaic plant installed in:\r")));
    EXPECT_TRUE(doc.contains(QStringLiteral("\rRossi Mario\r")));
    EXPECT_TRUE(doc.contains(QStringLiteral("\rVia Roma, 12 - Milano\r")));
    EXPECT_TRUE(doc.contains(QStringLiteral("Measures carried out on (dd/mm/yyyy hh:mm): "
                                            "15/06/2026 11:32\r")));
    EXPECT_TRUE(
        doc.contains(QStringLiteral("Instrument used: VORNA METER PV 100, S/N: 07-1234\r")));
    EXPECT_TRUE(doc.contains(QStringLiteral("PLANT'S RATED POWER: 5.88 kW\r")));
    EXPECT_TRUE(doc.contains(QStringLiteral("INVERTER POWER: &le; 20 kW\r")));
    EXPECT_FALSE(doc.contains(QStringLiteral("20157"))); // the postcode is not printed

    e.ctx.plant.nome.clear();
    e.ctx.plant.CODFISC.clear();
    e.ctx.plant.BOOL1 = true;
    doc = e.sheet();
    const QString nbspCell = QStringLiteral("size=\"1\">\r&nbsp;\r</font>");
    const QString plantRows =
        between(doc, QStringLiteral("installed in:"), QStringLiteral("Measures"));
    EXPECT_EQ(plantRows.count(nbspCell), 4); // name, tax code and the two label cells
    EXPECT_TRUE(doc.contains(QStringLiteral("INVERTER POWER: > 20 kW\r")));
}

TEST(ReportSheet, NumbersFollowTheRegionalSeparator) {
    ReportEnv point(kEnglish, pointLocale());
    ReportEnv comma(kItalian, commaLocale());
    for (ReportEnv* e : {&point, &comma}) {
        MeasurementRecord& r = e->ctx.measurement;
        r.POTRAD = 0.1 + 0.2; // 15 significant digits
        r.TEMPAMB = -3.50;    // no trailing zeros
        r.POTDC = 12345.5;    // no grouping
        r.COEFFTEMP = 1.0;
        r.TEMPPAN = kNoValue; // no unit after "---"
    }
    const QString p = point.sheet();
    EXPECT_TRUE(p.contains(QStringLiteral("THEORETICAL AVAILABLE POWER  [kW]: 0.3\r")));
    EXPECT_TRUE(p.contains(QStringLiteral("Air Temp.: -3.5 °C\r")));
    EXPECT_TRUE(p.contains(QStringLiteral("DC POWER: 12345.5 kW\r")));
    EXPECT_TRUE(p.contains(QStringLiteral("Temp. Coeff.: 1\r")));
    EXPECT_TRUE(p.contains(QStringLiteral("Module Temp.: ---\r")));
    EXPECT_TRUE(p.contains(QStringLiteral("Gamma: -0.45\r")));

    const QString c = comma.sheet();
    EXPECT_TRUE(c.contains(QStringLiteral("POTENZA TEORICA DISPONIBILE [kW]: 0,3\r")));
    EXPECT_TRUE(c.contains(QStringLiteral("Temp. Ambiente: -3,5 °C\r")));
    EXPECT_TRUE(c.contains(QStringLiteral("POTENZA DC: 12345,5 kW\r")));
    EXPECT_TRUE(c.contains(QStringLiteral("Gamma: -0,45\r")));
    EXPECT_TRUE(c.contains(QStringLiteral("Misure eseguite in data (dd/mm/yyyy hh:mm): "
                                          "15/06/2026 11:32\r")));
}

TEST(ReportSheet, LegendPassRulesAndClosingComments) {
    ReportEnv e(kEnglish);
    e.ctx.measurement.TEXT1.clear();
    const QString doc = e.sheet();
    EXPECT_TRUE(
        doc.contains(QStringLiteral("Rfv2 = 1 (if Tcel &le; 40°C); Rfv2 = 1 - (Tcel - 40) * "
                                    "|gamma| / 100 (if Tcel > 40°C);\r")));
    EXPECT_TRUE(doc.contains(QStringLiteral("<li>\r<font face=\"Geneva, Arial, Helvetica, "
                                            "sans-serif\" size=\"1\">\rFAULT with Pinv > 20 kW and "
                                            "PRp < 0.80;\r")));
    EXPECT_TRUE(doc.endsWith(QStringLiteral("</html>\r<!-- m: 07-1234 -->\r<!-- f:  -->\r"
                                            "<!-- sr. log: ZMB 4.4 -->\r<!-- fa: FV 2.1.7 -->\r"
                                            "<!-- sra: ZMB 4.5 -->\r")));
    EXPECT_FALSE(doc.contains(QLatin1Char('\n')));
}

TEST(ReportSheet, FailuresLogTheRoutineAndGiveNothing) {
    ReportEnv e(kEnglish);
    e.ctx.languageIndex = 6;
    EXPECT_TRUE(make_scheda_misurazioni(e.ctx).isEmpty());
    EXPECT_TRUE(e.env.debugLog().contains(QStringLiteral("make_scheda_misurazioni")));

    ReportEnv spare(5); // the spare column is empty but valid
    EXPECT_FALSE(make_scheda_misurazioni(spare.ctx).isEmpty());

    ReportEnv noSettings(kEnglish);
    noSettings.ctx.settings.reset();
    EXPECT_TRUE(make_scheda_misurazioni(noSettings.ctx).isEmpty());
}

} // namespace
} // namespace vorna::test

#include "report_fixture.h"

#include "app_context.h"
#include "dichiarazione.h"

#include <gtest/gtest.h>

namespace vorna::test {
namespace {

const QString kBody = QStringLiteral("<font face=\"Times New Roman, Times, serif\" size=\"2\">");

QString valueCell(const QString& value) {
    return QStringLiteral("<td>\r") + kBody + QLatin1Char('\r') + value +
           QStringLiteral("\r</font>\r</td>");
}

TEST(ReportCertificate, PlantRowsSignerAndDate) {
    // The certificate is Italian whatever the interface language and separator.
    ReportEnv e(0, pointLocale());
    e.ctx.measurement.data = QDate(2025, 1, 2);
    const QString doc = e.certificate();
    EXPECT_TRUE(doc.startsWith(
        QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"")));
    EXPECT_TRUE(doc.contains(QStringLiteral("<title>CERTIFICATO DI COLLAUDO</title>\r")));
    EXPECT_TRUE(doc.contains(QStringLiteral("Impianto fotovoltaico installato presso: \r")));
    EXPECT_TRUE(doc.contains(valueCell(QStringLiteral("Rossi Mario"))));
    EXPECT_TRUE(doc.contains(valueCell(QStringLiteral("Via Roma, 12 - Milano"))));
    EXPECT_TRUE(doc.contains(valueCell(QStringLiteral("RSSMRA80A01F205X"))));
    EXPECT_TRUE(doc.contains(valueCell(QStringLiteral("<br>Studio Tecnico Bianchi"))));
    EXPECT_TRUE(doc.contains(QStringLiteral("PRp > 0,78 (se Pinv &le; 20 kW)")));
    EXPECT_FALSE(doc.contains(QStringLiteral("20157")));
    // Dated the day it is written, not the day of the measurement.
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
    EXPECT_TRUE(doc.contains(QStringLiteral("Data di elaborazione del certificato di collaudo: ") +
                             today + QStringLiteral("<br>\r")));
    EXPECT_FALSE(doc.contains(QStringLiteral("02/01/2025")));
    EXPECT_EQ(doc.count(QStringLiteral("<li>")), 7);
}

TEST(ReportCertificate, EmptyTaxCodeKeepsItsRowAndEmptyTextsGiveEmptyComments) {
    ReportEnv e(4, commaLocale());
    e.ctx.plant.CODFISC.clear();
    e.ctx.measurement.TEXT1.clear();
    e.ctx.measurement.TEXT2.clear();
    const QString doc = e.certificate();
    const QString rows = between(doc, QStringLiteral("Via Roma"), QStringLiteral("sottoscritto"));
    EXPECT_TRUE(rows.contains(valueCell(QString())));
    EXPECT_TRUE(doc.endsWith(QStringLiteral("</html>\r<!-- m: 07-1234 -->\r<!-- f:  -->\r"
                                            "<!-- sr. log:  -->\r<!-- fa: FV 2.1.7 -->\r"
                                            "<!-- sra: ZMB 4.5 -->\r")));
    EXPECT_FALSE(doc.contains(QLatin1Char('\n')));
}

TEST(ReportCertificate, AMissingSettingsRowLogsAndGivesNothing) {
    ReportEnv e(4);
    e.ctx.db.exec(QStringLiteral("DELETE FROM impostazioni"));
    e.ctx.settings =
        std::make_unique<RecordSet>(RecordSet::table(e.ctx.db, QStringLiteral("impostazioni")));
    EXPECT_TRUE(make_dichiarazione_ver2(e.ctx).isEmpty());
    EXPECT_TRUE(e.env.debugLog().contains(QStringLiteral("make_dichiarazione_ver2")));
}

} // namespace
} // namespace vorna::test

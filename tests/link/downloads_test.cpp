// Downloading the instrument's plants and measurements into the database: matching field by
// field, nothing duplicated, each row committed as it is written.

#include "app_context.h"
#include "downloads.h"
#include "link_fixture.h"

#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

namespace {

const QStringList kPlantFields = {QStringLiteral("3.5"),
                                  QStringLiteral("45"),
                                  QStringLiteral("-0.45"),
                                  QStringLiteral("Rossi Mario"),
                                  QStringLiteral("Via Roma"),
                                  QStringLiteral("12"),
                                  QStringLiteral("20100"),
                                  QStringLiteral("Milano"),
                                  QStringLiteral("RSSMRA70A01F205X"),
                                  QStringLiteral("0")};

QString plantLine(int number, const QStringList& fields) {
    return QStringLiteral("plant\t") + QString::number(number) + QLatin1Char('\t') +
           fields.join(QLatin1Char('\t'));
}

QString measureLine(int plant, int number, const QString& rad) {
    return QStringLiteral("measure\t%1\t%2\t14/06/2024\t10.15.%3\t")
               .arg(plant)
               .arg(number)
               .arg(number, 2, 10, QLatin1Char('0')) +
           rad +
           QStringLiteral("\t3.1\t--\t41.2\t410.2\t7.1\t0\t0\t0\t0\t2.9\t231.0\t12.1\t0\t0\t0\t0\t"
                          "2.8\t0.93\t0.96\t0\tPASS\t0.89\t-0.44");
}

bool download(LinkEnv& t) {
    const bool plants = scarica_impianti(t.ctx, QStringLiteral("rep"));
    const bool measurements = scarica_acquisizioni_impianto(t.ctx, QStringLiteral("rep"));
    return plants && measurements;
}

// Every stored measurement row is whole: no compared column left empty.
int incompleteMeasurementRows(LinkEnv& t) {
    return int(t.ctx.db.scalar(QStringLiteral(
        "SELECT COUNT(*) FROM acquisizioni WHERE IDIMP IS NULL OR data IS NULL OR ora IS NULL OR "
        "rad IS NULL OR REAL2 IS NULL OR COEFFTEMP IS NULL OR ESITOAC IS NULL OR TEXT2 IS NULL")));
}

} // namespace

TEST(downloads, theSameInstrumentTwiceAddsNothingTheSecondTime) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument().ready());
    t.ctx.fwVersionText = QStringLiteral(" FV 2.1.5");
    ASSERT_TRUE(download(t));
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 2);
    EXPECT_EQ(t.rowCount(QStringLiteral("acquisizioni")), 3);
    EXPECT_EQ(t.ctx.instrumentPlantNumbers[0], 1);
    EXPECT_EQ(t.ctx.instrumentPlantNumbers[1], 4);
    EXPECT_EQ(t.ctx.instrumentPlantNumbers[2], -1);
    const qint64 rossi = t.ctx.instrumentPlantIds[0];
    EXPECT_EQ(
        t.ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM acquisizioni WHERE IDIMP=?"), {rossi}),
        2);
    EXPECT_EQ(t.ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM acquisizioni WHERE "
                                             "TEMPAMB=-2000 AND TEXT1=' FV 2.1.5' AND IDIMP=?"),
                              {rossi}),
              1);
    EXPECT_EQ(t.ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM impianti WHERE tipo=1 AND "
                                             "BOOL1=1 AND nome='Ferri SRL'")),
              1);

    ASSERT_TRUE(download(t));
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 2);
    EXPECT_EQ(t.rowCount(QStringLiteral("acquisizioni")), 3);
    EXPECT_EQ(t.ctx.instrumentPlantIds[0], rossi);
}

TEST(downloads, aPlantDifferingInAnyOneFieldIsANewRow) {
    LinkEnv t;
    QStringList lines{plantLine(1, kPlantFields)};
    const QStringList changed = {QStringLiteral("3.6"),
                                 QStringLiteral("46"),
                                 QStringLiteral("-0.44"),
                                 QStringLiteral("Rossi Maria"),
                                 QStringLiteral("Via Rome"),
                                 QStringLiteral("12a"),
                                 QStringLiteral("20101"),
                                 QStringLiteral("Milan"),
                                 QStringLiteral("RSSMRA70A01F205Y"),
                                 QStringLiteral("1")};
    for (int f = 0; f < kPlantFields.size(); ++f) {
        QStringList fields = kPlantFields;
        fields[f] = changed[f];
        lines << plantLine(2 + f, fields);
    }
    lines << plantLine(20, kPlantFields); // the same plant under another number
    ASSERT_TRUE(t.startInstrument(
                     {QStringLiteral("--data"), t.writeFile(QStringLiteral("inst.txt"), lines)})
                    .ready());
    ASSERT_TRUE(scarica_impianti(t.ctx, QStringLiteral("rep")));
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 11);
    EXPECT_EQ(t.ctx.instrumentPlantIds[11], t.ctx.instrumentPlantIds[0]);
    ASSERT_TRUE(scarica_impianti(t.ctx, QStringLiteral("rep")));
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 11);
}

TEST(downloads, sameOnADecimalCommaPc) {
    LinkEnv t(QLocale(QLocale::Italian, QLocale::Italy));
    ASSERT_TRUE(t.startInstrument().ready());
    ASSERT_TRUE(download(t));
    EXPECT_EQ(t.ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM impianti WHERE POT=3.5 AND "
                                             "REAL1=-0.45")),
              1);
    EXPECT_EQ(t.ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM acquisizioni WHERE rad=812.5 "
                                             "AND data='2024-06-14' AND ora='10:15:02'")),
              1);
    ASSERT_TRUE(download(t));
    EXPECT_EQ(t.rowCount(QStringLiteral("acquisizioni")), 3);
}

TEST(downloads, aMeasurementListedTwiceIsStoredOnce) {
    LinkEnv t;
    ASSERT_TRUE(
        t.startInstrument(
             {QStringLiteral("--data"),
              t.writeFile(QStringLiteral("inst.txt"),
                          {plantLine(1, kPlantFields), measureLine(1, 1, QStringLiteral("800.0")),
                           measureLine(1, 1, QStringLiteral("800.0"))
                               .replace(QStringLiteral("\t1\t1\t"), QStringLiteral("\t1\t2\t")),
                           measureLine(1, 3, QStringLiteral("--"))})})
            .ready());
    ASSERT_TRUE(download(t));
    // Measurement 3 fails its checks ("--" irradiance) and is skipped.
    EXPECT_EQ(t.rowCount(QStringLiteral("acquisizioni")), 1);
}

TEST(downloads, instrumentWithoutPlantsDownloadsNothing) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--generate"), QStringLiteral("0x0")}).ready());
    t.ctx.instrumentPlantNumbers.fill(7); // stale from an earlier download
    ASSERT_TRUE(download(t));
    EXPECT_EQ(t.ctx.instrumentPlantNumbers[0], -1);
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 0);
    EXPECT_EQ(t.instrument->received(), (QStringList{QStringLiteral("IIMP")}));
}

TEST(downloads, moreThanAHundredPlantNumbersFailsAndLogs) {
    LinkEnv t;
    QStringList lines;
    for (int n = 1; n <= 101; ++n)
        lines << plantLine(n, kPlantFields);
    ASSERT_TRUE(t.startInstrument(
                     {QStringLiteral("--data"), t.writeFile(QStringLiteral("inst.txt"), lines)})
                    .ready());
    EXPECT_FALSE(scarica_impianti(t.ctx, QStringLiteral("rep")));
    EXPECT_EQ(t.errorsOf(QStringLiteral("scarica_impianti")), 1);
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 0);
}

TEST(downloads, deviceGoneMidwayKeepsTheRowsWrittenSoFar) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--close-on"), QStringLiteral("LISTMISURA 4 1")})
                    .ready());
    EXPECT_TRUE(scarica_impianti(t.ctx, QStringLiteral("rep")));
    EXPECT_FALSE(scarica_acquisizioni_impianto(t.ctx, QStringLiteral("rep")) &&
                 t.ctx.link.baseLinkUp);
    EXPECT_FALSE(t.ctx.link.baseLinkUp);
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 2);
    EXPECT_EQ(t.rowCount(QStringLiteral("acquisizioni")), 2); // plant 1's two measurements
    EXPECT_EQ(incompleteMeasurementRows(t), 0);
}

TEST(downloads, silentInstrumentMidwayFailsTheDownload) {
    LinkEnv t(QLocale(QLocale::English, QLocale::UnitedStates), std::chrono::milliseconds(300));
    ASSERT_TRUE(
        t.startInstrument({QStringLiteral("--silent"), QStringLiteral("IMISPERIMP 4")}).ready());
    ASSERT_TRUE(scarica_impianti(t.ctx, QStringLiteral("rep")));
    EXPECT_FALSE(scarica_acquisizioni_impianto(t.ctx, QStringLiteral("rep")));
    EXPECT_EQ(t.rowCount(QStringLiteral("acquisizioni")), 2);
    EXPECT_EQ(incompleteMeasurementRows(t), 0);
}

TEST(downloads, aStoredPlantThatNeverReadsBackEqualIsAddedOncePerSlot) {
    LinkEnv t;
    // Something in the database alters every new plant row, so the search never finds it.
    t.ctx.db.exec(QStringLiteral("CREATE TRIGGER mangle AFTER INSERT ON impianti BEGIN UPDATE "
                                 "impianti SET nome = nome || '*' WHERE ID = new.ID; END"));
    ASSERT_TRUE(t.startInstrument().ready());
    ASSERT_TRUE(scarica_impianti(t.ctx, QStringLiteral("rep")));
    EXPECT_EQ(t.rowCount(QStringLiteral("impianti")), 2);
    EXPECT_EQ(t.errorsOf(QStringLiteral("scarica_impianti")), 2);
    EXPECT_GT(t.ctx.instrumentPlantIds[0], 0);
    EXPECT_GT(t.ctx.instrumentPlantIds[1], 0);
    ASSERT_TRUE(scarica_acquisizioni_impianto(t.ctx, QStringLiteral("rep")));
    EXPECT_EQ(t.ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM acquisizioni WHERE IDIMP=?"),
                              {t.ctx.instrumentPlantIds[0]}),
              2);
}

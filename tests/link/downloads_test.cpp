// Downloading the instrument's plants and measurements into the database.

#include "app_context.h"
#include "downloads.h"
#include "link_env.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

namespace {

QString measureLine(int number, const QString& vdc1) {
    return simMeasurement(1, number, measurementReply("14/06/2024", "24.5", vdc1));
}

bool download(LinkEnv& t) {
    const bool plants = scarica_impianti(t.ctx, "rep");
    return scarica_acquisizioni_impianto(t.ctx, "rep") && plants;
}

} // namespace

class DownloadsOnBothPcs : public ::testing::TestWithParam<QLocale> {};

TEST_P(DownloadsOnBothPcs, theSameInstrumentTwiceAddsNothingTheSecondTime) {
    LinkEnv t(GetParam());
    ASSERT_TRUE(t.startInstrument());
    t.ctx.fwVersionText = " FV 2.1.5";
    ASSERT_TRUE(download(t));
    const qint64 rossi = t.ctx.instrumentPlantIds[0]; // its fields are plant_download's
    EXPECT_EQ(t.rows("acquisizioni WHERE IDIMP=? AND rad=812.5 AND data='2024-06-14' AND "
                     "ora='10:15:02' AND TEXT1=' FV 2.1.5'",
                     {rossi}),
              1);
    EXPECT_EQ(t.rows("acquisizioni WHERE IDIMP=? AND TEMPAMB=-2000 AND COEFFTEMP=-0.45 AND "
                     "REAL2=0.86 AND ESITOAC=0 AND ora='10:45:40' AND TEXT2=?",
                     {rossi, t.ctx.swVersion}),
              1);

    const auto counts = [&] { return std::pair(t.rows("impianti"), t.rows("acquisizioni")); };
    EXPECT_EQ(counts(), std::pair(2, 3));
    ASSERT_TRUE(download(t));
    EXPECT_EQ(counts(), std::pair(2, 3));
    EXPECT_EQ(t.ctx.instrumentPlantIds[0], rossi);
}

INSTANTIATE_TEST_SUITE_P(DecimalPointAndComma, DownloadsOnBothPcs,
                         ::testing::Values(kUsPc, kItalianPc),
                         [](const auto& pc) { return pc.param.name().toStdString(); });

// Plants that differ in any one field, or the same plant under two numbers, are the
// plant_download fuzz target's (a regression input holds each case).
TEST(downloads, aMeasurementListedTwiceIsStoredOnceAndOneWithADashedVoltageNotAtAll) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument(
        {}, {simPlant(1), measureLine(1, "400.0"), measureLine(2, "400.0"), measureLine(3, "--")}));
    ASSERT_TRUE(download(t));
    EXPECT_EQ(t.rows("acquisizioni"), 1);
}

// An instrument lost midway: the download fails and leaves only whole rows behind. A line
// that is gone (the adapter unplugged) is noticed at once, not after the 10-s time-out.
TEST(downloads, instrumentLostMidwayKeepsTheRowsWrittenSoFar) {
    const struct {
        QStringList fault;
        int plants, measurements; // the rows read before the loss
    } cases[] = {{{"--close-on", "LISTNIMPIANTO 4"}, 1, 0},
                 {{"--close-on", "LISTMISURA 4 1"}, 2, 2},
                 {{"--silent", "IMISPERIMP 4"}, 2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.join(' ').toStdString());
        const bool unplugged = c.fault[0] == "--close-on";
        LinkEnv t(kUsPc, std::chrono::milliseconds(unplugged ? 10000 : 300));
        ASSERT_TRUE(t.startInstrument(c.fault));
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(scarica_impianti(t.ctx, "rep"), c.plants == 2);
        EXPECT_FALSE(scarica_acquisizioni_impianto(t.ctx, "rep")); // never success after a loss
        EXPECT_LT(unplugged ? clock.elapsed() : 0, 1000);
        EXPECT_FALSE(t.ctx.link.baseLinkUp());
        EXPECT_EQ(t.rows("impianti"), c.plants);
        EXPECT_EQ(t.rows("acquisizioni"), c.measurements);
        EXPECT_EQ(t.rows("acquisizioni WHERE IDIMP IS NULL OR data IS NULL OR ora IS NULL OR rad "
                         "IS NULL OR REAL2 IS NULL OR ESITOAC IS NULL OR TEXT2 IS NULL"),
                  0);
    }
}

TEST(downloads, aStoredPlantThatNeverReadsBackEqualIsAddedOncePerSlot) {
    LinkEnv t;
    // Something in the database alters every new plant row, so the search never finds it.
    t.ctx.db.exec("CREATE TRIGGER mangle AFTER INSERT ON impianti BEGIN UPDATE impianti SET "
                  "nome = nome || '*' WHERE ID = new.ID; END");
    ASSERT_TRUE(t.startInstrument());
    ASSERT_TRUE(scarica_impianti(t.ctx, "rep"));
    EXPECT_EQ(t.rows("impianti"), 2);
    EXPECT_EQ(t.env.errorsOf("scarica_impianti"), 2);
    EXPECT_GT(std::min(t.ctx.instrumentPlantIds[0], t.ctx.instrumentPlantIds[1]), 0);
    ASSERT_TRUE(scarica_acquisizioni_impianto(t.ctx, "rep"));
    EXPECT_EQ(t.rows("acquisizioni WHERE IDIMP=?", {t.ctx.instrumentPlantIds[0]}), 2);
}

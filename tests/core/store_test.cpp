#include "data_store.h"
#include "database_init.h"
#include "test_env.h"
#include "test_rows.h"

#include <gtest/gtest.h>

using namespace vorna;

namespace {

struct Store : ::testing::Test {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    void SetUp() override { ASSERT_TRUE(database_init(ctx)); }

    void addMeasurement(const QString& table, qint64 plant) {
        test::insertMeasurements(ctx.db, table, plant, QDateTime(QDate(2026, 6, 1), QTime(12, 30)),
                                 1, {{"rad", 850.5}, {"TEXT1", {}}});
    }
};

} // namespace

// Writing and reading a plant's row is the plant store's, tested with it.
TEST_F(Store, MissingPlantOrMeasurementFailsResetsAndLogs) {
    ctx.plant.ID = 42;
    ctx.plant.nome = "stale";
    EXPECT_FALSE(leggi_impianto_per_ID(ctx, 999));
    EXPECT_EQ(ctx.plant.nome, QString()); // reset happened, ID untouched by the reset
    EXPECT_EQ(ctx.plant.ID, 42);
    ctx.measurement.rad = 5;
    EXPECT_FALSE(leggi_acquisizione_per_ID(ctx, 999, MeasurementSource::Realtime));
    EXPECT_EQ(ctx.measurement.rad, kNoValue);
    EXPECT_EQ(env.debugLog().count("leggi_impianto_per_ID"), 2);
}

TEST_F(Store, MeasurementLoadsFromEitherTableWithNullTextsEmpty) {
    const qint64 plant = test::insertPlant(ctx.db, "A");
    addMeasurement("acquisizioni", plant);
    addMeasurement("realtime", plant);
    for (auto src : {MeasurementSource::Downloaded, MeasurementSource::Realtime}) {
        ctx.measurement.TEXT1 = "old";
        ASSERT_TRUE(leggi_acquisizione_per_ID(ctx, 1, src));
        EXPECT_EQ(ctx.measurement.data, QDate(2026, 6, 1));
        EXPECT_EQ(ctx.measurement.ora, QTime(12, 30));
        EXPECT_DOUBLE_EQ(ctx.measurement.rad, 850.5);
        EXPECT_TRUE(ctx.measurement.ESITOAC);
        EXPECT_EQ(ctx.measurement.TEXT1, QString());
    }
}

TEST_F(Store, PlantListEntriesAndIdsLineUp) {
    QStringList list{"untouched"};
    ctx.plantIdList = {77};
    ASSERT_TRUE(popola_cbselimp(ctx, list));
    EXPECT_EQ(list, QStringList{"untouched"}); // no plants: left as they were
    EXPECT_EQ(ctx.plantIdList, std::vector<qint64>{77});

    // Sorted by name, then town, without regard to case.
    const qint64 z = test::insertPlant(
        ctx.db, {.nome = "zeta", .indirizzo = "Via Po", .numciv = "9", .comune = "Asti"});
    const qint64 a = test::insertPlant(
        ctx.db, {.nome = "Alfa", .indirizzo = "Corso Re", .numciv = "1", .comune = "Bra"});
    const qint64 b = test::insertPlant(
        ctx.db, {.nome = "alfa", .indirizzo = "Via Lunga", .numciv = "2", .comune = "Alba"});
    ASSERT_TRUE(popola_cbselimp(ctx, list));
    EXPECT_EQ(list, (QStringList{"", "alfa (Via Lunga, 2 - Alba)", "Alfa (Corso Re, 1 - Bra)",
                                 "zeta (Via Po, 9 - Asti)"}));
    EXPECT_EQ(ctx.plantIdList, (std::vector<qint64>{b, a, z}));
}

TEST_F(Store, DeletingAPlantRemovesItsRowsInBothMeasurementTables) {
    const qint64 gone = test::insertPlant(ctx.db, "A");
    const qint64 kept = test::insertPlant(ctx.db, "D");
    for (qint64 p : {gone, kept}) {
        addMeasurement("acquisizioni", p);
        addMeasurement("realtime", p);
    }
    ASSERT_TRUE(cancella_impianto_da_DB(ctx, gone));
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti"), 1);
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM acquisizioni WHERE IDIMP=?", {gone}), 0);
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM realtime WHERE IDIMP=?", {gone}), 0);
    EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM realtime WHERE IDIMP=?", {kept}), 1);
}

TEST_F(Store, ReportParametersFromTheSettingsRow) {
    ASSERT_TRUE(leggi_parametri_report(ctx));
    EXPECT_EQ(ctx.reportModel, "VORNA METER PV 100");
    EXPECT_EQ(ctx.reportLogo, " ");
    EXPECT_EQ(ctx.reportDate, QDate::currentDate());
    ctx.db.exec("INSERT INTO impostazioni (LINGUA, logo) VALUES (1, 'Studio Bianchi')");
    ASSERT_TRUE(leggi_parametri_report(ctx));
    EXPECT_EQ(ctx.reportLogo, "Studio Bianchi");
}

TEST(StoreClosed, RoutinesFailAndLogWithoutADatabase) {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    QStringList list;
    EXPECT_FALSE(popola_cbselimp(ctx, list));
    EXPECT_FALSE(cancella_impianto_da_DB(ctx, 1));
    const QString log = env.debugLog();
    EXPECT_TRUE(log.contains("popola_cbselimp"));
    EXPECT_TRUE(log.contains("cancella_impianto_da_DB"));
    EXPECT_TRUE(log.contains("FUNCT ERROR (write_row_in_tab1)")); // no event table either
}

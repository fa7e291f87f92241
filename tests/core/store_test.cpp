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

    qint64 addPlant(const QString& nome, const QString& via, const QString& num,
                    const QString& com) {
        RecordSet plants = RecordSet::table(ctx.db, "impianti");
        ctx.plant = PlantRecord{};
        ctx.plant.nome = nome;
        ctx.plant.indirizzo = via;
        ctx.plant.NUMCIV = num;
        ctx.plant.comune = com;
        ctx.plant.POT = 12.5;
        ctx.plant.BOOL1 = false;
        ctx.plant.NOCT = 45;
        ctx.plant.REAL1 = 0.43;
        plants.addNew();
        EXPECT_TRUE(write_data_impianto_in_db_row(ctx, plants, ctx.plant));
        plants.update();
        return plants.id();
    }
    void addMeasurement(const QString& table, qint64 plant) {
        test::insertMeasurements(ctx.db, table, plant, QDateTime(QDate(2026, 6, 1), QTime(12, 30)),
                                 1, {{"rad", 850.5}, {"TEXT1", {}}});
    }
};

} // namespace

TEST_F(Store, PlantRoundTripThroughRowAndLookUp) {
    ctx.fwVersionText = "FV 2.1.5";
    const qint64 id = addPlant("Rossi", "Via Roma", "3", "Torino");
    ctx.plant = PlantRecord{};
    ASSERT_TRUE(leggi_impianto_per_ID(ctx, id));
    EXPECT_EQ(ctx.plant.ID, id);
    EXPECT_EQ(ctx.plant.nome, "Rossi");
    EXPECT_DOUBLE_EQ(ctx.plant.REAL1, 0.43);
    RecordSet rs = RecordSet::query(ctx.db, "impianti", "WHERE ID=?", {id});
    EXPECT_EQ(rs.integer("tipo"), 1);
    EXPECT_EQ(rs.text("TEXT1"), "FV 2.1.5");
    EXPECT_EQ(rs.text("TEXT2"), "ZMB 4.5");
}

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
    const qint64 plant = addPlant("A", "B", "1", "C");
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
    const qint64 z = addPlant("zeta", "Via Po", "9", "Asti");
    const qint64 a = addPlant("Alfa", "Corso Re", "1", "Bra");
    const qint64 b = addPlant("alfa", "Via Lunga", "2", "Alba");
    ASSERT_TRUE(popola_cbselimp(ctx, list));
    EXPECT_EQ(list, (QStringList{"", "alfa (Via Lunga, 2 - Alba)", "Alfa (Corso Re, 1 - Bra)",
                                 "zeta (Via Po, 9 - Asti)"}));
    EXPECT_EQ(ctx.plantIdList, (std::vector<qint64>{b, a, z}));
}

TEST_F(Store, DeletingAPlantRemovesItsRowsInBothMeasurementTables) {
    const qint64 gone = addPlant("A", "B", "1", "C");
    const qint64 kept = addPlant("D", "E", "2", "F");
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

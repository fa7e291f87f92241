#include "data_store.h"
#include "database_init.h"
#include "plant_store.h"
#include "test_env.h"
#include "test_rows.h"

#include <gtest/gtest.h>

using namespace vorna;

namespace {

const QString kColumns = "POT, BOOL1, NOCT, REAL1, nome, indirizzo, NUMCIV, cap, comune, CODFISC";

struct Store : ::testing::Test {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    PlantStore store{ctx};
    void SetUp() override { ASSERT_TRUE(database_init(ctx)); }

    // One row written with SQL, the ten columns in kColumns' order.
    qint64 insert(const QVariantList& values) {
        ctx.db
            .prepare("INSERT INTO impianti (tipo, " + kColumns + ") VALUES (1,?,?,?,?,?,?,?,?,?,?)")
            .bindAll(values)
            .run();
        return ctx.db.lastInsertId();
    }
    qint64 insert(const QString& nome, const QString& comune, const QString& indirizzo = "Via Po",
                  const QString& numCiv = "1") {
        return insert({3.5, 0, 45, -0.45, nome, indirizzo, numCiv, "20100", comune, "CF"});
    }
    // The stored row as text, ten columns then tipo, TEXT1 and TEXT2.
    QString row(qint64 id) {
        return test::rowsAsText(
                   ctx.db, "SELECT " + kColumns + ", tipo, TEXT1, TEXT2 FROM impianti WHERE ID=?",
                   {id})
            .value(0);
    }
    void addMeasurement(const QString& table, qint64 plant) {
        test::insertMeasurements(ctx.db, table, plant, QDateTime(QDate(2026, 6, 1), QTime(12, 30)),
                                 1, {{"rad", 850.5}, {"TEXT1", {}}});
    }
};

QString names(const std::vector<PlantRecord>& plants) {
    QStringList out;
    for (const PlantRecord& p : plants)
        out << QString("%1:%2/%3/%4/%5").arg(p.ID).arg(p.nome, p.comune, p.indirizzo, p.NUMCIV);
    return out.join(' ');
}

// clang-format off
PlantRecord bianchi() {
    return {.POT = 12.5, .BOOL1 = true, .NOCT = 47, .REAL1 = 0.4, .nome = "Bianchi",
            .indirizzo = "Via Larga", .NUMCIV = "7b", .cap = "10100", .comune = "Torino",
            .CODFISC = "BNC"};
}
// clang-format on

} // namespace

// IDs count from 1 in a new table.
TEST_F(Store, ListsByNameTownStreetAndNumberWithoutCase) {
    insert("zeta", "Asti");
    insert("Alfa", "Bra", "Corso Re", "10");
    insert("Alfa", "Bra", "corso re", "1");
    insert("ALFA", "bra", "Borgo", "5");
    insert("alfa", "Alba");
    const PlantList l = store.list();
    EXPECT_TRUE(l.complete);
    EXPECT_EQ(names(l.plants), "5:alfa/Alba/Via Po/1 4:ALFA/bra/Borgo/5 3:Alfa/Bra/corso re/1 "
                               "2:Alfa/Bra/Corso Re/10 1:zeta/Asti/Via Po/1");
    EXPECT_EQ(store.count(), 5);
}

// A power stored as text cannot be read as a number: each read that meets the row logs it once
// and goes no further; rows it does not meet read as usual.
TEST_F(Store, AnUnreadableRowEndsTheReadThatMeetsIt) {
    insert("Bruno", "Asti");
    insert({"many", 0, 45, 0.4, "Carlo", "Via Po", "1", "", "Asti", ""});
    insert("Anna", "Asti");
    using S = StoredPlant::Status;
    const auto find = [&](const QString& name) {
        return store.findFirst([&](const PlantRecord& p) { return p.nome == name; }).status;
    };
    const struct {
        std::function<S()> read;
        S expected;
        int logged;
    } cases[] = {
        {[&] { return store.load(3).status; }, S::Found, 0},
        {[&] { return store.load(2).status; }, S::Unreadable, 1},
        {[&] { return store.load(999).status; }, S::Missing, 0},
        {[&] { return find("Bruno"); }, S::Found, 0},     // a row before it
        {[&] { return find("Anna"); }, S::Unreadable, 1}, // a row after it
        {[&] { return find("nobody"); }, S::Unreadable, 1},
    };
    for (const auto& c : cases) {
        const int before = env.errorsOf("read_data_impianto_from_db_row");
        EXPECT_EQ(c.read(), c.expected) << &c - cases;
        EXPECT_EQ(env.errorsOf("read_data_impianto_from_db_row"), before + c.logged) << &c - cases;
    }
    // In list order Anna and Bruno come before Carlo.
    const PlantList l = store.list();
    EXPECT_FALSE(l.complete);
    EXPECT_EQ(names(l.plants), "3:Anna/Asti/Via Po/1 1:Bruno/Asti/Via Po/1");
}

TEST_F(Store, SaveAddsOrUpdatesTheRowStampedWithTheVersions) {
    ctx.fwVersionText = "FV 2.1.5";
    const QString stored = "12.5|1|47|0.4|Bianchi|Via Larga|7b|10100|Torino|BNC|1|FV 2.1.5|ZMB 4.5";
    const qint64 id = store.save(bianchi());
    EXPECT_GT(id, 0);
    EXPECT_EQ(row(id), stored);
    EXPECT_EQ(store.count(), 1);

    PlantRecord changed = bianchi();
    changed.ID = id;
    changed.nome = "Verdi";
    ctx.fwVersionText = "FV 2.2.0";
    EXPECT_EQ(store.save(changed), id);
    EXPECT_EQ(row(id), QString(stored).replace("Bianchi", "Verdi").replace("2.1.5", "2.2.0"));
    EXPECT_EQ(store.count(), 1);

    // An ID that names no row: the caller's error, nothing stored.
    changed.ID = id + 1;
    const auto refused = [&](const std::function<qint64()>& save) {
        try {
            return QString("saved as %1").arg(save());
        } catch (const RunError& e) {
            return QString("%1 %2").arg(e.number()).arg(e.description());
        }
    };
    EXPECT_EQ(refused([&] { return store.save(changed); }), "3021 No current record");
    EXPECT_EQ(refused([&] { return store.save(changed, RunError(3000, "no plant")); }),
              "3000 no plant");
    EXPECT_EQ(store.count(), 1);
}

// A table without the tax code column cannot take a plant: neither a new row nor a changed one is
// written, and the writer says why.
TEST_F(Store, AFailedWriteStoresNothing) {
    ctx.db.open(env.path("narrow.db"));
    ctx.db.exec("CREATE TABLE impianti (ID INTEGER PRIMARY KEY AUTOINCREMENT, tipo, POT, BOOL1, "
                "NOCT, REAL1, nome, indirizzo, NUMCIV, cap, comune, TEXT1, TEXT2);"
                "INSERT INTO impianti (nome) VALUES ('Rossi')");
    PlantRecord p = bianchi();
    for (const qint64 id : {qint64(-1), qint64(1)}) {
        p.ID = id;
        EXPECT_EQ(store.save(p), -1) << id;
        EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti WHERE nome='Rossi' AND POT IS NULL"),
                  1);
        EXPECT_EQ(store.count(), 1) << id;
    }
    EXPECT_EQ(env.errorsOf("write_data_impianto_in_db_row"), 2);
}

// The download's match: the ten stored values against the record, first row in table order; a
// null column reads as 0 or empty but never matches.
TEST_F(Store, FindEqualTakesTheFirstExactRowAndNoNull) {
    EXPECT_EQ(store.findEqual(bianchi()), -1);
    const QVariantList values{12.5,        1,    47,      0.4,      "Bianchi",
                              "Via Larga", "7b", "10100", "Torino", "BNC"};
    const struct {
        int column;                  // stored as null
        void (*plant)(PlantRecord&); // the plant that would match it read as 0 or empty
    } nulls[] = {{0, [](PlantRecord& p) { p.POT = 0; }},
                 {9, [](PlantRecord& p) { p.CODFISC.clear(); }}};
    for (const auto& n : nulls) {
        QVariantList v = values;
        v[n.column] = QVariant();
        insert(v);
        PlantRecord p = bianchi();
        n.plant(p);
        EXPECT_EQ(store.findEqual(p), -1) << n.column;
    }
    insert({12.5, 1, 47, 0.4, "bianchi", "Via Larga", "7b", "10100", "Torino", "BNC"});
    const qint64 first = insert(values);
    insert(values);
    EXPECT_EQ(store.findEqual(bianchi()), first);
}

TEST_F(Store, MeasurementLoadsFromEitherTableAndAMissingRowResetsAndLogs) {
    const qint64 plant = test::insertPlant(ctx.db, "A");
    addMeasurement("acquisizioni", plant);
    addMeasurement("realtime", plant);
    const MeasurementRecord& m = ctx.measurement;
    for (auto src : {MeasurementSource::Downloaded, MeasurementSource::Realtime}) {
        ctx.measurement.TEXT1 = "old";
        ASSERT_TRUE(leggi_acquisizione_per_ID(ctx, 1, src));
        EXPECT_EQ(QString("%1 %2 %3 %4 [%5]")
                      .arg(m.data.toString(Qt::ISODate), m.ora.toString(), QString::number(m.rad),
                           QString::number(m.ESITOAC), m.TEXT1),
                  "2026-06-01 12:30:00 850.5 1 []"); // a null text reads as empty
    }
    EXPECT_FALSE(leggi_acquisizione_per_ID(ctx, 999, MeasurementSource::Realtime));
    EXPECT_EQ(m.rad, kNoValue);

    ctx.plant.ID = 42;
    ctx.plant.nome = "stale";
    EXPECT_FALSE(leggi_impianto_per_ID(ctx, 999));
    EXPECT_EQ(ctx.plant.nome, QString()); // reset happened, ID untouched by the reset
    EXPECT_EQ(ctx.plant.ID, 42);
    EXPECT_EQ(env.debugLog().count("leggi_impianto_per_ID"), 2);
}

TEST_F(Store, PlantListEntriesAndIdsLineUp) {
    QStringList list{"untouched"};
    ctx.plantIdList = {77};
    ASSERT_TRUE(popola_cbselimp(ctx, list));
    EXPECT_EQ(list, QStringList{"untouched"}); // no plants: left as they were
    EXPECT_EQ(ctx.plantIdList, std::vector<qint64>{77});

    // In the list's order, which is the store's.
    const qint64 z = insert("zeta", "Asti", "Via Po", "9");
    const qint64 a = insert("Alfa", "Bra", "Corso Re", "1");
    ASSERT_TRUE(popola_cbselimp(ctx, list));
    EXPECT_EQ(list, (QStringList{"", "Alfa (Corso Re, 1 - Bra)", "zeta (Via Po, 9 - Asti)"}));
    EXPECT_EQ(ctx.plantIdList, (std::vector<qint64>{a, z}));
}

TEST_F(Store, DeletingAPlantRemovesItsRowsInBothMeasurementTables) {
    const qint64 gone = test::insertPlant(ctx.db, "A");
    const qint64 kept = test::insertPlant(ctx.db, "D");
    for (qint64 p : {gone, kept}) {
        addMeasurement("acquisizioni", p);
        addMeasurement("realtime", p);
    }
    ASSERT_TRUE(cancella_impianto_da_DB(ctx, gone));
    EXPECT_EQ(test::rowsAsText(ctx.db, "SELECT (SELECT group_concat(ID) FROM impianti), IDIMP, "
                                       "COUNT(*) FROM (SELECT IDIMP FROM acquisizioni UNION ALL "
                                       "SELECT IDIMP FROM realtime) GROUP BY IDIMP"),
              QStringList{QString("%1|%1|2").arg(kept)});
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

TEST_F(Store, RoutinesFailAndLogWithoutADatabase) {
    ctx.db.close();
    QStringList list;
    EXPECT_FALSE(popola_cbselimp(ctx, list));
    EXPECT_FALSE(cancella_impianto_da_DB(ctx, 1));
    const QString log = env.debugLog();
    EXPECT_TRUE(log.contains("popola_cbselimp"));
    EXPECT_TRUE(log.contains("cancella_impianto_da_DB"));
    EXPECT_TRUE(log.contains("FUNCT ERROR (write_row_in_tab1)")); // no event table either
}

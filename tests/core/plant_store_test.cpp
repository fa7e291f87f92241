// Table impianti by value: the register's order, reads that stop at an unreadable row, the
// download's exact match and saves that commit whole or not at all.
#include "database_init.h"
#include "plant_store.h"
#include "record_set.h"
#include "test_env.h"

#include <gtest/gtest.h>

using namespace vorna;

namespace {

const QString kColumns = "POT, BOOL1, NOCT, REAL1, nome, indirizzo, NUMCIV, cap, comune, CODFISC";

struct PlantTable : ::testing::Test {
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
        RecordSet rs = RecordSet::select(
            ctx.db, "SELECT " + kColumns + ", tipo, TEXT1, TEXT2 FROM impianti WHERE ID=?", {id});
        QStringList f;
        for (const QString& c : rs.columns())
            f << rs.field(c).toString();
        return f.join('|');
    }
    int readErrors() { return int(env.debugLog().count("\tread_data_impianto_from_db_row\t")); }
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

TEST_F(PlantTable, ListsByNameTownStreetAndNumberWithoutCase) {
    const qint64 z = insert("zeta", "Asti");
    const qint64 a10 = insert("Alfa", "Bra", "Corso Re", "10");
    const qint64 a1 = insert("Alfa", "Bra", "corso re", "1");
    const qint64 aBorgo = insert("ALFA", "bra", "Borgo", "5");
    const qint64 alba = insert("alfa", "Alba");
    const PlantList l = store.list();
    EXPECT_TRUE(l.complete);
    EXPECT_EQ(names(l.plants), QString("%1:alfa/Alba/Via Po/1 %2:ALFA/bra/Borgo/5 "
                                       "%3:Alfa/Bra/corso re/1 %4:Alfa/Bra/Corso Re/10 "
                                       "%5:zeta/Asti/Via Po/1")
                                   .arg(alba)
                                   .arg(aBorgo)
                                   .arg(a1)
                                   .arg(a10)
                                   .arg(z));
    EXPECT_EQ(store.count(), 5);
}

// A power stored as text cannot be read as a number: each read that meets the row logs it once
// and goes no further; rows it does not meet read as usual.
TEST_F(PlantTable, AnUnreadableRowEndsTheReadThatMeetsIt) {
    const qint64 first = insert("Bruno", "Asti");
    const qint64 bad = insert({"many", 0, 45, 0.4, "Carlo", "Via Po", "1", "", "Asti", ""});
    const qint64 last = insert("Anna", "Asti");
    using S = StoredPlant::Status;
    const struct {
        const char* what;
        std::function<S()> read;
        S expected;
        int logged;
    } cases[] = {
        {"load a sound row", [&] { return store.load(last).status; }, S::Found, 0},
        {"load the bad row", [&] { return store.load(bad).status; }, S::Unreadable, 1},
        {"load an ID with no row", [&] { return store.load(999).status; }, S::Missing, 0},
        {"find a row before it",
         [&] {
             return store.findFirst([](const PlantRecord& p) { return p.nome == "Bruno"; }).status;
         },
         S::Found, 0},
        {"find a row after it",
         [&] {
             return store.findFirst([](const PlantRecord& p) { return p.nome == "Anna"; }).status;
         },
         S::Unreadable, 1},
        {"find none",
         [&] { return store.findFirst([](const PlantRecord&) { return false; }).status; },
         S::Unreadable, 1},
    };
    for (const auto& c : cases) {
        const int before = readErrors();
        EXPECT_EQ(c.read(), c.expected) << c.what;
        EXPECT_EQ(readErrors() - before, c.logged) << c.what;
    }
    // In list order Anna and Bruno come before Carlo.
    const PlantList l = store.list();
    EXPECT_FALSE(l.complete);
    EXPECT_EQ(names(l.plants),
              QString("%1:Anna/Asti/Via Po/1 %2:Bruno/Asti/Via Po/1").arg(last).arg(first));
}

TEST_F(PlantTable, SaveAddsOrUpdatesTheRowStampedWithTheVersions) {
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
    const struct {
        std::function<qint64()> save;
        int number;
        QString description;
    } missing[] = {
        {[&] { return store.save(changed); }, 3021, "No current record"},
        {[&] { return store.save(changed, RunError(3000, "no plant")); }, 3000, "no plant"},
    };
    for (const auto& m : missing) {
        try {
            m.save();
            ADD_FAILURE() << "saved into a missing row";
        } catch (const RunError& e) {
            EXPECT_EQ(e.number(), m.number);
            EXPECT_EQ(e.description(), m.description);
        }
    }
    EXPECT_EQ(store.count(), 1);
}

// A table without the tax code column cannot take a plant: neither a new row nor a changed one is
// written, and the writer says why.
TEST(PlantTableWithoutAColumn, AFailedWriteStoresNothing) {
    test::TestEnv env;
    AppContext& ctx = *env.ctx;
    ctx.db.open(env.path("narrow.db"));
    ctx.db.exec("CREATE TABLE impianti (ID INTEGER PRIMARY KEY AUTOINCREMENT, tipo, POT, BOOL1, "
                "NOCT, REAL1, nome, indirizzo, NUMCIV, cap, comune, TEXT1, TEXT2);"
                "INSERT INTO impianti (nome) VALUES ('Rossi')");
    PlantStore store(ctx);
    PlantRecord p = bianchi();
    for (const qint64 id : {qint64(-1), qint64(1)}) {
        p.ID = id;
        EXPECT_EQ(store.save(p), -1) << id;
        EXPECT_EQ(ctx.db.scalar("SELECT COUNT(*) FROM impianti WHERE nome='Rossi' AND POT IS NULL"),
                  1);
        EXPECT_EQ(store.count(), 1) << id;
    }
    EXPECT_EQ(env.debugLog().count("\twrite_data_impianto_in_db_row\t"), 2);
}

// The download's match: the ten stored values against the record, first row in table order; a
// null column reads as 0 or empty but never matches.
TEST_F(PlantTable, FindEqualTakesTheFirstExactRowAndNoNull) {
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

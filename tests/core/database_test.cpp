#include "record_set.h"
#include "run_error.h"
#include "schema.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorna;

namespace {

struct Db : ::testing::Test {
    QTemporaryDir dir;
    Database db;
    void SetUp() override {
        db.open(dir.path() + "/t.db");
        ensure_schema(db);
    }
    qint64 addPlant(const QString& nome, const QString& comune = "X") {
        RecordSet rs = RecordSet::table(db, "impianti");
        rs.addNew();
        rs.setField("nome", nome);
        rs.setField("comune", comune);
        rs.setField("POT", 3.5);
        rs.setField("BOOL1", true);
        rs.update();
        return rs.id();
    }
};

} // namespace

TEST_F(Db, AddedRowBecomesCurrentWithAssignedKeyAndTypes) {
    const qint64 id = addPlant("Rossi");
    RecordSet rs = RecordSet::query(db, "impianti", "WHERE ID=?", {id});
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.integer("id"), id); // names match without regard to case
    EXPECT_DOUBLE_EQ(rs.number("pot"), 3.5);
    EXPECT_TRUE(rs.boolean("BOOL1"));
    EXPECT_TRUE(rs.isNull("cap"));
    EXPECT_EQ(rs.text("cap"), QString());
    EXPECT_THROW(rs.field("nosuchcolumn"), RunError);
}

TEST_F(Db, EditRemoveAndNavigation) {
    for (const char* n : {"a", "b", "c"})
        addPlant(n);
    RecordSet rs = RecordSet::table(db, "impianti");
    ASSERT_EQ(rs.rowCount(), 3);
    rs.moveNext();
    rs.edit();
    rs.setField("nome", "B2");
    rs.update();
    rs.remove(); // removes "B2"; current becomes "c"
    EXPECT_EQ(rs.text("nome"), "c");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.text("nome"), RunError);
    RecordSet again = RecordSet::table(db, "impianti");
    ASSERT_EQ(again.rowCount(), 2);
    again.moveLast();
    EXPECT_EQ(again.text("nome"), "c");
}

TEST_F(Db, ReadOnlySelectsRefuseChangesAndDatesRoundTrip) {
    RecordSet rt = RecordSet::table(db, "realtime");
    rt.addNew();
    rt.setField("IDIMP", 7);
    rt.setField("data", QDate(2026, 3, 9));
    rt.setField("ora", QTime(14, 5, 9));
    rt.update();
    RecordSet sel = RecordSet::select(db, "SELECT IDIMP, data, ora FROM realtime WHERE data >= ?",
                                      {QDate(2026, 1, 1)});
    ASSERT_EQ(sel.rowCount(), 1);
    EXPECT_EQ(sel.date("data"), QDate(2026, 3, 9));
    EXPECT_EQ(sel.time("ora"), QTime(14, 5, 9));
    EXPECT_THROW(sel.edit(), RunError);
    EXPECT_THROW(sel.addNew(), RunError);
}

TEST_F(Db, TransactionRollsBackUnlessCommittedAndBadSqlThrows) {
    for (const bool commit : {false, true}) {
        {
            Database::Transaction tx(db);
            addPlant("Rossi");
            if (commit) tx.commit();
        }
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM impianti"), commit ? 1 : 0);
    }
    EXPECT_THROW(db.exec("SELEC nonsense"), RunError);
    EXPECT_THROW(RecordSet::table(db, "nosuchtable"), RunError);
}

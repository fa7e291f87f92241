#include "run_error.h"
#include "schema.h"
#include "stored_rows.h"
#include "stored_samples.h"
#include "test_env.h"

#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

namespace {

// A data file with every table, on the test rig's context.
struct StoredSamples : ::testing::Test {
    TestEnv env;
    Database& db = env.ctx->db;
    void SetUp() override {
        db.open(env.path("DATA_v2.MDB"));
        ensure_schema(db);
    }
};

} // namespace

TEST_F(StoredSamples, DaysOfAPlantOnceEachOldestFirst) {
    const qint64 uno = insertPlant(db, "Uno"), due = insertPlant(db, "Due");
    const qint64 tre = insertPlant(db, "Tre"), quattro = insertPlant(db, "Quattro");
    // Another plant's days lie between and around the first plant's.
    for (const char* day :
         {"2011-07-01", "2009-01-01", "2010-12-31", "2011-06-30", "2011-07-01", "2010-12-31"})
        insertStored(db, uno, day, "10:00:00");
    for (const char* day : {"2008-05-05", "2011-01-15", "2012-01-01", "2011-06-30"})
        insertStored(db, due, day, "10:00:00");
    // What no day can be: no date, a text that is not one, bytes.
    insertStored(db, uno, "2011-08-02", "10:00:00");
    db.exec("UPDATE realtime SET data = NULL WHERE IDIMP = 1 AND data = '2011-08-02'");
    insertStored(db, uno, "not a day", "10:00:00");
    insertStored(db, uno, "2011-08-03", "10:00:00");
    db.exec("UPDATE realtime SET data = x'32303131' WHERE data = '2011-08-03'");
    insertStored(db, tre, "2011-08-04", "10:00:00");
    db.exec("UPDATE realtime SET data = NULL WHERE IDIMP = " + QString::number(tre));
    const struct {
        qint64 plant;
        std::vector<QDate> days;
    } cases[] = {
        {uno, {QDate(2009, 1, 1), QDate(2010, 12, 31), QDate(2011, 6, 30), QDate(2011, 7, 1)}},
        {due, {QDate(2008, 5, 5), QDate(2011, 1, 15), QDate(2011, 6, 30), QDate(2012, 1, 1)}},
        {tre, {}},     // samples without a day
        {quattro, {}}, // no samples
    };
    for (const auto& c : cases)
        EXPECT_EQ(storedSampleDays(db, c.plant), c.days) << "plant " << c.plant;
}

// Every column in its place; a stored zero is a value, a null among zeros is not; a row without
// the version texts still reads.
TEST_F(StoredSamples, EveryColumnInItsPlaceAZeroIsAValueANullIsNot) {
    const qint64 plant = insertPlant(db, "Uno");
    QVariantMap distinct{{"ESITOAC", 0}}, zeros{{"ESITOAC", 0}};
    for (const MeasurementColumn& c : kMeasurementNumbers) {
        distinct.insert(c.name, QString(c.name).size() * 100 + (&c - kMeasurementNumbers));
        zeros.insert(c.name, 0);
    }
    insertStored(db, plant, "2011-06-30", "08:59:00", distinct);
    insertStored(db, plant, "2011-06-30", "09:00:00", zeros);
    for (const char* nullColumn : {"REAL2", "ESITOAC", "rad", "RENDAC"}) {
        QVariantMap values = zeros;
        values.insert(nullColumn, QVariant());
        insertStored(db, plant, "2011-06-30", "09:01:00", values);
    }
    insertStored(db, plant, "2011-06-30", "09:02:00");
    db.exec("UPDATE realtime SET TEXT1 = NULL, TEXT2 = NULL WHERE ora = '09:02:00'");

    QStringList refused;
    std::vector<SampleRow> rows;
    forEachStoredSample(db, plant, QDate(2011, 6, 30), QTime(8, 59), QTime(9, 2),
                        [&](Statement& r) {
                            try {
                                rows.push_back(readStoredSample(r));
                            } catch (const RunError& e) {
                                refused << e.description();
                            }
                        });
    EXPECT_EQ(refused, QStringList({"Invalid use of Null: REAL2", "Invalid use of Null: ESITOAC",
                                    "Invalid use of Null: rad", "Invalid use of Null: RENDAC"}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].data, QDate(2011, 6, 30));
    EXPECT_EQ(rows[0].ora.toString() + rows[1].ora.toString(), "08:59:0009:00:00");
    EXPECT_FALSE(rows[0].ESITOAC || rows[1].ESITOAC);
    const char* const byColumn[] = {"rad",   "TEMPAMB", "TEMPPAN", "COEFFTEMP", "POTRAD", "VDC1",
                                    "IDC1",  "VDC2",    "IDC2",    "VDC3",      "IDC3",   "POTDC",
                                    "VAC1",  "IAC1",    "VAC2",    "IAC2",      "VAC3",   "IAC3",
                                    "POTAC", "REAL2",   nullptr,   "RENDDC",    "RENDAC"};
    for (int c = kGridFirstValueColumn; c < kGridColumns; ++c)
        if (const char* name = byColumn[c - kGridFirstValueColumn]) {
            EXPECT_EQ(rows[0].value(c), distinct.value(name).toDouble()) << name;
            EXPECT_EQ(rows[1].value(c), 0.0) << name;
        }
    EXPECT_TRUE(rows[2].ESITOAC);
}

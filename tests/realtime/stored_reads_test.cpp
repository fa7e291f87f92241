// The browser's reads of the realtime table: the days of a plant, and a stored row taken as a
// sample, every column in its place, where a stored 0 and a null read alike until asked.
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

TEST_F(StoredSamples, AStoredZeroIsAValueANullAmongZerosIsNot) {
    const qint64 plant = insertPlant(db, "Uno");
    QVariantMap zeros{{"ESITOAC", 0}};
    for (const MeasurementColumn& c : kMeasurementNumbers)
        zeros.insert(c.name, 0);
    const struct {
        const char* time;
        const char* nullColumn; // nullptr: every value 0
    } cases[] = {{"09:00:00", nullptr},
                 {"09:01:00", "REAL2"},
                 {"09:02:00", "ESITOAC"},
                 {"09:03:00", "rad"},
                 {"09:04:00", "RENDAC"}};
    for (const auto& c : cases) {
        QVariantMap values = zeros;
        if (c.nullColumn) values.insert(c.nullColumn, QVariant());
        insertStored(db, plant, "2011-06-30", c.time, values);
    }
    QStringList refused;
    std::vector<SampleRow> rows;
    forEachStoredSample(db, plant, QDate(2011, 6, 30), QTime(9, 0), QTime(9, 4), [&](Statement& r) {
        try {
            rows.push_back(readStoredSample(r));
        } catch (const RunError& e) {
            refused << e.description();
        }
    });
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].ora, QTime(9, 0));
    EXPECT_FALSE(rows[0].ESITOAC);
    for (int c = kGridFirstValueColumn; c < kGridColumns; ++c) {
        if (c == kGridResultColumn) continue;
        EXPECT_EQ(rows[0].value(c), 0.0) << c;
    }
    EXPECT_EQ(refused, QStringList({"Invalid use of Null: REAL2", "Invalid use of Null: ESITOAC",
                                    "Invalid use of Null: rad", "Invalid use of Null: RENDAC"}));
}

TEST_F(StoredSamples, EveryColumnInItsPlace) {
    const qint64 plant = insertPlant(db, "Uno");
    QVariantMap changes;
    for (const MeasurementColumn& c : kMeasurementNumbers)
        changes.insert(c.name, QString(c.name).size() * 100 + (&c - kMeasurementNumbers));
    changes.insert("ESITOAC", 0);
    insertStored(db, plant, "2011-06-30", "09:00:00", changes);
    // Without the version texts a row still reads.
    insertStored(db, plant, "2011-06-30", "09:03:00");
    db.exec("UPDATE realtime SET TEXT1 = NULL, TEXT2 = NULL");

    std::vector<SampleRow> rows;
    forEachStoredSample(db, plant, QDate(2011, 6, 30), QTime(9, 0), QTime(9, 3),
                        [&](Statement& r) { rows.push_back(readStoredSample(r)); });
    ASSERT_EQ(rows.size(), 2u);
    const SampleRow& r = rows[0];
    EXPECT_EQ(r.data, QDate(2011, 6, 30));
    EXPECT_EQ(r.ora, QTime(9, 0));
    EXPECT_FALSE(r.ESITOAC);
    const char* const byColumn[] = {"rad",   "TEMPAMB", "TEMPPAN", "COEFFTEMP", "POTRAD", "VDC1",
                                    "IDC1",  "VDC2",    "IDC2",    "VDC3",      "IDC3",   "POTDC",
                                    "VAC1",  "IAC1",    "VAC2",    "IAC2",      "VAC3",   "IAC3",
                                    "POTAC", "REAL2",   nullptr,   "RENDDC",    "RENDAC"};
    for (int c = 3; c < kGridColumns; ++c)
        if (const char* name = byColumn[c - 3]) {
            EXPECT_EQ(r.value(c), changes.value(name).toDouble()) << name;
        }
    EXPECT_TRUE(rows[1].ESITOAC);
}

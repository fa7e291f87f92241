#include "run_error.h"
#include "schema.h"
#include "stored_rows.h"
#include "stored_samples.h"
#include "test_env.h"

#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

namespace {

struct StoredSamples : ::testing::Test {
    TestEnv env;
    Database& db = env.ctx->db;
    qint64 plant = 0, other = 0;
    void SetUp() override {
        db.open(env.path("DATA_v2.MDB"));
        ensure_schema(db);
        plant = insertPlant(db, "Uno");
        other = insertPlant(db, "Due");
    }
    // The times forEachStoredSample hands over, as "HH:mm:ss".
    QStringList times(const QDate& day, QTime from, QTime to) {
        QStringList out;
        forEachStoredSample(db, plant, day, from, to, [&](Statement& row) {
            out << readStoredSample(row).ora.toString("HH:mm:ss");
        });
        return out;
    }
};

} // namespace

TEST_F(StoredSamples, DaysOfOnePlantOldestFirst) {
    for (const char* day : {"2011-07-01", "2010-12-31", "2011-06-30", "2011-07-01"})
        insertStored(db, plant, day, "10:00:00");
    insertStored(db, other, "2012-01-01", "10:00:00");
    insertStored(db, plant, "not a day", "10:00:00");
    const std::vector<QDate> want{QDate(2010, 12, 31), QDate(2011, 6, 30), QDate(2011, 7, 1)};
    EXPECT_EQ(storedSampleDays(db, plant), want);
    EXPECT_TRUE(storedSampleDays(db, 999).empty());
}

TEST_F(StoredSamples, RangeFromSecondZeroToSecondFiftyNineInTimeOrder) {
    const QDate day(2011, 6, 30);
    for (const char* t : {"22:59:59", "00:59:59", "01:00:00", "09:04:59", "09:05:59", "09:05:00",
                          "09:06:00", "23:00:00"})
        insertStored(db, plant, "2011-06-30", t);
    insertStored(db, plant, "2011-07-01", "09:05:30");
    insertStored(db, other, "2011-06-30", "09:05:30");
    EXPECT_EQ(
        times(day, QTime(1, 0), QTime(22, 59)),
        QStringList({"01:00:00", "09:04:59", "09:05:00", "09:05:59", "09:06:00", "22:59:59"}));
    EXPECT_EQ(times(day, QTime(9, 5), QTime(9, 5)), QStringList({"09:05:00", "09:05:59"}));
    EXPECT_TRUE(times(day, QTime(10, 0), QTime(9, 0)).isEmpty());
}

TEST_F(StoredSamples, EveryColumnInItsPlaceAndANullRefused) {
    QVariantMap changes;
    for (const MeasurementColumn& c : kMeasurementNumbers)
        changes.insert(c.name, QString(c.name).size() * 100 + (&c - kMeasurementNumbers));
    changes.insert("ESITOAC", 0);
    insertStored(db, plant, "2011-06-30", "09:00:00", changes);
    insertStored(db, plant, "2011-06-30", "09:01:00", {{"IAC3", QVariant()}});
    insertStored(db, plant, "2011-06-30", "09:02:00", {{"ESITOAC", QVariant()}});
    db.exec("UPDATE realtime SET TEXT1 = NULL, TEXT2 = NULL");
    insertStored(db, plant, "2011-06-30", "09:03:00");
    db.exec("UPDATE realtime SET TEXT1 = NULL, TEXT2 = NULL WHERE ora = '09:03:00'");

    std::vector<SampleRow> rows;
    int refused = 0;
    forEachStoredSample(db, plant, QDate(2011, 6, 30), QTime(9, 0), QTime(9, 3), [&](Statement& r) {
        try {
            rows.push_back(readStoredSample(r));
        } catch (const RunError& e) {
            ++refused;
            EXPECT_TRUE(e.description().contains("IAC3") || e.description().contains("ESITOAC"));
        }
    });
    EXPECT_EQ(refused, 2);
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

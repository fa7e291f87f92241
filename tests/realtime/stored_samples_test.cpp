#include "run_error.h"
#include "schema.h"
#include "stored_samples.h"
#include "test_env.h"
#include "test_rows.h"

#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

TEST(StoredSamples, EveryColumnInItsPlaceAndANullRefused) {
    TestEnv env;
    Database& db = env.ctx->db;
    db.open(env.path("DATA_v2.MDB"));
    ensure_schema(db);
    const qint64 plant = insertPlant(db, "Uno");
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

// The instrument queries: identity, one plant, one measurement, on decimal-point and
// decimal-comma PCs, over the real link and on the reply parsers alone.

#include "app_context.h"
#include "instrument_queries.h"
#include "link.h"
#include "link_fixture.h"
#include "run_error.h"

#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

// Plants and measurements over the link, on both kinds of PC, are checked by the downloads.
TEST(queries_link, identityUnknownPlantAndUnreadableDate) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrumentWith({"version\tVersion: FV 2.1.5 SF", "serial\tSN 0815",
                                       "measure\t1\t1\t" + measurementReply("14/13/2024")}));
    ASSERT_TRUE(read_versione_fw(t.ctx, "setup"));
    read_matricola_str(t.ctx, "setup");
    EXPECT_EQ(t.ctx.fwVersionText + "|" + t.ctx.serialNumberText, " FV 2.1.5 SF|SN 0815");
    EXPECT_TRUE(t.ctx.fwSfFlag);
    // The instrument's "ERR" fails the checks and the record stays reset.
    EXPECT_FALSE(leggi_impianto_da_UT(t.ctx, "rep", 9));
    EXPECT_DOUBLE_EQ(t.ctx.plant.POT, kNoValue);
    // A date no PC can read fails the routine with a log entry.
    EXPECT_FALSE(leggi_acquisizione_da_UT(t.ctx, "rep", 1, 1));
    EXPECT_EQ(t.errorsOf("leggi_acquisizione_da_UT"), 1);
    EXPECT_EQ(t.ctx.measurement.data, MeasurementRecord::originDate());
    EXPECT_TRUE(t.ctx.link.baseLinkUp);

    t.ctx.link.baseLinkUp = false; // a failed exchange leaves the texts alone
    EXPECT_FALSE(read_versione_fw(t.ctx, "setup"));
    read_matricola_str(t.ctx, "setup");
    EXPECT_EQ(t.ctx.fwVersionText + "|" + t.ctx.serialNumberText, " FV 2.1.5 SF|SN 0815");
}

TEST(queries_parse, plantFieldChecks) {
    TestEnv italian(kItalianPc), us(kUsPc);
    const QString tail = "\tName\tStreet\t1\t20100\tTown\tTAX\t";
    PlantRecord p;
    EXPECT_TRUE(parse_plant_reply(*italian.ctx, "1\t3.5\t45\t-0.4" + tail + "1", p));
    for (const QString& bad : {"1\t--\t45\t-0.4" + tail + "0", "1\t3.5\t\t-0.4" + tail + "0",
                               QString("1\t7.5\t45\t-0.4\tName")})
        EXPECT_FALSE(parse_plant_reply(*italian.ctx, bad, p)) << bad.toStdString();
    // A comma is no number on a decimal-point PC.
    EXPECT_FALSE(parse_plant_reply(*us.ctx, "1\t3,5\t45\t-0.4" + tail + "0", p));
    // A bad power class fails after the other fields were copied.
    p = PlantRecord{};
    EXPECT_FALSE(parse_plant_reply(*italian.ctx, "1\t7.5\t45\t-0.4" + tail + "2", p));
    EXPECT_DOUBLE_EQ(p.POT, 7.5);
    EXPECT_EQ(p.nome, "Name");
    // More than 51 fields is a run-time error.
    EXPECT_THROW(parse_plant_reply(*italian.ctx, "1" + QString(60, '\t') + "1", p), RunError);
}

TEST(queries_parse, measurementDashesAndChecks) {
    TestEnv e(kUsPc);
    const QString date = "14/06/2024";
    const struct {
        QString reply;
        bool ok;
        double tamb = kNoValue;
        bool pass = true;
    } cases[] = {
        {measurementReply(), true, 24.5},
        {measurementReply(date, "--"), true},
        {measurementReply(date, ""), true},
        {measurementReply(date, "1", "1", "pass"), true, 1, false}, // the verdict is case-sensitive
        {measurementReply(date, "1", "--"), false},
        {measurementReply(date, "1", "4e2"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        MeasurementRecord m;
        m.rad = 1;
        ASSERT_EQ(parse_measurement_reply(*e.ctx, c.reply, m), c.ok);
        EXPECT_DOUBLE_EQ(m.rad, c.ok ? 812.5 : 1); // a failed reply leaves the record alone
        if (!c.ok) continue;
        EXPECT_DOUBLE_EQ(m.TEMPAMB, c.tamb);
        EXPECT_EQ(m.ESITOAC, c.pass);
    }
}

TEST(queries_parse, datesReadTheSameOnEveryPc) {
    for (const QLocale& l : {kUsPc, kItalianPc, QLocale(QLocale::German, QLocale::Germany)}) {
        TestEnv e(l);
        MeasurementRecord m;
        for (const char* d : {"03/04/2024", "3.4.2024", "03-04-24", "3/4/24"}) {
            ASSERT_TRUE(parse_measurement_reply(*e.ctx, measurementReply(d), m)) << d;
            EXPECT_EQ(m.data, QDate(2024, 4, 3)) << d << " " << l.name().toStdString();
        }
        for (const char* bad : {"31/02/2024", "2024-04-03", "03/04", "x", "", "13/13/2024"})
            EXPECT_THROW(parse_measurement_reply(*e.ctx, measurementReply(bad), m), RunError)
                << bad;
    }
    EXPECT_EQ(instrument_time("7.05"), QTime(7, 5));
    EXPECT_THROW(instrument_time("25.00.00"), RunError);
}

TEST(queries_parse, trattiniAndNumberLists) {
    for (const char* dashes : {"", "--", "a--b"})
        EXPECT_TRUE(isTrattini(dashes)) << dashes;
    for (const char* value : {"-1.5", " "})
        EXPECT_FALSE(isTrattini(value)) << value;

    std::array<int, 100> n;
    EXPECT_EQ(parse_number_list("", n), 0);
    EXPECT_EQ(n[0], -1);
    EXPECT_EQ(parse_number_list("7", n), 1);
    EXPECT_EQ(parse_number_list("3\tabc\t 9x\t", n), 3); // a final TAB adds no slot
    EXPECT_EQ(n[1], 0);
    EXPECT_EQ(n[2], 9);
    EXPECT_EQ(n[3], -1);
    EXPECT_THROW(parse_number_list("1" + QString("\t1").repeated(100), n), RunError);
    EXPECT_THROW(parse_number_list("99999999999", n), RunError);
}

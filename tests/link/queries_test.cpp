// The instrument queries: identity, one plant, one measurement, on decimal-point and
// decimal-comma PCs, over the real link and on the reply parsers alone. Random replies go to the
// fuzz targets.

#include "app_context.h"
#include "instrument_queries.h"
#include "link.h"
#include "link_env.h"
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
    EXPECT_EQ(t.env.errorsOf("leggi_acquisizione_da_UT"), 1);
    EXPECT_EQ(t.ctx.measurement.data, MeasurementRecord::originDate());
    EXPECT_TRUE(t.ctx.link.baseLinkUp());

    t.ctx.link.setLinkUp(Unit::Base, false); // a failed exchange leaves the texts alone
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
                               "1\t3.5\t45\t--" + tail + "0", "1\t3.5\tx\t-0.4" + tail + "0",
                               "1\t3.5\t45\tx" + tail + "0", QString("1\t7.5\t45\t-0.4\tName")})
        EXPECT_FALSE(parse_plant_reply(*italian.ctx, bad, p)) << bad.toStdString();
    // A comma is no number on a decimal-point PC.
    EXPECT_FALSE(parse_plant_reply(*us.ctx, "1\t3,5\t45\t-0.4" + tail + "0", p));
    // A bad power class fails after the other fields were copied.
    p = PlantRecord{};
    EXPECT_FALSE(parse_plant_reply(*italian.ctx, "1\t7.5\t45\t-0.4" + tail + "2", p));
    EXPECT_TRUE(p.POT == 7.5 && p.nome == "Name");
    // More than 51 fields is a run-time error.
    EXPECT_THROW(parse_plant_reply(*italian.ctx, "1" + QString(60, '\t') + "1", p), RunError);
}

TEST(queries_parse, measurementDashesAndChecks) {
    TestEnv e(kUsPc);
    MeasurementRecord m;
    // An empty field reads as "--"; the verdict is case-sensitive.
    ASSERT_TRUE(
        parse_measurement_reply(*e.ctx, measurementReply("14/06/2024", "", "1", "pass"), m));
    EXPECT_TRUE(m.TEMPAMB == kNoValue && !m.ESITOAC && m.rad == 812.5);
    // A voltage that is no plain number fails and leaves the record alone.
    m.rad = 1;
    EXPECT_FALSE(parse_measurement_reply(*e.ctx, measurementReply("14/06/2024", "1", "4e2"), m));
    EXPECT_FALSE(parse_measurement_reply(*e.ctx, measurementReply("14/06/2024", "x"), m));
    EXPECT_EQ(m.rad, 1);
}

TEST(queries_parse, datesReadTheSameOnEveryPc) {
    for (const QLocale& l : {kUsPc, kItalianPc, kGermanPc}) {
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
    const struct {
        const char* text;
        QDate date;
    } twoDigitYears[] = {
        {"14/06/99", {1999, 6, 14}}, {"1.1.30", {1930, 1, 1}},      {"31-12-29", {2029, 12, 31}},
        {"29/02/00", {2000, 2, 29}}, {"14/06/2099", {2099, 6, 14}},
    };
    for (const auto& y : twoDigitYears)
        EXPECT_EQ(instrument_date(y.text), y.date) << y.text;
    EXPECT_EQ(instrument_time("7.05"), QTime(7, 5));
    EXPECT_THROW(instrument_time("25.00.00"), RunError);
}

TEST(queries_parse, trattiniAndNumberLists) {
    EXPECT_TRUE(isTrattini("") && isTrattini("--") && isTrattini("a--b"));
    EXPECT_FALSE(isTrattini("-1.5") || isTrattini(" "));

    std::array<int, 100> n;
    EXPECT_EQ(parse_number_list("", n), 0);
    EXPECT_EQ(parse_number_list("3\tabc\t 9x\t", n), 3); // a final TAB adds no slot
    EXPECT_EQ(std::vector(n.begin(), n.begin() + 4), (std::vector{3, 0, 9, -1}));
    EXPECT_THROW(parse_number_list("1" + QString("\t1").repeated(100), n), RunError);
    EXPECT_THROW(parse_number_list("99999999999", n), RunError);
}

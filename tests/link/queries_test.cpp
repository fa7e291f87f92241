// The instrument queries over the link and on the parsers alone. Which replies are taken, field by
// field, is the reply fuzz targets' (their regressions hold the edge cases).

#include "app_context.h"
#include "instrument_queries.h"
#include "link.h"
#include "link_env.h"
#include "run_error.h"

#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

// Plants and measurements over the link, on both kinds of PC, are checked by the downloads; the
// identity's texts by the instrument_session fuzz target.
TEST(queries_link, unknownPlantUnreadableDateAndAFailedExchange) {
    LinkEnv t;
    ASSERT_TRUE(t.startInstrument({}, {simMeasurement(1, 1, measurementReply("14/13/2024"))}));
    // The instrument's "ERR" fails the checks and the record stays reset.
    EXPECT_FALSE(leggi_impianto_da_UT(t.ctx, "rep", 9));
    EXPECT_DOUBLE_EQ(t.ctx.plant.POT, kNoValue);
    // A date no PC can read fails the routine with a log entry.
    EXPECT_FALSE(leggi_acquisizione_da_UT(t.ctx, "rep", 1, 1));
    EXPECT_EQ(t.env.errorsOf("leggi_acquisizione_da_UT"), 1);
    EXPECT_EQ(t.ctx.measurement.data, MeasurementRecord::originDate());
    EXPECT_TRUE(t.ctx.link.baseLinkUp());

    t.ctx.link.setLinkUp(Unit::Base, false); // a failed exchange leaves the texts alone
    t.ctx.fwVersionText = t.ctx.serialNumberText = "before";
    EXPECT_FALSE(read_versione_fw(t.ctx, "setup"));
    read_matricola_str(t.ctx, "setup");
    EXPECT_EQ(t.ctx.fwVersionText + "|" + t.ctx.serialNumberText, "before|before");
}

TEST(queries_parse, aPlantReplyWithoutASoundPowerClassFailsAfterCopyingTheFields) {
    TestEnv italian(kItalianPc);
    const QString head = "1\t7.5\t45\t-0.4\tName";
    PlantRecord p;
    EXPECT_FALSE(parse_plant_reply(*italian.ctx, head + "\tStreet\t1\t20100\tTown\tTAX\t2", p));
    EXPECT_TRUE(p.POT == 7.5 && p.nome == "Name");
    EXPECT_FALSE(parse_plant_reply(*italian.ctx, head, p));
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

TEST(queries_parse, trattini) {
    EXPECT_TRUE(isTrattini("") && isTrattini("--") && isTrattini("a--b"));
    EXPECT_FALSE(isTrattini("-1.5") || isTrattini(" "));
}

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

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kItaly(QLocale::Italian, QLocale::Italy);
const QString kDate = QStringLiteral("14/06/2024");

QString measurementLine(const QString& date = QStringLiteral("14/06/2024"),
                        const QString& tamb = QStringLiteral("24.5"),
                        const QString& vdc1 = QStringLiteral("410.2")) {
    return date + QStringLiteral("\t10.15.02\t812.5\t3.1\t") + tamb + QStringLiteral("\t41.2\t") +
           vdc1 +
           QStringLiteral("\t7.1\t0\t0\t0\t0\t2.9\t231.0\t12.1\t0\t0\t0\t0\t2.8\t0.93\t0.96\t0\t"
                          "PASS\t0.89\t-0.44");
}

} // namespace

TEST(queries_identity, versionSerialNumberAndTheSfFlag) {
    LinkEnv t;
    const QString data =
        t.writeFile(QStringLiteral("inst.txt"), {QStringLiteral("version\tVersion: FV 2.1.5 SF"),
                                                 QStringLiteral("serial\tSN 0815")});
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--data"), data}).ready());
    ASSERT_TRUE(read_versione_fw(t.ctx, QStringLiteral("setup")));
    EXPECT_EQ(t.ctx.fwVersionText, QStringLiteral(" FV 2.1.5 SF"));
    EXPECT_TRUE(t.ctx.fwSfFlag);
    read_matricola_str(t.ctx, QStringLiteral("setup"));
    EXPECT_EQ(t.ctx.serialNumberText, QStringLiteral("SN 0815"));

    // A failed exchange leaves the version and the serial number alone.
    t.ctx.link.baseLinkUp = false;
    EXPECT_FALSE(read_versione_fw(t.ctx, QStringLiteral("setup")));
    EXPECT_EQ(t.ctx.fwVersionText, QStringLiteral(" FV 2.1.5 SF"));
    EXPECT_FALSE(t.ctx.fwSfFlag);
    read_matricola_str(t.ctx, QStringLiteral("setup"));
    EXPECT_EQ(t.ctx.serialNumberText, QStringLiteral("SN 0815"));
}

class QueriesOnBothPcs : public ::testing::TestWithParam<QLocale> {};

TEST_P(QueriesOnBothPcs, plantAndMeasurementOverTheLink) {
    LinkEnv t(GetParam());
    ASSERT_TRUE(t.startInstrument().ready());
    t.ctx.fwVersionText = QStringLiteral(" FV 2.1.5");
    ASSERT_TRUE(leggi_impianto_da_UT(t.ctx, QStringLiteral("rep"), 1));
    EXPECT_DOUBLE_EQ(t.ctx.plant.POT, 3.5);
    EXPECT_DOUBLE_EQ(t.ctx.plant.NOCT, 45);
    EXPECT_DOUBLE_EQ(t.ctx.plant.REAL1, -0.45);
    EXPECT_EQ(t.ctx.plant.nome, QStringLiteral("Rossi Mario"));
    EXPECT_EQ(t.ctx.plant.CODFISC, QStringLiteral("RSSMRA70A01F205X"));
    EXPECT_FALSE(t.ctx.plant.BOOL1);
    ASSERT_TRUE(leggi_impianto_da_UT(t.ctx, QStringLiteral("rep"), 4));
    EXPECT_TRUE(t.ctx.plant.BOOL1);

    ASSERT_TRUE(leggi_acquisizione_da_UT(t.ctx, QStringLiteral("rep"), 1, 2));
    const MeasurementRecord& m = t.ctx.measurement;
    EXPECT_EQ(m.data, QDate(2024, 6, 14));
    EXPECT_EQ(m.ora, QTime(10, 45, 40));
    EXPECT_DOUBLE_EQ(m.rad, 845.0);
    EXPECT_DOUBLE_EQ(m.TEMPAMB, kNoValue); // "--"
    EXPECT_DOUBLE_EQ(m.TEMPPAN, 43.0);
    EXPECT_DOUBLE_EQ(m.COEFFTEMP, -0.45);
    EXPECT_DOUBLE_EQ(m.REAL2, 0.86);
    EXPECT_FALSE(m.ESITOAC);
    EXPECT_EQ(m.TEXT1, QStringLiteral(" FV 2.1.5"));
    EXPECT_EQ(m.TEXT2, t.ctx.swVersion);

    // An unknown plant: the instrument's "ERR" fails the checks and the record stays reset.
    EXPECT_FALSE(leggi_impianto_da_UT(t.ctx, QStringLiteral("rep"), 9));
    EXPECT_DOUBLE_EQ(t.ctx.plant.POT, kNoValue);
    EXPECT_TRUE(t.ctx.link.baseLinkUp);
}

INSTANTIATE_TEST_SUITE_P(DecimalPointAndComma, QueriesOnBothPcs, ::testing::Values(kUs, kItaly));

TEST(queries_parse, plantFieldChecks) {
    TestEnv e(kItaly);
    AppContext& ctx = *e.ctx;
    PlantRecord p;
    const QString tail = QStringLiteral("\tName\tStreet\t1\t20100\tTown\tTAX\t");
    EXPECT_TRUE(parse_plant_reply(ctx, QStringLiteral("1\t3.5\t45\t-0.4") + tail + "1", p));
    EXPECT_DOUBLE_EQ(p.POT, 3.5);
    EXPECT_TRUE(p.BOOL1);
    EXPECT_FALSE(parse_plant_reply(ctx, QStringLiteral("1\t--\t45\t-0.4") + tail + "0", p));
    EXPECT_FALSE(parse_plant_reply(ctx, QStringLiteral("1\t3.5\t\t-0.4") + tail + "0", p));
    // A bad power class fails after the other fields were copied.
    p = PlantRecord{};
    EXPECT_FALSE(parse_plant_reply(ctx, QStringLiteral("1\t7.5\t45\t-0.4") + tail + "2", p));
    EXPECT_DOUBLE_EQ(p.POT, 7.5);
    EXPECT_EQ(p.nome, QStringLiteral("Name"));
    EXPECT_FALSE(parse_plant_reply(ctx, QStringLiteral("1\t7.5\t45\t-0.4\tName"), p));
    // More than 51 fields is a run-time error.
    EXPECT_THROW(
        parse_plant_reply(ctx, QStringLiteral("1") + QString(60, QLatin1Char('\t')) + "1", p),
        RunError);
}

TEST(queries_parse, aDecimalCommaIsNoNumberOnADecimalPointPc) {
    TestEnv e(kUs);
    PlantRecord p;
    EXPECT_FALSE(parse_plant_reply(
        *e.ctx, QStringLiteral("1\t3,5\t45\t-0.4\tName\tStreet\t1\t20100\tTown\tTAX\t0"), p));
}

TEST(queries_parse, measurementDashesAndChecks) {
    TestEnv e(kUs);
    AppContext& ctx = *e.ctx;
    MeasurementRecord m;
    ASSERT_TRUE(parse_measurement_reply(ctx, measurementLine(), m));
    EXPECT_DOUBLE_EQ(m.TEMPAMB, 24.5);
    EXPECT_TRUE(m.ESITOAC);
    ASSERT_TRUE(parse_measurement_reply(ctx, measurementLine(kDate, QStringLiteral("--")), m));
    EXPECT_DOUBLE_EQ(m.TEMPAMB, kNoValue);
    ASSERT_TRUE(parse_measurement_reply(ctx, measurementLine(kDate, QString()), m));
    EXPECT_DOUBLE_EQ(m.TEMPAMB, kNoValue);

    MeasurementRecord untouched;
    untouched.rad = 1;
    EXPECT_FALSE(
        parse_measurement_reply(ctx, measurementLine(kDate, {}, QStringLiteral("--")), untouched));
    EXPECT_DOUBLE_EQ(untouched.rad, 1);
    EXPECT_FALSE(
        parse_measurement_reply(ctx, measurementLine(kDate, {}, QStringLiteral("4e2")), m));
    EXPECT_FALSE(parse_measurement_reply(ctx, QStringLiteral("14/06/2024\t10.15.02"), m));
    EXPECT_FALSE(parse_measurement_reply(ctx, QString(), m));
    // "pass" in lower case is a fault.
    QString lower = measurementLine();
    lower.replace(QStringLiteral("PASS"), QStringLiteral("pass"));
    ASSERT_TRUE(parse_measurement_reply(ctx, lower, m));
    EXPECT_FALSE(m.ESITOAC);
}

TEST(queries_parse, datesReadTheSameOnEveryPc) {
    for (const QLocale& l : {kUs, kItaly, QLocale(QLocale::German, QLocale::Germany)}) {
        TestEnv e(l);
        MeasurementRecord m;
        for (const char* d : {"03/04/2024", "3.4.2024", "03-04-24", "3/4/24"}) {
            ASSERT_TRUE(parse_measurement_reply(*e.ctx, measurementLine(QLatin1String(d)), m)) << d;
            EXPECT_EQ(m.data, QDate(2024, 4, 3)) << d << " " << l.name().toStdString();
        }
        for (const char* bad : {"31/02/2024", "2024-04-03", "03/04", "x", "", "13/13/2024"})
            EXPECT_THROW(parse_measurement_reply(*e.ctx, measurementLine(QLatin1String(bad)), m),
                         RunError)
                << bad;
    }
    EXPECT_EQ(instrument_time(QStringLiteral("7.05")), QTime(7, 5));
    EXPECT_THROW(instrument_time(QStringLiteral("25.00.00")), RunError);
}

TEST(queries_parse, aBadDateFailsTheRoutineWithALogEntry) {
    LinkEnv t;
    const QString data =
        t.writeFile(QStringLiteral("inst.txt"), {QStringLiteral("measure\t1\t1\t") +
                                                 measurementLine(QStringLiteral("14/13/2024"))});
    ASSERT_TRUE(t.startInstrument({QStringLiteral("--data"), data}).ready());
    EXPECT_FALSE(leggi_acquisizione_da_UT(t.ctx, QStringLiteral("rep"), 1, 1));
    EXPECT_EQ(t.errorsOf(QStringLiteral("leggi_acquisizione_da_UT")), 1);
    EXPECT_EQ(t.ctx.measurement.data, MeasurementRecord::originDate());
}

TEST(queries_parse, trattiniAndNumberLists) {
    EXPECT_TRUE(isTrattini(QString()));
    EXPECT_TRUE(isTrattini(QStringLiteral("--")));
    EXPECT_TRUE(isTrattini(QStringLiteral("a--b")));
    EXPECT_FALSE(isTrattini(QStringLiteral("-1.5")));
    EXPECT_FALSE(isTrattini(QStringLiteral(" ")));

    std::array<int, 100> n;
    EXPECT_EQ(parse_number_list(QString(), n), 0);
    EXPECT_EQ(n[0], -1);
    EXPECT_EQ(parse_number_list(QStringLiteral("7"), n), 1);
    EXPECT_EQ(parse_number_list(QStringLiteral("3\t7\t12\t"), n), 3);
    EXPECT_EQ(n[2], 12);
    EXPECT_EQ(n[3], -1);
    EXPECT_EQ(parse_number_list(QStringLiteral("3\tabc\t 9x"), n), 3);
    EXPECT_EQ(n[1], 0);
    EXPECT_EQ(n[2], 9);
    QStringList many;
    for (int i = 1; i <= 101; ++i)
        many << QString::number(i);
    EXPECT_THROW(parse_number_list(many.join(QLatin1Char('\t')), n), RunError);
    EXPECT_THROW(parse_number_list(QStringLiteral("99999999999"), n), RunError);
}

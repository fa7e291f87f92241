// The instrument queries: identity, one plant, one measurement, on decimal-point and
// decimal-comma PCs, over the real link and on the reply parsers alone, and the parsers fed
// seeded random replies.

#include "app_context.h"
#include "instrument_queries.h"
#include "link.h"
#include "link_env.h"
#include "run_error.h"

#include <gtest/gtest.h>
#include <random>

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
                               QString("1\t7.5\t45\t-0.4\tName")})
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

// Whatever arrives, a parser returns or throws RunError, nothing else.
namespace {

const QString kValid[] = {"1\t2\t3\t12\t31", "1\t" + kPlantFields, measurementReply()};
// Characters that matter to the parsers, and some that should not.
const QString kAlphabet = "0123456789.,-+/: \t\r\nPASe--xX\u00e8\u20ac";

struct Fuzzer {
    std::mt19937 rng{20240614};

    int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng); }
    QChar any() { return pick(4) ? kAlphabet[pick(int(kAlphabet.size()))] : QChar(pick(0x3000)); }

    // Noise, or a valid reply shuffled, cut short, padded with fields, or edited in places.
    QString reply(const QString& valid) {
        QStringList f = valid.split('\t');
        const int how = pick(5);
        if (how == 1) std::shuffle(f.begin(), f.end(), rng);
        if (how == 2) f = f.mid(0, pick(int(f.size())));
        if (how == 3) f += QStringList(pick(120), "0");
        QString s = how == 0 ? QString() : f.join('\t');
        for (int i = how == 0 ? pick(200) : how == 4 ? 1 + pick(4) : 0; i > 0; --i) {
            const int at = pick(int(s.size()) + 1), edit = how == 0 ? 1 : pick(3);
            if (edit == 0) s.remove(at, 1 + pick(5));
            if (edit == 1) s.insert(at, any());
            if (edit == 2 && at < s.size()) s[at] = any();
        }
        return s;
    }
};

} // namespace

class QueriesFuzz : public ::testing::TestWithParam<QLocale> {};

TEST_P(QueriesFuzz, parsersSurviveRandomReplies) {
    TestEnv e(GetParam());
    Fuzzer fuzz;
    int seen[3][3] = {}; // per parser: accepted, refused, run-time error
    const auto survives = [&](int parser, auto&& parse) {
        try {
            ++seen[parser][parse() ? 0 : 1];
        } catch (const RunError&) {
            ++seen[parser][2];
        }
    };
    for (int i = 0; i < 20000; ++i) {
        PlantRecord p;
        MeasurementRecord m;
        std::array<int, 100> n;
        survives(0, [&] {
            const int k = parse_number_list(fuzz.reply(kValid[0]), n);
            EXPECT_TRUE(k >= 0 && k <= 100 && (k == 100 || n[size_t(k)] == -1)) << k;
            return k > 0;
        });
        survives(1, [&] { return parse_plant_reply(*e.ctx, fuzz.reply(kValid[1]), p); });
        survives(2, [&] { return parse_measurement_reply(*e.ctx, fuzz.reply(kValid[2]), m); });
    }
    // The corpus reaches every outcome of every parser, not just the error path.
    for (const auto& outcomes : seen)
        for (int count : outcomes)
            EXPECT_GT(count, 100);
}

INSTANTIATE_TEST_SUITE_P(DecimalPointAndComma, QueriesFuzz, ::testing::Values(kUsPc, kItalianPc),
                         localeName);

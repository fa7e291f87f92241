// Seeded random replies for the parsers of "IIMP"/"IMISPERIMP", "LISTNIMPIANTO" and
// "LISTMISURA": whatever arrives, a parser returns or throws RunError, nothing else.

#include "app_context.h"
#include "instrument_queries.h"
#include "link_fixture.h"
#include "run_error.h"

#include <gtest/gtest.h>
#include <random>

using namespace vorna;
using namespace vorna::test;

namespace {

const QString kValid[] = {"1\t2\t3\t12\t31", "1\t" + kPlantFields, measurementReply()};
// Characters that matter to the parsers, and some that should not.
const QString kAlphabet = "0123456789.,-+/: \t\r\nPASe--xX\u00e8\u20ac";

struct Fuzzer {
    std::mt19937 rng{20240614};

    int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng); }
    QChar any() { return pick(4) ? kAlphabet[pick(int(kAlphabet.size()))] : QChar(pick(0x3000)); }

    QString noise(int n) {
        QString s;
        while (n-- > 0)
            s += any();
        return s;
    }

    // Noise, or a valid reply shuffled, cut short, padded with fields, or edited in places.
    QString reply(const QString& valid) {
        QStringList f = valid.split('\t');
        const int how = pick(5);
        if (how == 0) return noise(pick(200));
        if (how == 1) std::shuffle(f.begin(), f.end(), rng);
        if (how == 2) f = f.mid(0, pick(int(f.size())));
        if (how == 3) f += QStringList(pick(120), "0");
        QString s = f.join('\t');
        for (int i = how == 4 ? 1 + pick(4) : 0; i > 0 && !s.isEmpty(); --i) {
            const int at = pick(int(s.size())), edit = pick(3);
            if (edit == 0) s.remove(at, 1 + pick(5));
            if (edit == 1) s.insert(at, noise(1 + pick(8)));
            if (edit == 2) s[at] = any();
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
        const QString list = fuzz.reply(kValid[0]), plant = fuzz.reply(kValid[1]),
                      measurement = fuzz.reply(kValid[2]);
        survives(0, [&] {
            const int k = parse_number_list(list, n);
            EXPECT_TRUE(k >= 0 && k <= 100 && (k == 100 || n[size_t(k)] == -1)) << k;
            return k > 0;
        });
        survives(1, [&] { return parse_plant_reply(*e.ctx, plant, p); });
        survives(2, [&] { return parse_measurement_reply(*e.ctx, measurement, m); });
    }
    // The corpus reaches every outcome of every parser, not just the error path.
    for (const auto& outcomes : seen)
        for (int count : outcomes)
            EXPECT_GT(count, 100);
}

INSTANTIATE_TEST_SUITE_P(DecimalPointAndComma, QueriesFuzz, ::testing::Values(kUsPc, kItalianPc));

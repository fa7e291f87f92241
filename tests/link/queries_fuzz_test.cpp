// Seeded random replies for the parsers of "IIMP"/"IMISPERIMP", "LISTNIMPIANTO" and
// "LISTMISURA": whatever arrives, a parser returns or throws RunError, nothing else.

#include "app_context.h"
#include "instrument_queries.h"
#include "run_error.h"
#include "test_env.h"

#include <gtest/gtest.h>
#include <random>

using namespace vorna;
using namespace vorna::test;

namespace {

const QString kPlant = QStringLiteral(
    "1\t3.5\t45\t-0.45\tRossi Mario\tVia Roma\t12\t20100\tMilano\tRSSMRA70A01F205X\t0");
const QString kMeasurement = QStringLiteral(
    "14/06/2024\t10.15.02\t812.5\t3.1\t24.5\t41.2\t410.2\t7.1\t0\t0\t0\t0\t2.9\t231.0\t12.1\t0\t"
    "0\t0\t0\t2.8\t0.93\t0.96\t0\tPASS\t0.89\t-0.44");
const QString kNumbers = QStringLiteral("1\t2\t3\t12\t31");

// Characters that matter to the parsers, and some that should not.
const QString kAlphabet = QStringLiteral("0123456789.,-+/: \t\r\nPASe--xX\u00e8\u20ac");

class Fuzzer {
public:
    explicit Fuzzer(quint32 seed) : rng_(seed) {}

    QString reply(const QString& valid) {
        switch (pick(6)) {
        case 0:
            return noise(pick(200));
        case 1:
            return mutate(valid, 1 + pick(4));
        case 2:
            return shuffleFields(valid);
        case 3:
            return valid + QString(pick(120), QLatin1Char('\t')); // too many fields
        case 4:
            return dropFields(valid);
        default:
            return mutate(valid, 1);
        }
    }

private:
    int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    QString noise(int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += pick(4) ? kAlphabet[pick(int(kAlphabet.size()))] : QChar(ushort(pick(0x3000)));
        return s;
    }

    QString mutate(QString s, int times) {
        for (int i = 0; i < times && !s.isEmpty(); ++i) {
            const int at = pick(int(s.size()));
            switch (pick(3)) {
            case 0:
                s.remove(at, 1 + pick(5));
                break;
            case 1:
                s.insert(at, noise(1 + pick(8)));
                break;
            default:
                s[at] = kAlphabet[pick(int(kAlphabet.size()))];
            }
        }
        return s;
    }

    QString shuffleFields(const QString& s) {
        QStringList f = s.split(QLatin1Char('\t'));
        std::shuffle(f.begin(), f.end(), rng_);
        return f.join(QLatin1Char('\t'));
    }

    QString dropFields(const QString& s) {
        QStringList f = s.split(QLatin1Char('\t'));
        return f.mid(0, pick(int(f.size()))).join(QLatin1Char('\t'));
    }

    std::mt19937 rng_;
};

template <typename F> void survives(F&& parse, int& accepted, int& refused, int& errors) {
    try {
        (parse() ? accepted : refused)++;
    } catch (const RunError&) {
        ++errors;
    }
}

} // namespace

class QueriesFuzz : public ::testing::TestWithParam<QLocale> {};

TEST_P(QueriesFuzz, parsersSurviveRandomReplies) {
    TestEnv e(GetParam());
    const AppContext& ctx = *e.ctx;
    Fuzzer fuzz(20240614);
    int accepted = 0, refused = 0, errors = 0;
    for (int i = 0; i < 20000; ++i) {
        PlantRecord p;
        MeasurementRecord m;
        std::array<int, 100> numbers;
        const QString plant = fuzz.reply(kPlant), measurement = fuzz.reply(kMeasurement),
                      list = fuzz.reply(kNumbers);
        survives([&] { return parse_plant_reply(ctx, plant, p); }, accepted, refused, errors);
        survives([&] { return parse_measurement_reply(ctx, measurement, m); }, accepted, refused,
                 errors);
        try {
            const int n = parse_number_list(list, numbers);
            ASSERT_TRUE(n >= 0 && n <= 100 && (n == 100 || numbers[size_t(n)] == -1)) << n;
        } catch (const RunError&) {
            ++errors;
        }
    }
    // The corpus reaches every outcome, so the loop exercises more than the error path.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(refused, 1000);
    EXPECT_GT(errors, 100);
}

INSTANTIATE_TEST_SUITE_P(DecimalPointAndComma, QueriesFuzz,
                         ::testing::Values(QLocale(QLocale::English, QLocale::UnitedStates),
                                           QLocale(QLocale::Italian, QLocale::Italy)));

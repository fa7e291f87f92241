#include "live_values.h"

#include "app_context.h"
#include "run_error.h"
#include "test_env.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace vorna;
using namespace vorna::test;

namespace {

// A full value list with every field set apart from the rest (the field number plus a tenth),
// as the instrument writes it; fields given in `changes` replace theirs.
QString reply(const std::map<int, QString>& changes = {}) {
    QStringList f;
    for (int i = 0; i < 28; ++i)
        f << (changes.count(i) ? changes.at(i) : QString("%1.5").arg(i));
    return f.join('\t');
}

const QDateTime kWhen(QDate(2024, 6, 14), QTime(10, 15, 2, 750));

MeasurementRecord sample(AppContext& ctx, const QString& text, double& power) {
    ValueList v;
    split_listval(text, v);
    return live_sample(ctx, v, kWhen, power);
}

} // namespace

// Each field's own slot, the stamp, the verdict and the versions on both PCs are the live-values
// fuzz target's, replayed on its seeds; the stamp to the second, the real-time window's.
TEST(LiveValues, ChecksGiveNoValue) {
    const struct {
        int slot;
        QString text;
        double MeasurementRecord::*field;
        double expected;
    } cases[] = {
        {2, "2000", &MeasurementRecord::rad, 2000},
        {2, "0", &MeasurementRecord::rad, 0},
        {2, "2000.5", &MeasurementRecord::rad, kNoValue},
        {2, "-1", &MeasurementRecord::rad, kNoValue},
        {3, "--", &MeasurementRecord::TEMPAMB, kNoValue},
        {4, "", &MeasurementRecord::TEMPPAN, kNoValue},
        {5, "---", &MeasurementRecord::COEFFTEMP, kNoValue},
        {5, "-0.45", &MeasurementRecord::COEFFTEMP, -0.45},
        {7, "41O.2", &MeasurementRecord::VDC1, kNoValue},
        {7, "410,2", &MeasurementRecord::VDC1, kNoValue}, // the instrument writes "."
        {7, "+410", &MeasurementRecord::VDC1, kNoValue},
        {13, "1e3", &MeasurementRecord::POTDC, kNoValue},
        {21, "--", &MeasurementRecord::RENDDC, kNoValue},
        {23, "", &MeasurementRecord::RENDAC, kNoValue},
        {27, "n/a", &MeasurementRecord::REAL2, kNoValue},
        {9, "-10000", &MeasurementRecord::VDC2, kNoChannel},
    };
    TestEnv env;
    for (const auto& c : cases) {
        double power = 0;
        const MeasurementRecord m = sample(*env.ctx, reply({{c.slot, c.text}}), power);
        EXPECT_EQ(m.*c.field, c.expected) << c.slot << " '" << c.text.toStdString() << "'";
    }
    for (const QString verdict : {"pass", "FAULT", "PASS ", " Pass", ""}) {
        double power = 0;
        EXPECT_EQ(sample(*env.ctx, reply({{24, verdict}}), power).ESITOAC,
                  verdict.trimmed() == "PASS")
            << verdict.toStdString();
    }
    double power = 0;
    sample(*env.ctx, reply({{0, "3,5"}}), power);
    EXPECT_EQ(power, kNoValue);
}

// The efficiencies are converted without a check: a text that is no number is an error, not a
// value.
TEST(LiveValues, GarbageInAnEfficiencyIsAnError) {
    TestEnv env;
    for (int slot : {21, 23})
        for (const QString bad : {"x0.9", "0.9.1", "inf", "nan"}) {
            double power = 0;
            EXPECT_THROW(sample(*env.ctx, reply({{slot, bad}}), power), RunError)
                << slot << bad.toStdString();
        }
}

TEST(LiveValues, SplitEmptiesEverySlotAndRefusesTooManyFields) {
    ValueList v;
    v.fill("stale");
    split_listval(" 3.5\t\t 812.5 \t", v);
    ValueList split{"3.5", "", "812.5"};
    EXPECT_EQ(v, split);

    QStringList wide(52, "1");
    v.fill("kept");
    EXPECT_THROW(split_listval(wide.join('\t'), v), RunError);
    EXPECT_EQ(v[0], "kept");
    wide.removeLast();
    split_listval(wide.join('\t'), v);
    EXPECT_EQ(v[50], "1");

    // A cut reply after a full one: nothing of the full one is left.
    TestEnv env;
    double power = 0;
    sample(*env.ctx, reply({{24, "PASS"}}), power);
    const MeasurementRecord m = sample(*env.ctx, "1\t0\t500\t20\t30\t-0.4\t2\t400\t5\t400", power);
    EXPECT_EQ(m.rad, 500);
    EXPECT_EQ(m.IDC2, kNoValue);
    EXPECT_EQ(m.REAL2, kNoValue);
    EXPECT_FALSE(m.ESITOAC);
}

TEST(LiveValues, AbsentLinesAndPhases) {
    const struct {
        QString lines, phases;
        std::vector<int> absent;
    } cases[] = {
        {"MONOLINE", "MONOPHASE", {9, 10, 11, 12, 16, 17, 18, 19}},
        {" BILINE ", "BIPHASE", {11, 12, 18, 19}},
        {"THREELINE", "THREEPHASE", {}},
        {"monoline", "ERR", {}},
        {"", "MONOPHASE", {16, 17, 18, 19}},
    };
    for (const auto& c : cases) {
        ValueList v;
        v.fill("7");
        mark_absent_lines(c.lines, v);
        mark_absent_phases(c.phases, v);
        for (int i = 0; i < kValueSlots; ++i) {
            const bool absent = std::count(c.absent.begin(), c.absent.end(), i) > 0;
            EXPECT_EQ(v[size_t(i)], absent ? "-10000" : "7") << c.lines.toStdString() << " " << i;
        }
    }
}

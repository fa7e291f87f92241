#include "chart_axes.h"
#include "chart_data.h"
#include "run_error.h"
#include "test_env.h"
#include "text_grid.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <limits>

using namespace vorna;
using namespace vorna::test;

namespace {

void expectNear(double got, double want, const char* what) {
    EXPECT_NEAR(got, want, std::abs(want) * 1e-9 + 1e-12) << what;
}

int hms(int h, int m, int s) {
    return h * 3600 + m * 60 + s;
}

} // namespace

TEST(ValueAxis, FivePercentMarginWholeStepsNeverBelowZero) {
    struct Case {
        double vmin, vmax, minimum, maximum;
    };
    const Case cases[] = {
        {347, 347, 200, 360},           // 3.47e2: (3 - 1) × 100; 34.7e1: (35 + 1) × 10
        {812, 812, 700, 820},           // 8.12e2 → 700; 81.2e1 → 820
        {0.47, 0.47, 0.4, 0.48},        // 4.7e-1 → 0.4; 47e-2 → 0.48
        {120, 812, 80, 860},            // margin 34.6: 85.4 … 846.6
        {-3, 25, 0, 27},                // margin 1.4: -4.4 … 26.4
        {0, 0, 0, 1},                   // all zero
        {260, 460, 100, 480},           // 250 → 2.5 rounds to 2; 470
        {74, 84, 60, 85},               // 73.5; 84.5 rounds to 84
        {-5, -1, 0, 1},                 // 0 … 0 would be no axis at all
        {-20, -10, 0, 1},               // 0 … -9 likewise
        {1000, 1000, 900, 1010},        // 10 is inside (1, 10], 100 inside (10, 100]
        {0.001, 0.009, 0.0005, 0.0095}, // 0.0006 → 6e-4 → 5e-4; 0.0094 → 94e-4 → 95e-4
    };
    for (const Case& c : cases) {
        const ValueAxis a = valueAxis(c.vmin, c.vmax);
        const std::string at = std::to_string(c.vmin) + " … " + std::to_string(c.vmax);
        expectNear(a.minimum, c.minimum, at.c_str());
        expectNear(a.maximum, c.maximum, at.c_str());
        EXPECT_EQ(a.divisions, 10);
    }
    EXPECT_THROW(valueAxis(0, std::numeric_limits<double>::infinity()), std::exception);
}

TEST(TimeAxis, WholeHoursStrictlyAroundTheSamples) {
    struct Case {
        int tmin, tmax, minimum, maximum, divisions;
    };
    const Case cases[] = {
        {hms(9, 5, 0), hms(9, 45, 0), hms(9, 0, 0), hms(10, 0, 0), 6},
        {hms(9, 5, 0), hms(12, 30, 0), hms(9, 0, 0), hms(13, 0, 0), 4},
        {hms(8, 0, 0), hms(8, 30, 0), hms(7, 0, 0), hms(9, 0, 0), 2},
        {hms(8, 0, 1), hms(8, 30, 0), hms(8, 0, 0), hms(9, 0, 0), 6},
        {hms(9, 5, 0), hms(17, 0, 0), hms(9, 0, 0), hms(18, 0, 0), 9},
        {hms(1, 0, 0), hms(22, 59, 59), hms(0, 0, 0), hms(23, 0, 0), 23},
    };
    for (const Case& c : cases) {
        const TimeAxis a = timeAxis(c.tmin, c.tmax);
        EXPECT_EQ(std::tuple(a.minimum, a.maximum, a.divisions),
                  std::tuple(c.minimum, c.maximum, c.divisions))
            << c.tmin << " " << c.tmax;
    }
}

TEST(TimeAxis, ReferenceDayHasNoClockChange) {
    for (const char* zone : {"Europe/Rome", "America/Sao_Paulo", "Australia/Sydney", "UTC"}) {
        const InTimeZone in(zone);
        const qint64 start = referenceDayStart();
        const QDateTime midnight = QDateTime::fromMSecsSinceEpoch(start);
        EXPECT_EQ(midnight.time(), QTime(0, 0)) << zone;
        EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(start + 86400000LL).time(), QTime(0, 0)) << zone;
    }
}

namespace {

// Two columns of texts: the time (grid column 2) and one value (grid column 3).
struct TwoColumns : TextGrid {
    std::vector<std::pair<QString, QString>> rows;
    int rowCount() const override { return int(rows.size()) + 2; }
    QString cellText(int row, int column) const override {
        if (row == 0 || row > int(rows.size())) return {};
        const auto& r = rows[size_t(row - 1)];
        return column == 2 ? r.first : column == 3 ? r.second : QString();
    }
    void selectRow(int) override {}
};

} // namespace

TEST(ChartData, TimesValuesDashesRangesAndUnreadableCells) {
    TwoColumns g;
    g.rows = {{"09:05:00", "12,5"}, {"08:00:01", "---"}, {"17:30:59", "-3"}, {"12:00:00", "7"}};
    const ChartData d = chartData(g, 3, ',');
    EXPECT_EQ(d.points, QList<QPointF>({QPointF(hms(9, 5, 0), 12.5), QPointF(hms(8, 0, 1), 0),
                                        QPointF(hms(17, 30, 59), -3), QPointF(hms(12, 0, 0), 7)}));
    EXPECT_EQ(std::tuple(d.tmin, d.tmax, d.vmin, d.vmax),
              std::tuple(hms(8, 0, 1), hms(17, 30, 59), -3.0, 12.5));

    g.rows.clear();
    EXPECT_THROW(chartData(g, 3, '.'), RunError);
    const std::pair<QString, QString> bad[] = {
        {"9:05", "1"},    {"25:00:00", "1"},   {"", "1"},           {"09:05:00", "abc"},
        {"09:05:00", ""}, {"09:05:00", "1,5"}, {"09:05:00", "inf"}, {"09:05:00", "nan"},
    };
    for (const auto& row : bad) {
        g.rows = {{"09:00:00", "1"}, row};
        EXPECT_THROW(chartData(g, 3, '.'), RunError)
            << row.first.toStdString() << " " << row.second.toStdString();
    }
    g.rows = {{"09:00:00", "1.5"}};
    EXPECT_THROW(chartData(g, 3, ','), RunError);
    EXPECT_EQ(chartData(g, 3, '.').vmax, 1.5);
}

#include "chart_points.h"
#include "chart_zoom.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <limits>

using namespace vorna;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QString pointsText(const QList<QPointF>& points) {
    QStringList out;
    for (const QPointF& p : points)
        out << QString("%1:%2").arg(p.x()).arg(p.y());
    return out.join(' ');
}

// "stretch | stretch" of "x:y" points, then "= samples tmin..tmax vmin..vmax" of the extent.
std::string drawn(const QList<QPointF>& points, NoValue noValue) {
    QStringList out;
    ChartExtent e;
    for (const auto& s : ChartLine(noValue).addAll(points))
        out << pointsText(s);
    for (const QPointF& p : points)
        e.add(p, noValue);
    const QString values = e.anyValue ? QString("%1..%2").arg(e.vmin).arg(e.vmax) : "none";
    return (out.join(" | ") + QString(" = %1 %2..%3 ").arg(e.samples).arg(e.tmin).arg(e.tmax) +
            values)
        .toStdString();
}

} // namespace

TEST(ChartPoints, StretchesAndExtentAsGapOrAtZero) {
    const struct {
        QList<QPointF> points;
        const char *gap, *asZero;
    } cases[] = {
        {{{1, 5}, {2, kNaN}, {3, 7}, {4, 8}},
         "1:5 | 3:7 4:8 = 4 1..4 5..8",
         "1:5 2:0 3:7 4:8 = 4 1..4 0..8"},
        {{{1, kNaN}, {2, 3}, {3, kNaN}}, "2:3 = 3 1..3 3..3", "1:0 2:3 3:0 = 3 1..3 0..3"},
        {{{1, kNaN}, {2, kNaN}}, " = 2 1..2 none", "1:0 2:0 = 2 1..2 0..0"},
        // After 23:00 the next day's 8:00: the line starts again from the left.
        {{{80000, -1}, {82800, 2}, {28800, 3}, {29000, 4}},
         "80000:-1 82800:2 | 28800:3 29000:4 = 4 28800..82800 -1..4",
         "80000:-1 82800:2 | 28800:3 29000:4 = 4 28800..82800 -1..4"},
        {{{5, 1}, {5, 2}}, "5:1 5:2 = 2 5..5 1..2", "5:1 5:2 = 2 5..5 1..2"}, // in one second
        {{}, " = 0 0..0 none", " = 0 0..0 none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(drawn(c.points, NoValue::Gap), c.gap);
        EXPECT_EQ(drawn(c.points, NoValue::AsZero), c.asZero);
    }
    // A line goes on from where a whole series left it.
    ChartLine line(NoValue::Gap);
    line.addAll({{1, 5}});
    EXPECT_EQ(line.add({2, 6}), ChartLine::Step::Extend);
    line.addAll({{3, kNaN}});
    EXPECT_EQ(line.add({4, 6}), ChartLine::Step::Begin);
}

// 0 to 100 s on 200 px, 0 to 10 on 100 px: A (10, 5) at pixel (20, 50), B (20, ---) at
// (40, 100) when drawn at 0, C (30, 9) at (60, 10), D (60, 2) at (120, 80); E and F lie
// outside the axes.
TEST(ChartPoints, NearestPointOnScreen) {
    const ChartAxes axes{{0, 100, 10}, {0, 10, 10}};
    const QRectF plot(0, 0, 200, 100);
    const QList<QPointF> points{{10, 5}, {20, kNaN}, {30, 9}, {60, 2}, {120, 5}, {50, 11}};
    const struct {
        QPointF pos;
        int gap, asZero;
    } cases[] = {
        {{22, 52}, 0, 0},
        {{40, 95}, 0, 1}, // B only when drawn
        {{100, 1}, 2, 2}, // F is off the axes
        // Nearer to C in data units (7.5 s, 3) but to A on screen (25 px, 10 px).
        {{45, 40}, 0, 0},
        {{210, 50}, -1, -1}, // outside the plot area
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nearestPoint(points, NoValue::Gap, axes, plot, c.pos), c.gap) << c.pos.x();
        EXPECT_EQ(nearestPoint(points, NoValue::AsZero, axes, plot, c.pos), c.asZero) << c.pos.x();
    }
    EXPECT_EQ(nearestPoint({{20, kNaN}}, NoValue::Gap, axes, plot, {40, 100}), -1);
}

TEST(ChartPoints, HoverTextAsTheGridWritesIt) {
    const QLocale it(QLocale::Italian, QLocale::Italy);
    EXPECT_EQ(pointText({36902, 812.5}, it), "10:15:02  812,5");
    EXPECT_EQ(pointText({86399, kNaN}, it), "23:59:59  ---");
}

// The picture of a line at a plot's width: a column's run keeps its first, lowest, highest and
// last point in their order, and short runs stay whole.
TEST(ChartPoints, ThinnedLineKeepsWhatEachColumnDraws) {
    const auto line = [](std::initializer_list<double> ys, double step) {
        QList<QPointF> points;
        for (double y : ys)
            points << QPointF(points.size() * step, y);
        return points;
    };
    const struct {
        QList<QPointF> points;
        int columns;
        const char* thinned;
    } cases[] = {
        {line({3, 1, 4, 1}, 0.1), 10, "0:3 0.1:1 0.2:4 0.3:1"},
        {line({3, 1, 4, 1, 5, 9}, 0.1), 10, "0:3 0.1:1 0.5:9"},
        {line({5, 9, 1, 2, 3}, 0.1), 10, "0:5 0.1:9 0.2:1 0.4:3"},
        {line({2, 2, 2, 2, 2, 7, 7, 7, 7, 7}, 1), 2, "0:2 4:2 5:7 9:7"},
        {line({3, 1, 4, 1, 5, 9}, 0.1), 0, "0:3 0.1:1 0.2:4 0.3:1 0.4:5 0.5:9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pointsText(thinnedLine(c.points, 0, 10, c.columns)), c.thinned)
            << pointsText(c.points).toStdString();
    }

    // A day of samples: every column's lowest and highest value survive, in at most four points.
    QList<QPointF> day;
    for (int i = 0; i < 86400; ++i)
        day << QPointF(i, std::sin(i / 500.0) * 100 + (i * 7919) % 13);
    const QList<QPointF> thin = thinnedLine(day, 0, 86400, 300);
    EXPECT_LE(thin.size(), 4 * 300);
    EXPECT_EQ(thin.first(), day.first());
    EXPECT_EQ(thin.last(), day.last());
    for (int column = 0; column < 300; ++column) {
        const auto range = [&](const QList<QPointF>& points) {
            double low = 1e9, high = -1e9;
            for (const QPointF& p : points)
                if (int(p.x() / 288) == column)
                    low = std::min(low, p.y()), high = std::max(high, p.y());
            return std::pair(low, high);
        };
        ASSERT_EQ(range(thin), range(day)) << "column " << column;
    }
}

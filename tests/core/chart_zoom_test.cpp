#include "chart_zoom.h"

#include <gtest/gtest.h>

using namespace vorna;

namespace {

// 9:00 to 13:00 in 4 divisions, 80 to 860 in 10, on a plot area from (50, 20) to (450, 320).
const ChartAxes kHome{{32400, 46800, 4}, {80, 860, 10}};
const QRectF kPlot(50, 20, 400, 300);

std::string shown(const ChartAxes& a) {
    auto axis = [](const AxisSpan& s) {
        return QString("%1..%2/%3").arg(s.minimum).arg(s.maximum).arg(s.divisions);
    };
    return (axis(a.x) + ' ' + axis(a.y)).toStdString();
}

} // namespace

TEST(ChartZoom, BandToRangesAndBack) {
    const struct {
        QRectF band;
        const char* expected; // empty: no zoom
        QRectF then = {};     // a zoom into the zoom
    } cases[] = {
        // A quarter to a half of the width (10:00 to 11:00), half to three quarters up.
        {QRectF(QPointF(150, 95), QPointF(250, 170)), "36000..39600/4 470..665/10"},
        // Ends a pixel off: 10:00:36 to the half-minute, 662.4 to the unit.
        {QRectF(QPointF(151, 96), QPointF(250, 170)), "36030..39600/4 470..662/10"},
        // Dragged up and to the left: the same band.
        {QRectF(QPointF(250, 170), QPointF(150, 95)), "36000..39600/4 470..665/10"},
        // Cut to the plot area: the left eighth, the whole height.
        {QRectF(QPointF(0, 0), QPointF(100, 370)), "32400..34200/4 80..860/10"},
        // The first band, then the lower half of its left half.
        {QRectF(QPointF(150, 95), QPointF(250, 170)), "36000..37800/4 470..567.5/10",
         QRectF(QPointF(50, 170), QPointF(250, 320))},
        {QRectF(QPointF(100, 100), QPointF(103, 200)), ""}, // a click, not a drag
        {QRectF(QPointF(100, 100), QPointF(200, 103)), ""},
        {QRectF(QPointF(460, 10), QPointF(500, 300)), ""}, // outside the plot area
    };
    for (const auto& c : cases) {
        ChartZoom z;
        z.setHome(kHome);
        bool zoomed = z.zoomTo(kPlot, c.band);
        if (!c.then.isNull()) zoomed = z.zoomTo(kPlot, c.then);
        EXPECT_EQ(zoomed, *c.expected != 0) << c.expected;
        EXPECT_EQ(shown(z.shown()), zoomed ? c.expected : shown(kHome));
        z.reset();
        EXPECT_FALSE(z.zoomed());
        EXPECT_EQ(z.shown(), kHome);
    }
    EXPECT_EQ(pixelAt(kHome, kPlot, {39600, 470}), QPointF(250, 170));
}

TEST(ChartZoom, TimeLabelsGainSecondsOnlyWhenNeeded) {
    const struct {
        AxisSpan x;
        const char* format;
    } cases[] = {
        {{32400, 46800, 4}, "hh:mm"},    // the day chart's hours
        {{36000, 39600, 4}, "hh:mm"},    // a zoom to quarter hours
        {{36000, 36600, 4}, "hh:mm:ss"}, // 150-s divisions
        {{36030, 39630, 4}, "hh:mm:ss"}, // starts between minutes
    };
    for (const auto& c : cases)
        EXPECT_EQ(timeLabelFormat(c.x), c.format) << c.x.minimum << ".." << c.x.maximum;
}

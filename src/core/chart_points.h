#pragma once

// The points of a chart of one quantity over the day: x the sample's time in seconds from
// midnight, y its value, NaN for a sample without one (a cell the grid shows as "---").

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cmath>

class QLocale;

namespace vorna {

struct ChartAxes;

inline bool hasValue(const QPointF& p) {
    return !std::isnan(p.y());
}

// How a chart draws a sample without value: at 0, as the day chart has always drawn "---", or
// as a gap in the line.
enum class NoValue { AsZero, Gap };

// The point as drawn: one without value at 0 when so drawn (a gap is never drawn).
QPointF drawnPoint(const QPointF& p, NoValue noValue);

// What the axes are worked out from: the earliest and latest time of all samples, and the
// smallest and largest value drawn. A sample without value counts as 0 when drawn at 0 and not
// at all as a gap; with no value drawn the values run from 0 to 0.
struct ChartExtent {
    int samples = 0;
    int tmin = 0, tmax = 0;
    bool anyValue = false;
    double vmin = 0, vmax = 0;
    void add(const QPointF& p, NoValue noValue);
};

// Where each point goes in a line that breaks. A stretch of line begins at the first point
// drawn, at the first one after a gap, and at one earlier than the point before it: a run that
// goes on into the next day starts again from the left instead of drawing back across the chart.
class ChartLine {
public:
    enum class Step { Begin, Extend, Skip };
    explicit ChartLine(NoValue noValue) : noValue_(noValue) {}
    Step add(const QPointF& p);
    // Adds all points; their stretches, points as drawn.
    QList<QList<QPointF>> addAll(const QList<QPointF>& points);
    void clear() { open_ = false; }

private:
    NoValue noValue_;
    bool open_ = false;
    double lastX_ = 0;
};

// The points of a stretch of line that draw the same picture at `columns` columns across
// [x0, x1]: of each run of consecutive points in one column, the first, the lowest, the highest
// and the last, in their order; a run of four or fewer stays whole. Points outside [x0, x1] fall
// in columns of the same width beyond it.
QList<QPointF> thinnedLine(const QList<QPointF>& line, double x0, double x1, int columns);

// The point drawn nearest to the pixel `pos` of a plot area that shows `axes`, by distance on
// screen, among those inside the axes' ranges; -1 when pos is outside the plot area or no point
// is drawn inside it.
int nearestPoint(const QList<QPointF>& points, NoValue noValue, const ChartAxes& axes,
                 const QRectF& plotArea, QPointF pos);

// What hovering shows of a point: its time "hh:mm:ss" and its value as the grid writes it,
// "---" without one.
QString pointText(const QPointF& point, const QLocale& locale);

} // namespace vorna

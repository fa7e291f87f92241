#include "chart_points.h"

#include "chart_zoom.h"
#include "number_format.h"
#include "regional_date.h"

#include <QTime>
#include <algorithm>
#include <limits>

namespace vorna {

QPointF drawnPoint(const QPointF& p, NoValue noValue) {
    return hasValue(p) || noValue == NoValue::Gap ? p : QPointF(p.x(), 0);
}

void ChartExtent::add(const QPointF& p, NoValue noValue) {
    const int t = int(p.x());
    tmin = samples == 0 ? t : std::min(tmin, t);
    tmax = samples == 0 ? t : std::max(tmax, t);
    ++samples;
    if (!hasValue(p) && noValue == NoValue::Gap) return;
    const double v = drawnPoint(p, noValue).y();
    vmin = anyValue ? std::min(vmin, v) : v;
    vmax = anyValue ? std::max(vmax, v) : v;
    anyValue = true;
}

ChartLine::Step ChartLine::add(const QPointF& p) {
    if (!hasValue(p) && noValue_ == NoValue::Gap) {
        open_ = false;
        return Step::Skip;
    }
    const bool extend = open_ && p.x() >= lastX_;
    open_ = true;
    lastX_ = p.x();
    return extend ? Step::Extend : Step::Begin;
}

QList<QList<QPointF>> ChartLine::addAll(const QList<QPointF>& points) {
    QList<QList<QPointF>> out;
    for (const QPointF& p : points) {
        const Step step = add(p);
        if (step == Step::Begin) out.append(QList<QPointF>());
        if (step != Step::Skip) out.last().append(drawnPoint(p, noValue_));
    }
    return out;
}

QList<QPointF> thinnedLine(const QList<QPointF>& line, double x0, double x1, int columns) {
    if (columns < 1 || !(x1 > x0) || line.size() <= 4) return line;
    const double perColumn = columns / (x1 - x0);
    QList<QPointF> out;
    out.reserve(std::min<qsizetype>(line.size(), 4 * qsizetype(columns) + 8));
    qsizetype first = 0;
    while (first < line.size()) {
        const double column = std::floor((line[first].x() - x0) * perColumn);
        qsizetype end = first + 1, low = first, high = first;
        for (; end < line.size() && std::floor((line[end].x() - x0) * perColumn) == column; ++end) {
            if (line[end].y() < line[low].y()) low = end;
            if (line[end].y() > line[high].y()) high = end;
        }
        if (end - first <= 4) {
            out.append(line.mid(first, end - first));
        } else {
            qsizetype keep[] = {first, std::min(low, high), std::max(low, high), end - 1};
            for (int k = 0; k < 4; ++k)
                if (k == 0 || keep[k] != keep[k - 1]) out.append(line[keep[k]]);
        }
        first = end;
    }
    return out;
}

int nearestPoint(const QList<QPointF>& points, NoValue noValue, const ChartAxes& axes,
                 const QRectF& plotArea, QPointF pos) {
    if (!plotArea.contains(pos)) return -1;
    const double sx = plotArea.width() / (axes.x.maximum - axes.x.minimum);
    const double sy = plotArea.height() / (axes.y.maximum - axes.y.minimum);
    const QPointF at = dataAt(axes, plotArea, pos);
    int best = -1;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (!hasValue(points[i]) && noValue == NoValue::Gap) continue;
        const QPointF p = drawnPoint(points[i], noValue);
        if (p.x() < axes.x.minimum || p.x() > axes.x.maximum || p.y() < axes.y.minimum ||
            p.y() > axes.y.maximum)
            continue;
        const double dx = (p.x() - at.x()) * sx;
        const double dy = (p.y() - at.y()) * sy;
        const double d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

QString pointText(const QPointF& point, const QLocale& locale) {
    const QString value =
        hasValue(point) ? general_number(locale, point.y()) : QStringLiteral("---");
    return clockText(QTime(0, 0).addSecs(int(point.x()))) + QStringLiteral("  ") + value;
}

} // namespace vorna

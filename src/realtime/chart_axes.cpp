#include "chart_axes.h"

#include <QDateTime>
#include <cmath>
#include <stdexcept>

namespace vorna {

namespace {

// value = m × 10^e with m brought into (low, 10 × low].
struct Scaled {
    double m;
    int e;
};
Scaled scaleInto(double value, double low) {
    Scaled s{value, 0};
    while (s.m > 10 * low) {
        s.m /= 10;
        ++s.e;
    }
    while (s.m <= low) {
        s.m *= 10;
        --s.e;
    }
    return s;
}

// n × 10^e; dividing for a negative e keeps 48 × 10^-2 at 0.48 rather than 0.48000000000000004.
double times10(double n, int e) {
    return e >= 0 ? n * std::pow(10.0, e) : n / std::pow(10.0, -e);
}

// Halves go to the even neighbour, whatever the rounding of the platform's qRound.
double nearest(double m) {
    return std::nearbyint(m);
}

constexpr int kHour = 3600;

} // namespace

ValueAxis valueAxis(double vmin, double vmax) {
    if (!std::isfinite(vmin) || !std::isfinite(vmax))
        throw std::domain_error("chart value out of range");
    const double d = (vmax - vmin) * 0.05;
    vmin -= d;
    vmax += d;
    ValueAxis axis;
    if (vmin > 0) {
        const Scaled s = scaleInto(vmin, 1);
        axis.minimum = times10(nearest(s.m) - 1, s.e);
    } else {
        axis.minimum = nearest(vmin) - 1;
    }
    if (axis.minimum < 0) axis.minimum = 0;
    if (vmax > 0) {
        const Scaled s = scaleInto(vmax, 10);
        axis.maximum = times10(nearest(s.m) + 1, s.e);
    } else {
        axis.maximum = nearest(vmax) + 1;
    }
    // Values all well below 0 would leave the maximum at or under the minimum of 0: an axis
    // the chart cannot draw. Show 0 to 1, as for a series of zeros.
    if (axis.maximum <= axis.minimum) axis.maximum = axis.minimum + 1;
    return axis;
}

TimeAxis timeAxis(int tmin, int tmax) {
    int h = 0;
    while (h * kHour < tmin)
        ++h;
    int k = 23;
    while (k * kHour > tmax)
        --k;
    TimeAxis axis;
    axis.minimum = (h - 1) * kHour;
    axis.maximum = (k + 1) * kHour;
    const int span = axis.maximum - axis.minimum;
    axis.divisions = span == kHour ? 6 : span / kHour;
    return axis;
}

qint64 referenceDayStart() {
    // Early January has no clock change in most zones; the check finds one that has none.
    for (QDate day(2001, 1, 8);; day = day.addDays(1)) {
        const qint64 start = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
        const qint64 end = QDateTime(day.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
        if (end - start == 86400000) return start;
    }
}

} // namespace vorna

#include "chart_zoom.h"

#include <cmath>

namespace vorna {

namespace {

double along(const AxisSpan& a, double fraction) {
    return a.minimum + fraction * (a.maximum - a.minimum);
}

double fractionOf(const AxisSpan& a, double value) {
    return (value - a.minimum) / (a.maximum - a.minimum);
}

// The largest tidy step at most a hundredth of the span.
double tidyStep(double span, bool seconds) {
    const double most = span / 100;
    if (seconds) {
        static constexpr double kSteps[] = {3600, 1800, 900, 600, 300, 120, 60, 30, 15, 10, 5, 2};
        for (const double step : kSteps)
            if (step <= most) return step;
    }
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (const double m : {5.0, 2.0})
        if (m * power <= most) return m * power;
    return power;
}

AxisSpan tidy(double low, double high, int divisions, bool seconds) {
    const double step = tidyStep(high - low, seconds);
    return {std::round(low / step) * step, std::round(high / step) * step, divisions};
}

bool wholeMinute(double seconds) {
    // Zoomed ends are fractions of a second; a thousandth is below anything a label shows.
    const double minutes = seconds / 60;
    return std::abs(minutes - std::round(minutes)) < 1e-3 / 60;
}

} // namespace

QPointF dataAt(const ChartAxes& axes, const QRectF& plotArea, QPointF pixel) {
    return {along(axes.x, (pixel.x() - plotArea.left()) / plotArea.width()),
            along(axes.y, (plotArea.bottom() - pixel.y()) / plotArea.height())};
}

QPointF pixelAt(const ChartAxes& axes, const QRectF& plotArea, QPointF data) {
    return {plotArea.left() + fractionOf(axes.x, data.x()) * plotArea.width(),
            plotArea.bottom() - fractionOf(axes.y, data.y()) * plotArea.height()};
}

bool ChartZoom::zoomTo(const QRectF& plotArea, const QRectF& band) {
    const QRectF cut = band.normalized().intersected(plotArea);
    if (cut.width() < kMinBand || cut.height() < kMinBand) return false;
    const ChartAxes& from = shown();
    const QPointF low = dataAt(from, plotArea, cut.bottomLeft());
    const QPointF high = dataAt(from, plotArea, cut.topRight());
    zoom_ = ChartAxes{tidy(low.x(), high.x(), from.x.divisions, true),
                      tidy(low.y(), high.y(), from.y.divisions, false)};
    return true;
}

QString timeLabelFormat(const AxisSpan& x) {
    const double step = (x.maximum - x.minimum) / x.divisions;
    const bool minutes = wholeMinute(x.minimum) && wholeMinute(step);
    return minutes ? QStringLiteral("hh:mm") : QStringLiteral("hh:mm:ss");
}

} // namespace vorna

#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

namespace vorna {

// One axis of a chart as drawn: from minimum to maximum in `divisions` major divisions.
struct AxisSpan {
    double minimum = 0;
    double maximum = 1;
    int divisions = 1;
    friend bool operator==(const AxisSpan&, const AxisSpan&) = default;
};

// The two axes of a chart of one quantity over the day: x in seconds from midnight, y in the
// quantity's unit.
struct ChartAxes {
    AxisSpan x, y;
    friend bool operator==(const ChartAxes&, const ChartAxes&) = default;
};

// Between the pixels of a plot area that shows `axes` (y grows upwards on screen) and the data.
QPointF dataAt(const ChartAxes& axes, const QRectF& plotArea, QPointF pixel);
QPointF pixelAt(const ChartAxes& axes, const QRectF& plotArea, QPointF data);

// What a chart shows: its home axes, worked out from its points, or the part of them the user
// zoomed into. A zoom keeps the home axes' divisions; its ends are rounded to a tidy step (the
// largest of 1, 2 or 5 times a power of ten, or for times of 1 s to 1 h, that is at most a
// hundredth of its span), so that the labels read 11:00, not 11:00:03.
class ChartZoom {
public:
    // A band narrower or lower than this many pixels is a click, not a drag.
    static constexpr double kMinBand = 4;

    const ChartAxes& shown() const { return zoom_ ? *zoom_ : home_; }
    const ChartAxes& home() const { return home_; }
    bool zoomed() const { return zoom_.has_value(); }
    // New home axes, for new points: a zoom stays where it is.
    void setHome(const ChartAxes& home) { home_ = home; }
    // Shows the part of the plot area inside band (both in pixels), the band first cut to the
    // plot area. False, and nothing changes, when what is left of the band is under kMinBand.
    bool zoomTo(const QRectF& plotArea, const QRectF& band);
    void reset() { zoom_.reset(); }

private:
    ChartAxes home_;
    std::optional<ChartAxes> zoom_;
};

// The labels of the time axis: "hh:mm", as the day chart writes them, while both ends and every
// division fall on whole minutes; "hh:mm:ss" once a zoom cuts finer.
QString timeLabelFormat(const AxisSpan& x);

} // namespace vorna

#pragma once

#include <QtGlobal>

namespace vorna {

// The value axis of a chart: whole steps around the values with a 5 % margin, never below 0.
struct ValueAxis {
    double minimum = 0;
    double maximum = 1;
    int divisions = 10;
};
ValueAxis valueAxis(double vmin, double vmax);

// The time axis: whole hours strictly around the first and last sample, times in seconds
// from midnight; one division an hour, six for a single hour.
struct TimeAxis {
    int minimum = 0;
    int maximum = 3600;
    int divisions = 6;
};
TimeAxis timeAxis(int tmin, int tmax);

// Milliseconds since the epoch of local midnight on a day without a clock change, where the
// chart places its times of day: on the samples' own day a change would shift the labels.
qint64 referenceDayStart();

} // namespace vorna

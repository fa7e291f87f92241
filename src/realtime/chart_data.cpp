#include "chart_data.h"

#include "clock_text.h"
#include "run_error.h"
#include "text_grid.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vorna {

namespace {

[[noreturn]] void unreadable(int row, int column, const QString& text) {
    throw RunError(
        err::kTypeMismatch,
        QStringLiteral("Type mismatch: row %1 column %2 \"%3\"").arg(row).arg(column).arg(text));
}

int secondsOfDay(int row, const QString& text) {
    const int seconds = secondsFromClockText(text);
    if (seconds < 0) unreadable(row, 2, text);
    return seconds;
}

// Only the PC's own separator counts: "12.5" on a decimal-comma PC is not a number here.
double regionalNumber(int row, int column, const QString& text, QChar separator) {
    if (text == QStringLiteral("---")) return 0;
    // The grid writes plain ASCII numbers; anything longer or wider is no number of ours.
    char bytes[64];
    const qsizetype n = text.size();
    bool ok = n > 0 && n < qsizetype(sizeof bytes);
    for (qsizetype i = 0; ok && i < n; ++i) {
        const QChar c = text[i];
        if (c == separator)
            bytes[i] = '.';
        else if (c.unicode() < 128 && c != QLatin1Char('.') && c != QLatin1Char(','))
            bytes[i] = char(c.unicode());
        else
            ok = false;
    }
    double v = 0;
    if (ok) {
        const auto [end, ec] = std::from_chars(bytes, bytes + n, v);
        ok = ec == std::errc() && end == bytes + n;
    }
    // "inf" and "nan" read as numbers but no axis can hold them.
    if (!ok || !std::isfinite(v)) unreadable(row, column, text);
    return v;
}

} // namespace

ChartData chartData(const TextGrid& grid, int column, QChar decimalSeparator) {
    const int n = grid.rowCount() - 2;
    if (n < 1) throw RunError(err::kSubscriptOutOfRange, QStringLiteral("no sample to draw"));
    ChartData d;
    d.points.reserve(n);
    for (int r = 1; r <= n; ++r) {
        const int t = secondsOfDay(r, grid.cellText(r, 2));
        const QString cell = grid.cellText(r, column);
        const double v = regionalNumber(r, column, cell, decimalSeparator);
        if (r == 1) {
            d.tmin = d.tmax = t;
            d.vmin = d.vmax = v;
        } else {
            d.tmin = std::min(d.tmin, t);
            d.tmax = std::max(d.tmax, t);
            d.vmin = std::min(d.vmin, v);
            d.vmax = std::max(d.vmax, v);
        }
        if (cell == QStringLiteral("---")) d.dashes.append(d.points.size());
        d.points.append(QPointF(t, v));
    }
    return d;
}

QPointF samplePoint(const SampleRow& row, int column, CellRules rules) {
    const double v = row.value(column);
    const bool drawn = std::isfinite(v) && !sampleCellHidden(row, column, rules);
    return {double(QTime(0, 0).secsTo(row.ora)),
            drawn ? v : std::numeric_limits<double>::quiet_NaN()};
}

QList<QPointF> samplePoints(const SampleTable& table, int column) {
    QList<QPointF> points;
    points.reserve(table.sampleCount());
    for (int i = 0; i < table.sampleCount(); ++i)
        points.append(samplePoint(table.sample(i), column, table.format().rules));
    return points;
}

} // namespace vorna

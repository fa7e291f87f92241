#include "chart_data.h"

#include "run_error.h"
#include "text_grid.h"

#include <QLocale>
#include <QTime>
#include <cmath>

namespace vorna {

namespace {

[[noreturn]] void unreadable(int row, int column, const QString& text) {
    throw RunError(
        err::kTypeMismatch,
        QStringLiteral("Type mismatch: row %1 column %2 \"%3\"").arg(row).arg(column).arg(text));
}

int secondsOfDay(int row, const QString& text) {
    const QTime t = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
    if (!t.isValid()) unreadable(row, 2, text);
    return t.msecsSinceStartOfDay() / 1000;
}

// Only the PC's own separator counts: "12.5" on a decimal-comma PC is not a number here.
double regionalNumber(int row, int column, const QString& text, QChar separator) {
    if (text == QStringLiteral("---")) return 0;
    const QChar other = separator == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    bool ok = !text.contains(other);
    QString c = text;
    c.replace(separator, QLatin1Char('.'));
    const double v = ok ? QLocale::c().toDouble(c, &ok) : 0;
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
        const double v = regionalNumber(r, column, grid.cellText(r, column), decimalSeparator);
        if (r == 1) {
            d.tmin = d.tmax = t;
            d.vmin = d.vmax = v;
        } else {
            d.tmin = std::min(d.tmin, t);
            d.tmax = std::max(d.tmax, t);
            d.vmin = std::min(d.vmin, v);
            d.vmax = std::max(d.vmax, v);
        }
        d.points.append(QPointF(t, v));
    }
    return d;
}

} // namespace vorna

#pragma once

#include "sample_table.h"

#include <QList>
#include <QPointF>

namespace vorna {

class TextGrid;

// One column of the browser's grid as chart points: x the time cell in seconds from midnight,
// y the value read with the regional decimal separator ("---" counts as 0), with the ranges.
struct ChartData {
    QList<QPointF> points;
    // The points read from a "---" cell.
    QList<qsizetype> dashes;
    int tmin = 0, tmax = 0;
    double vmin = 0, vmax = 0;
};

// Throws RunError when the grid has no sample row or a cell cannot be read.
ChartData chartData(const TextGrid& grid, int column, QChar decimalSeparator);

// A sample of a grid as the live chart draws it: x its time in seconds from midnight, y the
// value of the column, NaN where the grid shows "---" (or the value is no finite number).
QPointF samplePoint(const SampleRow& row, int column, CellRules rules);
// All samples of the table, in grid order.
QList<QPointF> samplePoints(const SampleTable& table, int column);

} // namespace vorna

#pragma once

#include "chart_pane.h"

namespace vorna {

class AppContext;
class TextGrid;

// The chart pane as the real-time window and the chart window draw one quantity of the day:
// the axes the day chart has always had (chart_axes), times of day on the reference day.
ChartPane* dayChartPane(AppContext& ctx, NoValue noValue, int titlePoints, QWidget* parent);

// A day chart's title: the plant's name, trimmed, and the date of the grid's last sample,
// "name (dd/mm/yyyy)"; the name alone before the first sample.
QString dayChartTitle(const QString& plantName, const TextGrid& grid);
// The Y-axis title of option `option` of kChartOptions: the quantity and its unit.
QString valueAxisTitle(const AppContext& ctx, int option);

} // namespace vorna

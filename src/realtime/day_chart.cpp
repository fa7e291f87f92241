#include "day_chart.h"

#include "app_context.h"
#include "chart_axes.h"
#include "chart_options.h"
#include "text_grid.h"

namespace vorna {

ChartPane* dayChartPane(AppContext& ctx, NoValue noValue, int titlePoints, QWidget* parent) {
    ChartPane::Scale scale;
    scale.axes = [](const ChartExtent& e) {
        const ValueAxis y = valueAxis(e.vmin, e.vmax);
        const TimeAxis x = timeAxis(e.tmin, e.tmax);
        return ChartAxes{{double(x.minimum), double(x.maximum), x.divisions},
                         {y.minimum, y.maximum, y.divisions}};
    };
    scale.dayStart = referenceDayStart();
    scale.noValue = noValue;
    scale.titlePoints = titlePoints;
    return new ChartPane(ctx, std::move(scale), parent);
}

QString dayChartTitle(const QString& plantName, const TextGrid& grid) {
    const int lastSample = grid.rowCount() - 2;
    const QString name = plantName.trimmed();
    if (lastSample < 1) return name;
    return name + QStringLiteral(" (") + grid.cellText(lastSample, 1) + QLatin1Char(')');
}

QString valueAxisTitle(const AppContext& ctx, int option) {
    const ChartOption& o = kChartOptions.at(size_t(option));
    return ctx.msg(o.titleEntry) + QString::fromUtf8(o.titleSuffix);
}

} // namespace vorna

#pragma once

#include "chart_points.h"
#include "chart_zoom.h"

#include <QChartView>
#include <QList>
#include <functional>
#include <optional>

class QAction;
class QDateTimeAxis;
class QGraphicsEllipseItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QRubberBand;
class QValueAxis;

namespace vorna {

class AppContext;

// A chart of one quantity over the day, as the real-time window draws its samples live and the
// chart window draws a stored day: Qt Charts' X-Y view, times of day on a time axis, values on
// a value axis, the home axes worked out from the points' ranges by the owner's rule.
//
// Hovering shows the time and the value of the point nearest the pointer; dragging a rectangle
// zooms into it, a double click or "Reset zoom" in the context menu goes back to the home axes.
// The context menu's "Save as PNG/SVG" only asks (saveRequested): the owning window runs
// saveImage as one of its handlers, so that no file dialog opens in the middle of an exchange.
class ChartPane : public QChartView {
    Q_OBJECT
public:
    struct Scale {
        // The home axes for the ranges of the points.
        std::function<ChartAxes(const ChartExtent&)> axes;
        // Milliseconds since the epoch of the midnight the times of day are placed after.
        qint64 dayStart = 0;
        NoValue noValue = NoValue::AsZero;
        // Point size of the chart title and the axis titles; 0 keeps the theme's.
        int titlePoints = 0;
    };
    enum class Image { Png, Svg };

    ChartPane(AppContext& ctx, Scale scale, QWidget* parent = nullptr);

    // All points at once: each stretch of line one series, filled with one replace(); the zoom
    // goes back home.
    void setPoints(QList<QPointF> points);
    // One point more, drawn at once: the axes change only when the home axes do (and not while
    // zoomed), and the point costs the points of its series' piece, not of the whole line.
    void appendPoint(const QPointF& point);
    void clearPoints();
    const QList<QPointF>& points() const { return points_; }
    // The series that draw the line, in order.
    const QList<QLineSeries*>& lineSeries() const { return series_; }

    void setTitles(const QString& chart, const QString& x, const QString& y);
    // The context menu's captions in the current language.
    void setMessages();

    const ChartZoom& zoom() const { return zoom_; }
    // Zooms into the band between two corners (viewport pixels); false for a band too small.
    bool zoomTo(const QPoint& from, const QPoint& to);
    void resetZoom();
    // Shows the value of the point nearest pos (viewport pixels) and returns its text; hides it
    // and returns nothing when no point is near.
    QString showValueAt(const QPoint& pos);
    void hideValue();
    QString valueShown() const;
    // Where a point of the data is on screen under the axes shown (viewport pixels).
    QPoint viewportPoint(const QPointF& data) const;

    // The chart as it is on screen, without the value label, as PNG or SVG.
    QByteArray image(Image kind);
    // Takes the image, asks for the file (proposed: appPath + "chart.png" or ".svg") and writes
    // it; false when the dialog was cancelled. Throws RunError.
    bool saveImage(Image kind);

signals:
    void saveRequested(vorna::ChartPane::Image kind);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QLineSeries* addLineSeries();
    void removeLineSeries();
    QPointF onChart(const QPointF& p) const;
    QPointF chartPos(const QPoint& viewportPos) const;
    void showAxes();
    void drawStretches();

    AppContext& ctx_;
    Scale scale_;
    QChart* chart_;
    QDateTimeAxis* axisX_;
    QValueAxis* axisY_;
    QPen pen_;
    QList<QLineSeries*> series_;
    QList<QPointF> points_;
    // The stretches of line setPoints drew, on the chart's axes, until a point is appended.
    QList<QList<QPointF>> stretches_;
    ChartExtent extent_;
    ChartLine line_;
    ChartZoom zoom_;
    std::optional<ChartAxes> applied_;

    QGraphicsEllipseItem* marker_;
    QGraphicsRectItem* labelBox_;
    QGraphicsSimpleTextItem* label_;
    QRubberBand* band_;
    QPoint bandOrigin_;
    bool dragging_ = false;

    QAction* actResetZoom_;
    QAction* actSalvaPng_;
    QAction* actSalvaSvg_;
};

} // namespace vorna

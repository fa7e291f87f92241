#include "chart_pane.h"

#include "app_context.h"
#include "run_error.h"
#include "save_name.h"
#include "whole_file.h"

#include <QAction>
#include <QBrush>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsEllipseItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QSvgGenerator>
#include <QValueAxis>

namespace vorna {

namespace {

// A series lays all its points out again at each append: past some thousands that is more than
// a sample may cost, so an appended line goes on in pieces of this many points.
constexpr qsizetype kPiecePoints = 500;
// The colour the chart's theme gives its first series, for every piece of the line.
const QColor kLineColour(32, 159, 223);
constexpr double kMarkerRadius = 4;
constexpr double kLoneMarkerSize = 6;
constexpr qreal kValueZ = 100;

} // namespace

ChartPane::ChartPane(AppContext& ctx, Scale scale, QWidget* parent)
    : QChartView(new QChart, parent), ctx_(ctx), scale_(std::move(scale)), chart_(chart()),
      axisX_(new QDateTimeAxis), axisY_(new QValueAxis), line_(scale_.noValue),
      marker_(new QGraphicsEllipseItem(-kMarkerRadius, -kMarkerRadius, 2 * kMarkerRadius,
                                       2 * kMarkerRadius, chart_)),
      labelBox_(new QGraphicsRectItem(chart_)), label_(new QGraphicsSimpleTextItem(labelBox_)),
      band_(new QRubberBand(QRubberBand::Rectangle, viewport())), actResetZoom_(new QAction(this)),
      actSalvaPng_(new QAction(this)), actSalvaSvg_(new QAction(this)) {
    chart_->legend()->hide();
    // Axis numbers with the PC's decimal separator, as in the grid.
    chart_->setLocale(ctx_.locale);
    chart_->setLocalizeNumbers(true);
    if (scale_.titlePoints > 0) {
        QFont f;
        f.setPointSize(scale_.titlePoints);
        chart_->setTitleFont(f);
        axisX_->setTitleFont(f);
        axisY_->setTitleFont(f);
    }
    axisX_->setFormat(QStringLiteral("hh:mm"));
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    // A cosmetic pen of one pixel: a wider one makes the painter work out a join at each of
    // 100,000 points.
    pen_ = QPen(kLineColour);
    pen_.setWidth(1);
    pen_.setCosmetic(true);

    marker_->setPen(QPen(kLineColour, 2));
    marker_->setBrush(Qt::white);
    labelBox_->setPen(QPen(Qt::gray));
    labelBox_->setBrush(QColor(255, 255, 255, 230));
    label_->setPos(4, 3);
    for (QGraphicsItem* item :
         {static_cast<QGraphicsItem*>(marker_), static_cast<QGraphicsItem*>(labelBox_)}) {
        item->setZValue(kValueZ);
        item->hide();
    }
    band_->hide();
    viewport()->setMouseTracking(true);

    actResetZoom_->setObjectName(QStringLiteral("actResetZoom"));
    actSalvaPng_->setObjectName(QStringLiteral("actSalvaPng"));
    actSalvaSvg_->setObjectName(QStringLiteral("actSalvaSvg"));
    connect(actResetZoom_, &QAction::triggered, this, &ChartPane::resetZoom);
    connect(actSalvaPng_, &QAction::triggered, this, [this] { emit saveRequested(Image::Png); });
    connect(actSalvaSvg_, &QAction::triggered, this, [this] { emit saveRequested(Image::Svg); });
    setMessages();
    showAxes();
    connect(chart_, &QChart::plotAreaChanged, this, &ChartPane::drawStretches);
}

void ChartPane::setMessages() {
    actResetZoom_->setText(ctx_.text(QStringLiteral("charts.reset_zoom")));
    actSalvaPng_->setText(ctx_.text(QStringLiteral("charts.save_png")));
    actSalvaSvg_->setText(ctx_.text(QStringLiteral("charts.save_svg")));
}

void ChartPane::setTitles(const QString& chart, const QString& x, const QString& y) {
    // Each title set lays the chart out again, even an unchanged one.
    if (chart_->title() != chart) chart_->setTitle(chart);
    if (axisX_->titleText() != x) axisX_->setTitleText(x);
    if (axisY_->titleText() != y) axisY_->setTitleText(y);
}

QPointF ChartPane::onChart(const QPointF& p) const {
    return {double(scale_.dayStart) + p.x() * 1000.0, p.y()};
}

QPointF ChartPane::chartPos(const QPoint& viewportPos) const {
    return chart_->mapFromScene(mapToScene(viewportPos));
}

QLineSeries* ChartPane::addLineSeries() {
    auto* s = new QLineSeries;
    chart_->addSeries(s);
    s->setPen(pen_);
    s->setMarkerSize(kLoneMarkerSize);
    s->attachAxis(axisX_);
    s->attachAxis(axisY_);
    series_.append(s);
    return s;
}

void ChartPane::removeLineSeries() {
    for (QLineSeries* s : std::as_const(series_)) {
        chart_->removeSeries(s);
        delete s;
    }
    series_.clear();
    stretches_.clear();
}

void ChartPane::showAxes() {
    const bool any = extent_.samples > 0;
    if (axisX_->isVisible() != any) {
        axisX_->setVisible(any);
        axisY_->setVisible(any);
    }
    if (!any) {
        applied_.reset();
        return;
    }
    const ChartAxes& a = zoom_.shown();
    if (applied_ == a) return;
    applied_ = a;
    hideValue();
    auto at = [&](double seconds) {
        return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(onChart({seconds, 0}).x())));
    };
    axisY_->setRange(a.y.minimum, a.y.maximum);
    axisY_->setTickCount(a.y.divisions + 1);
    axisX_->setRange(at(a.x.minimum), at(a.x.maximum));
    axisX_->setTickCount(a.x.divisions + 1);
    axisX_->setFormat(timeLabelFormat(a.x));
    drawStretches();
}

void ChartPane::setPoints(QList<QPointF> points) {
    // Reckoned before anything changes: a rule that throws leaves the chart as it was.
    ChartExtent extent;
    for (const QPointF& p : std::as_const(points))
        extent.add(p, scale_.noValue);
    const ChartAxes home = scale_.axes(extent);
    points_ = std::move(points);
    extent_ = extent;
    // Each axis change lays out every point again: the old points go first and the new ones
    // come once the axes are set.
    removeLineSeries();
    zoom_.reset();
    zoom_.setHome(home);
    showAxes();
    line_.clear();
    stretches_ = line_.addAll(points_);
    for (QList<QPointF>& stretch : stretches_) {
        for (QPointF& p : stretch)
            p = onChart(p);
        // A value alone between two gaps draws no line: its marker shows it.
        addLineSeries()->setPointsVisible(stretch.size() == 1);
    }
    drawStretches();
}

void ChartPane::drawStretches() {
    // A day of samples has many more points than the plot has pixels across: each series gets
    // only the points that draw its picture, worked out again for every zoom and size (hovering
    // reads the points themselves).
    const double columns = 2 * chart_->plotArea().width();
    const ChartAxes& a = zoom_.shown();
    const double x0 = onChart({a.x.minimum, 0}).x(), x1 = onChart({a.x.maximum, 0}).x();
    for (qsizetype i = 0; i < stretches_.size(); ++i)
        series_[i]->replace(columns >= 1 ? thinnedLine(stretches_[i], x0, x1, int(columns))
                                         : stretches_[i]);
}

void ChartPane::appendPoint(const QPointF& point) {
    // Appending goes on from the whole line, not from its picture.
    if (!stretches_.isEmpty()) {
        for (qsizetype i = 0; i < stretches_.size(); ++i)
            series_[i]->replace(stretches_[i]);
        stretches_.clear();
    }
    ChartExtent extent = extent_;
    extent.add(point, scale_.noValue);
    const ChartAxes home = scale_.axes(extent);
    points_.append(point);
    extent_ = extent;
    // The axes before the point, which they would lay out a second time.
    zoom_.setHome(home);
    showAxes();
    const ChartLine::Step step = line_.add(point);
    if (step == ChartLine::Step::Skip) return;
    const QPointF p = onChart(drawnPoint(point, scale_.noValue));
    QLineSeries* s = series_.isEmpty() ? nullptr : series_.last();
    if (step == ChartLine::Step::Begin || !s) {
        s = addLineSeries();
        s->setPointsVisible(true);
        s->append(p);
    } else if (s->count() >= kPiecePoints) {
        // The next piece starts at the last point, so the line goes on unbroken.
        const QPointF last = s->at(s->count() - 1);
        addLineSeries()->replace({last, p});
    } else {
        if (s->pointsVisible()) s->setPointsVisible(false);
        s->append(p);
    }
}

void ChartPane::clearPoints() {
    setPoints({});
}

bool ChartPane::zoomTo(const QPoint& from, const QPoint& to) {
    if (extent_.samples == 0) return false;
    if (!zoom_.zoomTo(chart_->plotArea(), QRectF(chartPos(from), chartPos(to)))) return false;
    showAxes();
    return true;
}

void ChartPane::resetZoom() {
    zoom_.reset();
    showAxes();
}

QString ChartPane::showValueAt(const QPoint& pos) {
    const QRectF plot = chart_->plotArea();
    const int i = extent_.samples == 0
                      ? -1
                      : nearestPoint(points_, scale_.noValue, zoom_.shown(), plot, chartPos(pos));
    if (i < 0) {
        hideValue();
        return {};
    }
    const QPointF at = pixelAt(zoom_.shown(), plot, drawnPoint(points_[i], scale_.noValue));
    marker_->setPos(at);
    label_->setText(pointText(points_[i], ctx_.locale));
    // Above and to the right of the point, turned inwards at the plot area's edges.
    const QSizeF box = label_->boundingRect().size() + QSizeF(8, 6);
    QPointF corner = at + QPointF(10, -10 - box.height());
    if (corner.x() + box.width() > plot.right()) corner.setX(at.x() - 10 - box.width());
    if (corner.y() < plot.top()) corner.setY(at.y() + 10);
    labelBox_->setRect(QRectF(QPointF(), box));
    labelBox_->setPos(corner);
    marker_->show();
    labelBox_->show();
    return label_->text();
}

void ChartPane::hideValue() {
    marker_->hide();
    labelBox_->hide();
}

QString ChartPane::valueShown() const {
    return labelBox_->isVisible() ? label_->text() : QString();
}

QPoint ChartPane::viewportPoint(const QPointF& data) const {
    return mapFromScene(chart_->mapToScene(pixelAt(zoom_.shown(), chart_->plotArea(), data)));
}

QByteArray ChartPane::image(Image kind) {
    hideValue();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool ok = false;
    if (kind == Image::Png) {
        QImage picture(size(), QImage::Format_RGB32);
        picture.setDevicePixelRatio(1);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            render(&painter);
        }
        ok = picture.save(&buffer, "PNG");
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size());
        svg.setViewBox(rect());
        svg.setTitle(chart_->title());
        QPainter painter;
        ok = painter.begin(&svg);
        if (ok) {
            render(&painter);
            ok = painter.end();
        }
    }
    if (!ok) throw RunError(err::kFileAccess, QStringLiteral("cannot encode the chart"));
    return bytes;
}

bool ChartPane::saveImage(Image kind) {
    // What is on screen now: the dialog may take a while, and a run goes on meanwhile.
    const QByteArray bytes = image(kind);
    const QString suffix = kind == Image::Png ? QStringLiteral(".png") : QStringLiteral(".svg");
    const QString name = askSaveName(ctx_, QStringLiteral("(*") + suffix + QLatin1Char(')'),
                                     ctx_.appPath + QStringLiteral("chart") + suffix, suffix);
    if (name.isEmpty()) return false;
    writeWholeFile(name, bytes);
    return true;
}

void ChartPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && extent_.samples > 0 &&
        chart_->plotArea().contains(chartPos(event->pos()))) {
        dragging_ = true;
        bandOrigin_ = event->pos();
        band_->setGeometry(QRect(bandOrigin_, QSize()));
        band_->show();
        hideValue();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChartPane::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        band_->setGeometry(QRect(bandOrigin_, event->pos()).normalized());
        event->accept();
        return;
    }
    showValueAt(event->pos());
    QChartView::mouseMoveEvent(event);
}

void ChartPane::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        band_->hide();
        zoomTo(bandOrigin_, event->pos());
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void ChartPane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QChartView::mouseDoubleClickEvent(event);
    resetZoom();
    event->accept();
}

void ChartPane::leaveEvent(QEvent* event) {
    hideValue();
    QChartView::leaveEvent(event);
}

void ChartPane::resizeEvent(QResizeEvent* event) {
    hideValue();
    QChartView::resizeEvent(event);
}

void ChartPane::contextMenuEvent(QContextMenuEvent* event) {
    // popup, not exec: no event loop of its own, which an exchange under way would wait in.
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuGrafico"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    actResetZoom_->setEnabled(zoom_.zoomed());
    menu->addAction(actResetZoom_);
    menu->addSeparator();
    menu->addAction(actSalvaPng_);
    menu->addAction(actSalvaSvg_);
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace vorna

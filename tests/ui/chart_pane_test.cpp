#include "chart_pane.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QSignalSpy>
#include <QValueAxis>
#include <gtest/gtest.h>
#include <limits>

using namespace vorna;
using vorna::test::TestEnv;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 kDay = 1000000000000;

// Whole hours around the times, tens around the values.
ChartAxes roundAxes(const ChartExtent& e) {
    const double hour = 3600;
    return {{std::floor(e.tmin / hour) * hour, (std::floor(e.tmax / hour) + 1) * hour, 4},
            {std::floor(e.vmin / 10) * 10, (std::floor(e.vmax / 10) + 1) * 10, 10}};
}

ChartPane* pane(TestEnv& env) {
    return new ChartPane(*env.ctx, {roundAxes, kDay, NoValue::Gap, 0});
}

// The series as "count@first-x" each, x in seconds of the day, "*" when its marker shows.
std::string pieces(const ChartPane& p) {
    QStringList out;
    for (const QLineSeries* s : p.lineSeries())
        out << QString("%1@%2").arg(s->count()).arg((s->at(0).x() - kDay) / 1000) +
                   (s->pointsVisible() ? "*" : "");
    return out.join(' ').toStdString();
}

// 700 samples from 8:00, one without value, 299 more, then the next day's 8:00 and 233 more;
// then a value alone after a gap.
QList<QPointF> run() {
    QList<QPointF> points;
    for (int i = 0; i < 1234; ++i)
        points << QPointF(i < 1000 ? 28800 + 10 * i : 28800 + 10 * (i - 1000),
                          i == 700 ? kNaN : i % 50);
    points << QPointF(40000, kNaN) << QPointF(40010, 5);
    return points;
}

} // namespace

TEST(ChartPane, AppendedLineIsTheWholeLineInPieces) {
    TestEnv env;
    std::unique_ptr<ChartPane> appended(pane(env)), whole(pane(env));
    for (const QPointF& p : run())
        appended->appendPoint(p);
    whole->setPoints(run());
    EXPECT_EQ(pieces(*whole), "700@28800 299@35810 234@28800 1@40010*");
    // Pieces of 500: the next starts at the last point of the one before.
    EXPECT_EQ(pieces(*appended), "500@28800 201@33790 299@35810 234@28800 1@40010*");
    const QList<QLineSeries*>& s = appended->lineSeries();
    EXPECT_EQ(s[0]->points() + s[1]->points().mid(1), whole->lineSeries()[0]->points());
    EXPECT_EQ(appended->zoom().home(), whole->zoom().home());

    appended->appendPoint({40030, 6}); // the lone value has a line now
    EXPECT_FALSE(appended->lineSeries().back()->pointsVisible());
}

TEST(ChartPane, AxesFollowTheHomeAxesUnzoomedALongLineDrawsOnlyWhatIsShown) {
    TestEnv env;
    std::unique_ptr<ChartPane> p(pane(env));
    p->resize(600, 400);
    p->show();
    QCoreApplication::processEvents();
    auto* y = qobject_cast<QValueAxis*>(p->chart()->axes(Qt::Vertical).value(0));
    auto* x = qobject_cast<QDateTimeAxis*>(p->chart()->axes(Qt::Horizontal).value(0));
    EXPECT_FALSE(y->isVisible() || x->isVisible()); // nothing to show yet
    p->appendPoint({36000, 12});
    EXPECT_TRUE(y->isVisible() && x->isVisible());
    // A value shown stays while samples come that leave the axes alone.
    EXPECT_EQ(p->showValueAt(p->viewportPoint({36000, 12})), "10:00:00  12");
    QSignalSpy yMoved(y, &QValueAxis::rangeChanged), xMoved(x, &QDateTimeAxis::rangeChanged);
    p->appendPoint({36600, 18});
    EXPECT_EQ(yMoved.size() + xMoved.size(), 0);
    EXPECT_EQ(p->valueShown(), "10:00:00  12");
    p->appendPoint({37000, 25});
    EXPECT_EQ(y->max(), 30);
    EXPECT_EQ(yMoved.size(), 1);
    EXPECT_EQ(p->valueShown(), ""); // the point moved on screen
    ASSERT_TRUE(p->zoomTo(p->viewportPoint({36000, 25}), p->viewportPoint({37800, 12})));
    p->appendPoint({39000, 95});
    EXPECT_EQ(x->format(), "hh:mm:ss"); // still zoomed, to 450-s divisions
    p->resetZoom();
    EXPECT_EQ(y->max(), 100);
    EXPECT_EQ(x->max().toMSecsSinceEpoch(), kDay + 39600 * 1000);
    EXPECT_EQ(x->format(), "hh:mm");

    // A day of samples is drawn as its picture at the plot's width, again at each zoom; a sample
    // appended goes on from the whole line.
    QList<QPointF> day;
    for (int i = 0; i < 40000; ++i)
        day << QPointF(28800 + i, (i * 7919) % 97);
    p->setPoints(day);
    QCoreApplication::processEvents();
    const auto drawn = [&] {
        qsizetype n = 0;
        for (const QLineSeries* s : p->lineSeries())
            n += s->count();
        return n;
    };
    EXPECT_LE(drawn(), 8 * p->chart()->plotArea().width() + 8);
    EXPECT_EQ(p->showValueAt(p->viewportPoint(day[20000])), "13:33:20  49");
    // A quarter of an hour across the plot: every sample of the band is drawn.
    ASSERT_TRUE(p->zoomTo(p->viewportPoint({48500, 96}), p->viewportPoint({49400, 0})));
    const ChartAxes& band = p->zoom().shown();
    qsizetype inBand = 0;
    for (const QPointF& q : p->lineSeries()[0]->points())
        inBand +=
            (q.x() - kDay) / 1000 >= band.x.minimum && (q.x() - kDay) / 1000 <= band.x.maximum;
    EXPECT_EQ(inBand, qsizetype(band.x.maximum - band.x.minimum) + 1);
    p->appendPoint({68800, 5});
    EXPECT_EQ(p->lineSeries()[0]->count(), day.size()); // the sample went on in a new piece
}

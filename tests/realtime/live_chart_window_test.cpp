// The live chart of the real-time window: each sample that lands in the grid is a point of the
// chosen quantity, a "---" a gap in the line; another quantity is drawn from the grid's rows,
// "Delete table data" empties it, and it is drawn during a datalogger run.
#include "live_rig.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using namespace vorna;
using namespace vorna::test;

namespace {

// The chart's points as "time value" each, and a column of the grid the same way.
QStringList chartPoints(LiveRig& r) {
    QStringList out;
    for (const QPointF& p : r.w->liveChart()->points())
        out << QTime(0, 0).addSecs(int(p.x())).toString("hh:mm:ss") + " " +
                   (hasValue(p) ? QString::number(p.y()) : "---");
    return out;
}
QStringList gridColumn(LiveRig& r, int column) {
    QStringList out;
    for (int row = 1; row <= r.gridSamples(); ++row)
        out << r.shown(row, 2) + " " + r.shown(row, column);
    return out;
}
// The chart's title and value axis title.
std::string titles(LiveRig& r) {
    const QChart* c = r.w->liveChart()->chart();
    return (c->title() + "|" + c->axes(Qt::Vertical).value(0)->titleText()).toStdString();
}

} // namespace

TEST(LiveChart, SamplesAreTheGridsValuesAndDashesAreGaps) {
    LiveRig r({listval({{2, "100"}, {7, "401"}}), listval({{2, "abc"}, {7, "402.5"}}),
               listval({{2, "300.5"}, {7, "--"}}), listval({{2, "400"}, {7, "404"}})});
    auto* cb = r.s.find<QComboBox>("cbSelMis");
    auto* tabs = r.s.find<QTabWidget>("tabMis");
    EXPECT_EQ(QString("%1 %2 %3|%4|%5")
                  .arg(cb->count())
                  .arg(cb->currentText(), cb->itemText(20), tabs->tabText(0), tabs->tabText(1)),
              "21 Rad. Inv. Effic.|Table|Chart");
    tabs->setCurrentIndex(1);
    for (int i = 0; i < 4; ++i) {
        r.acquire();
        r.clock.advanceBy(61000);
    }
    ASSERT_EQ(r.gridSamples(), 4);
    EXPECT_EQ(chartPoints(r), gridColumn(r, 3));
    EXPECT_EQ(chartPoints(r).value(1), "10:16:03 ---");
    EXPECT_EQ(r.w->liveChart()->lineSeries().size(), 2); // 100 alone, then 300.5 to 400
    EXPECT_EQ(titles(r), "Rossi Mario (14/06/2024)|Radiation [W/m2]");

    cb->setCurrentIndex(4); // VDC1, grid column 8
    emit cb->activated(4);
    EXPECT_EQ(chartPoints(r), gridColumn(r, 8));
    EXPECT_EQ(titles(r), "Rossi Mario (14/06/2024)|DC voltage #1 [V]");
    r.acquire();
    EXPECT_EQ(chartPoints(r), gridColumn(r, 8));

    r.s.click("bttCancella");
    EXPECT_TRUE(r.w->liveChart()->points().isEmpty() && r.w->liveChart()->lineSeries().isEmpty());
    EXPECT_EQ(titles(r), "Rossi Mario|DC voltage #1 [V]");
    r.acquire();
    EXPECT_EQ(chartPoints(r), gridColumn(r, 8));
}

// Half an hour of a datalogger run with the chart in view: the irradiance rises and falls, one
// sample has none. In English and in Italian.
TEST(Screenshots, LiveChartDuringARun) {
    QStringList replies;
    for (int i = 0; i < 40; ++i)
        replies << listval({{2, i == 23 ? "--"
                                        : QString::number(300 + 12 * std::min(i, 30) -
                                                          9 * std::max(0, i - 30) + i % 3 * 7)}});
    for (const auto& [pc, tag] : {std::pair{kUsPc, "en"}, std::pair{kItalianPc, "it"}}) {
        LiveRig r(replies, {}, pc);
        r.s.window->show();
        r.s.find<QTabWidget>("tabMis")->setCurrentIndex(1);
        r.clock.set(QDateTime(kFirstSample.date(), QTime(7, 59)));
        r.s.find<QRadioButton>("obMode_0")->click();
        for (const auto& [field, text] : {std::pair{"tbStartH", "8"}, std::pair{"tbStartM", "00"},
                                          std::pair{"tbStopH", "18"}, std::pair{"tbStopM", "30"}})
            r.s.find<QLineEdit>(field)->setText(text);
        r.s.click("bttControllo");
        r.clock.advanceTo(QDateTime(kFirstSample.date(), QTime(8, 32)));
        EXPECT_EQ(r.w->liveChart()->points().size(), 39); // 49.5 s apart from 8:00:00
        QCoreApplication::processEvents();
        EXPECT_TRUE(r.w->grab().save(screenshotDir() + "/realtime_" + tag + "_live_chart.png"));
    }
}

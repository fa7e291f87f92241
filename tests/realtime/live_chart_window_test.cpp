// The live chart of the real-time window: each sample that lands in the grid is a point of the
// chosen quantity, a "---" a gap in the line; another quantity is drawn from the grid's rows,
// "Delete table data" empties it, and it is drawn during a datalogger run.
#include "live_rig.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLineSeries>
#include <QRadioButton>
#include <QTabWidget>
#include <QValueAxis>

using namespace vorna;
using namespace vorna::test;

namespace {

// The chart's points against the grid: "time value" each, as the grid shows them.
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
std::string valueTitle(LiveRig& r) {
    return r.w->liveChart()->chart()->axes(Qt::Vertical).value(0)->titleText().toStdString();
}
void chooseQuantity(LiveRig& r, int option) {
    auto* cb = r.s.find<QComboBox>("cbSelMis");
    cb->setCurrentIndex(option);
    emit cb->activated(option);
}

} // namespace

TEST(LiveChart, SamplesAreTheGridsValuesAndDashesAreGaps) {
    LiveRig r({listval({{2, "100"}, {7, "401"}}), listval({{2, "abc"}, {7, "402.5"}}),
               listval({{2, "300.5"}, {7, "--"}}), listval({{2, "400"}, {7, "404"}})});
    auto* cb = r.s.find<QComboBox>("cbSelMis");
    ASSERT_EQ(cb->count(), 21);
    EXPECT_EQ(cb->currentText(), "Rad.");
    EXPECT_EQ(cb->itemText(20), "Inv. Effic.");
    auto* tabs = r.s.find<QTabWidget>("tabMis");
    EXPECT_EQ(tabs->tabText(0), "Table");
    EXPECT_EQ(tabs->tabText(1), "Chart");
    tabs->setCurrentIndex(1);
    for (int i = 0; i < 4; ++i) {
        r.acquire();
        r.clock.advanceBy(61000);
    }
    ASSERT_EQ(r.gridSamples(), 4);
    EXPECT_EQ(chartPoints(r), gridColumn(r, 3));
    EXPECT_EQ(chartPoints(r).value(1), "10:16:03 ---");
    // 100 alone before the gap, then a line from 300.5 to 400.
    const QList<QLineSeries*>& line = r.w->liveChart()->lineSeries();
    ASSERT_EQ(line.size(), 2);
    EXPECT_EQ(line[0]->count(), 1);
    EXPECT_EQ(line[1]->count(), 2);
    EXPECT_EQ(r.w->liveChart()->chart()->title(), "Rossi Mario (14/06/2024)");
    EXPECT_EQ(valueTitle(r), "Radiation [W/m2]");

    chooseQuantity(r, 4); // VDC1, grid column 8
    EXPECT_EQ(chartPoints(r), gridColumn(r, 8));
    EXPECT_EQ(valueTitle(r), "DC voltage #1 [V]");
    r.acquire();
    EXPECT_EQ(chartPoints(r), gridColumn(r, 8));

    r.s.click("bttCancella");
    EXPECT_TRUE(r.w->liveChart()->points().isEmpty());
    EXPECT_TRUE(r.w->liveChart()->lineSeries().isEmpty());
    EXPECT_EQ(r.w->liveChart()->chart()->title(), "Rossi Mario");
    r.acquire();
    EXPECT_EQ(chartPoints(r), gridColumn(r, 8));
}

// An hour of a datalogger run with the chart in view: the irradiance rises and falls, one
// sample has none. In English and in Italian.
TEST(Screenshots, LiveChartDuringARun) {
    QStringList replies;
    for (int i = 0; i < 40; ++i)
        replies << listval({{2, i == 23 ? "--"
                                        : QString::number(300 + 12 * std::min(i, 30) -
                                                          9 * std::max(0, i - 30) + (i % 3) * 7)},
                            {4, QString::number(30 + 0.2 * i)}});
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
        ASSERT_EQ(r.gridSamples(), 39); // 49.5 s apart from 8:00:00
        EXPECT_EQ(r.w->liveChart()->points().size(), 39);
        QCoreApplication::processEvents();
        EXPECT_TRUE(r.w->grab().save(screenshotDir() + "/realtime_" + tag + "_live_chart.png"));
    }
}

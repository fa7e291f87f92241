// The live chart of the real-time window: each sample that lands in the grid is a point of the
// chosen quantity, a "---" a gap in the line; another quantity is drawn from the grid's rows,
// "Delete table data" empties it.
#include "live_rig.h"

#include <QComboBox>
#include <QTabWidget>

using namespace vorna;
using namespace vorna::test;

namespace {

// The chart's points are the grid's samples in `column`, both as "hh:mm:ss  value".
void expectGridColumn(LiveRig& r, int column) {
    QStringList chart, grid;
    for (const QPointF& p : r.w->liveChart()->points())
        chart << pointText(p, r.s.ctx().locale);
    for (int row = 1; row <= r.gridSamples(); ++row)
        grid << r.shown(row, 2) + "  " + r.shown(row, column);
    EXPECT_EQ(chart, grid) << column;
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
    const QStringList shown{QString::number(cb->count()), cb->currentText(), cb->itemText(20),
                            tabs->tabText(0), tabs->tabText(1)};
    EXPECT_EQ(shown.join('|'), "21|Rad.|Inv. Effic.|Table|Chart");
    tabs->setCurrentIndex(1);
    for (int i = 0; i < 4; ++i) {
        r.acquire();
        r.clock.advanceBy(61000);
    }
    ASSERT_EQ(r.gridSamples(), 4);
    expectGridColumn(r, 3);
    EXPECT_EQ(r.w->liveChart()->lineSeries().size(), 2); // 100 alone, then 300.5 to 400
    EXPECT_EQ(titles(r), "Rossi Mario (14/06/2024)|Radiation [W/m2]");

    cb->setCurrentIndex(4); // VDC1, grid column 8
    emit cb->activated(4);
    expectGridColumn(r, 8);
    EXPECT_EQ(titles(r), "Rossi Mario (14/06/2024)|DC voltage #1 [V]");
    r.acquire();
    expectGridColumn(r, 8);

    r.s.click("bttCancella");
    EXPECT_TRUE(r.w->liveChart()->points().isEmpty() && r.w->liveChart()->lineSeries().isEmpty());
    r.acquire();
    expectGridColumn(r, 8);
}

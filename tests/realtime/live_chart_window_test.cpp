// The live chart of the real-time window during a datalogger run: each sample that lands in the
// grid is a point of the chosen quantity, a "---" a gap in the line; another quantity is drawn
// from the grid's rows, "Delete table data" empties it.
#include "live_steps.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using namespace vorna;
using namespace vorna::test;

namespace {

// The chart's points are the grid's samples in `column`, both as "hh:mm:ss  value".
void expectGridColumn(RealtimeWindow* w, int column, const QLocale& pc) {
    QStringList chart, grid;
    for (const QPointF& p : w->liveChart()->points())
        chart << pointText(p, pc);
    for (int row = 1; row <= gridSamples(w); ++row)
        grid << cell(w, row, 2) + "  " + cell(w, row, column);
    EXPECT_EQ(chart, grid) << column;
}

} // namespace

// Half an hour of the run, the irradiance rising and falling, none at the 24th sample; then
// VDC1 (grid column 8). In English and in Italian.
TEST(LiveChart, DuringARunOnBothPcs) {
    QStringList replies;
    for (int i = 0; i < 40; ++i)
        replies << listval({{2, i == 23 ? "--"
                                        : QString::number(300 + 12 * std::min(i, 30) -
                                                          9 * std::max(0, i - 30) + i % 3 * 7)}});
    for (const auto& [pc, tag] : {std::pair{kUsPc, "en"}, std::pair{kItalianPc, "it"}}) {
        Rig s(rowFor(pc), {}, liveContent(replies), pc);
        RealtimeWindow* w = openRealtime(s);
        s.window->show();
        auto* cb = s.find<QComboBox>("cbSelMis");
        auto* tabs = s.find<QTabWidget>("tabMis");
        const QString shown = QString::number(cb->count()) + "|" + cb->currentText() + "|" +
                              cb->itemText(20) + "|" + tabs->tabText(0) + "|" + tabs->tabText(1);
        EXPECT_EQ(shown + "|" + w->liveChart()->chart()->title(),
                  *tag == 'e' ? "21|Rad.|Inv. Effic.|Table|Chart|Rossi Mario"
                              : "21|Rad.|Rend. Inv.|Tabella|Grafico|Rossi Mario");
        tabs->setCurrentIndex(1);
        s.clock->set(QDateTime(kFirstSample.date(), QTime(7, 59)));
        s.find<QRadioButton>("obMode_0")->click();
        for (const auto& [field, text] : {std::pair{"tbStartH", "8"}, std::pair{"tbStartM", "00"},
                                          std::pair{"tbStopH", "18"}, std::pair{"tbStopM", "30"}})
            s.find<QLineEdit>(field)->setText(text);
        s.click("bttControllo");
        s.clock->advanceTo(QDateTime(kFirstSample.date(), QTime(8, 32)));
        ASSERT_EQ(gridSamples(w), 39); // 49.5 s apart from 8:00:00
        expectGridColumn(w, 3, pc);
        EXPECT_EQ(w->liveChart()->lineSeries().size(), 2);
        EXPECT_EQ(w->liveChart()->chart()->title(), "Rossi Mario (14/06/2024)");
        QCoreApplication::processEvents();
        screenshot(w, QString("realtime_%1_live_chart").arg(tag));

        s.choose("cbSelMis", 4);
        expectGridColumn(w, 8, pc);
        EXPECT_EQ(w->liveChart()->chart()->axes(Qt::Vertical)[0]->titleText(),
                  *tag == 'e' ? "DC voltage #1 [V]" : "Tensione DC #1 [V]");
        s.clock->advanceTo(QDateTime(kFirstSample.date(), QTime(8, 34)));
        expectGridColumn(w, 8, pc);
        s.click("bttControllo"); // "Stop"
        s.click("bttCancella");
        EXPECT_TRUE(w->liveChart()->points().isEmpty() && w->liveChart()->lineSeries().isEmpty());
    }
}

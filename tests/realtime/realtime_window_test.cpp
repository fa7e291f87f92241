#include "live_steps.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

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

// Opened on the plant in manual mode, one "Acquire" sends the plant's parameters and reads the
// values; the sample is stored and shown, numbered within the grid. Replies the program cannot
// use store nothing and leave the window usable.
TEST(RealtimeWindow, OpensAcquiresByHandStoresAndRefusesBadReplies) {
    Rig s(englishRow(), {},
          liveContent({listval(), listval({{3, "--"}}), listval(), listval(),
                       QStringList(52, "1").join('\t'), listval({{21, "0.9x"}})},
                      {"linedc\t3", "phaseac\t3"}));
    RealtimeWindow* w = openRealtime(s);
    ASSERT_TRUE(w);
    EXPECT_EQ(s.ctx().childWindowOpen, 2);
    EXPECT_EQ(w->size(), QSize(899, 563));
    EXPECT_EQ(w->windowTitle(), "REAL TIME");
    EXPECT_EQ(s.text("lbVal_NomeImp"), "Rossi Mario");
    EXPECT_TRUE(s.find<QRadioButton>("obMode_1")->isChecked() && s.on("obMode_0"));
    EXPECT_TRUE(s.on("bttControllo"));
    EXPECT_FALSE(s.on("bttSalva") || s.on("bttCancella"));
    for (const char* frame : {"fr_start", "fr_stop", "fr_intervallo"})
        EXPECT_FALSE(s.shown(frame)) << frame;
    for (const char* label : {"lbStartH", "lbStartM", "lbStopH", "lbStopM"})
        EXPECT_EQ(s.find<QLabel>(label)->buddy()->objectName(), QString(label).replace("lb", "tb"));
    EXPECT_TRUE(s.commands().isEmpty());
    s.window->show();
    EXPECT_EQ(acquire(s), kNine);
    s.clock->advance(65000);
    EXPECT_EQ(acquire(s), kNine);
    s.clock->advance(1000);
    // A click on an older row between two samples: the next still gets a row of its own.
    QTableView* grid = w->grid();
    const QRect first = grid->visualRect(grid->model()->index(0, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, first.center());
    acquire(s);
    ASSERT_EQ(gridSamples(w), 3);
    const QStringList rows = samples(
        s, "IDIMP, NUMERO, data, ora, rad, TEMPAMB, TEMPPAN, COEFFTEMP, POTRAD, VDC1, IDC1, VDC2, "
           "IDC2, VDC3, IDC3, POTDC, VAC1, IAC1, VAC2, IAC2, VAC3, IAC3, POTAC, RENDDC, RENDAC, "
           "ESITOAC, REAL2, TEXT1, TEXT2");
    ASSERT_EQ(rows.size(), 3) << s.env.debugLog().toStdString();
    EXPECT_EQ(rows[0], QString("%1|1|2024-06-14|10:15:02|812.5|24.5|41.2|-0.45|3.1|410.2|7|405.5|"
                               "7.2|400.1|6.9|8.6|231|12.1|230.4|12|229.8|11.9|8.2|0.93|0.96|1|"
                               "0.89| FV 2.1.5 - FR 1.0.1|ZMB 4.5")
                           .arg(s.ctx().plant.ID));
    // The checks of each value are the live values' and the cells' texts the sample table's; here
    // the grid shows what was stored, a sentinel as "---".
    EXPECT_EQ(samples(s, "NUMERO, ora").mid(1), (QStringList{"2|10:16:07", "3|10:16:08"}));
    QStringList shown;
    for (const auto& [row, column] : {std::pair{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 23}, {2, 4}})
        shown << cell(w, row, column);
    EXPECT_EQ(shown.join(' '), "1 14/06/2024 10:15:02 812.5 PASS ---");
    EXPECT_TRUE(s.on("bttSalva") && s.on("bttCancella"));

    // "Delete table data" empties the grid, not the table; numbering starts again.
    s.click("bttCancella");
    EXPECT_EQ(gridSamples(w), 0);
    EXPECT_FALSE(s.on("bttSalva") || s.on("bttCancella"));
    acquire(s);
    EXPECT_EQ(samples(s, "NUMERO").value(3), "1");
    EXPECT_EQ(cell(w, 1, 0), "1");

    // 52 fields: the sequence ends after LISTVAL. Garbage in an efficiency: the whole sequence
    // ran, but the sample is refused.
    EXPECT_EQ(acquire(s), kNine.mid(0, 6));
    EXPECT_GE(s.env.errorsOf("lettura"), 1);
    EXPECT_EQ(acquire(s), kNine);
    EXPECT_GE(s.env.errorsOf("visualizza_ris"), 1);
    EXPECT_EQ(s.env.rows("realtime"), 4);
    EXPECT_EQ(gridSamples(w), 1);
    EXPECT_TRUE(s.on("bttControllo"));

    // Closing sends nothing and lets the toolbar open windows again.
    s.ctx().realtimeFromToolbar = true;
    s.closeChild();
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
    EXPECT_FALSE(s.ctx().realtimeFromToolbar);
    EXPECT_TRUE(s.commands().isEmpty());
}

// An instrument that falls silent on any of the nine commands: nothing after it, no row, one
// attempt only (the link is then down and a retry would fail at once, without end); the window
// stays usable.
TEST(RealtimeWindow, SilenceOnAnyCommandEndsTheAttempt) {
    for (int step = 0; step < kNine.size(); ++step) {
        Rig s(englishRow(), QStringList{"--silent", kNine[step]}, liveContent({listval()}));
        RealtimeWindow* w = openRealtime(s, false);
        EXPECT_EQ(acquire(s), kNine.mid(0, step + 1)) << step;
        EXPECT_EQ(s.env.rows("realtime"), 0);
        EXPECT_EQ(s.env.errorsOf("trasmette"), 1) << step;
        EXPECT_TRUE(s.on("bttControllo") && !w->acquiring());
        // Link down now: another press fails at once, once.
        EXPECT_TRUE(acquire(s).isEmpty());
        EXPECT_EQ(s.env.errorsOf("trasmette"), 2) << step;
    }
}

// "Save table data" with two samples on a fixed clock, CR LF and Latin-1 throughout (a cancel is
// the browser test's). Instrument with two DC lines and one AC phase: the absent ones, marked by
// the live values' rules, shown "---". Numbers go to the instrument with "." on a decimal-comma
// PC too, and a plant above 20 kW is sent as such.
TEST(RealtimeFile, SavedGridByteForByte) {
    const struct {
        QLocale pc;
        QByteArray expected;
    } cases[] = {
        {kUsPc,
         "Power: 3.5 kW\r\nInverter power: <= 20 kW\r\nNoct: 45 \xb0"
         "C\r\n"
         "Gamma: 0.45 %/\xb0"
         "C\r\nName: Rossi Mario\r\nAddress: Via Roma\r\nNumber: 12\r\n"
         "Zip Code: 20100\r\nCity: Milano\r\nTax identification number: RSSMRA70A01F205X\r\n"
         "\r\n\r\n\r\n"
         "Date\tTime\tRad.\tT. env.\tT. pan.\tTemp. Coeff.\tAvail. Power\tVDC1\tIDC1\tVDC2\t"
         "IDC2\tVDC3\tIDC3\tDC Power\tVAC1\tIAC1\tVAC2\tIAC2\tVAC3\tIAC3\tAC Power\tPRp\tResult\t"
         "Pan. Effic.\tInv. Effic.\t\r\n"
         "14/06/2024\t10:15:02\t812.5\t24.5\t41.2\t-0.45\t3.1\t410.2\t7\t405.5\t7.2\t---\t---\t"
         "8.6\t231\t12.1\t---\t---\t---\t---\t8.2\t0.89\tPASS\t0.93\t0.96\t\r\n"
         "14/06/2024\t10:16:07\t2000\t---\t41.2\t-0.45\t3.1\t410.2\t7\t405.5\t7.2\t---\t---\t"
         "8.6\t231\t12.1\t---\t---\t---\t---\t8.2\t0.89\tFAULT\t0.93\t---\t\r\n"
         "\r\n"},
        // The plant block and the captions in Italian are the lower layers'; here the samples as
        // the comma PC's grid shows them.
        {kItalianPc,
         "14/06/2024\t10:15:02\t812,5\t24,5\t41,2\t-0,45\t3,1\t410,2\t7\t405,5\t7,2\t---\t---\t"
         "8,6\t231\t12,1\t---\t---\t---\t---\t8,2\t0,89\tPASS\t0,93\t0,96\t\r\n"
         "14/06/2024\t10:16:07\t2000\t---\t41,2\t-0,45\t3,1\t410,2\t7\t405,5\t7,2\t---\t---\t"
         "8,6\t231\t12,1\t---\t---\t---\t---\t8,2\t0,89\tFAULT\t0,93\t---\t\r\n"
         "\r\n"},
    };
    for (const auto& c : cases) {
        Rig s(rowFor(c.pc), {},
              liveContent({listval(), listval({{2, "2000"}, {3, "--"}, {23, "--"}, {24, "FAULT"}})},
                          {"linedc\t2", "phaseac\t1"}),
              c.pc);
        const bool it = c.pc == kItalianPc;
        RealtimeWindow* w = openRealtime(s, true, it);
        s.window->show();
        EXPECT_EQ(s.text("lbVal_PotImp") + " " + s.text("bttControllo"),
                  it ? "3,5 Acquisisci" : "3.5 Acquire");
        EXPECT_EQ(acquire(s).mid(1, 4), QStringList({"POWERRT 3.5", "NOCTRT 45", "GAMMART 0.45",
                                                     it ? "POTINVRT 1" : "POTINVRT 0"}));
        s.clock->advance(65000);
        acquire(s);
        QCoreApplication::processEvents();
        screenshot(w, QString("realtime_%1_samples").arg(it ? "it" : "en"));
        ScriptedPrompts& p = s.env.prompts;
        const QString path = s.env.path("log.txt");
        p.saveNames = {"   ", path}; // a name of blanks asks again
        s.click("bttSalva");
        EXPECT_EQ(p.saveDialogs, 2);
        EXPECT_EQ(p.saveShown.back().suggested, s.ctx().appPath + "datalogger");
        const QByteArray file = readFile(path);
        EXPECT_EQ(it ? file.mid(file.indexOf("\r\n14/06/2024") + 2) : file, c.expected);
        EXPECT_EQ(w->grid()->currentIndex().row(), 2); // back on the empty row
    }
}

// A datalogger run at interval 5 (the list's second entry) with its live chart, in English and in
// Italian: each sample that lands in the grid is a point of the chosen quantity, a "---" a gap in
// the line; another quantity is drawn from the grid's rows; after the stop minute the run ends by
// itself; "Delete table data" empties the chart. The irradiance rises and falls, none at the 24th
// sample; then VDC1 (grid column 8).
TEST(LiveChart, ARunOnBothPcs) {
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
        activate(s, at(7, 59), "8", "00", "11", "10", 1);
        s.clock->advanceTo(at(11, 3, 30));
        ASSERT_EQ(gridSamples(w), 39); // 289.5 s apart from 8:00:00
        EXPECT_EQ(samples(s, "ora").value(1), "08:04:49");
        expectGridColumn(w, 3, pc);
        EXPECT_EQ(w->liveChart()->lineSeries().size(), 2);
        EXPECT_EQ(w->liveChart()->chart()->title(), "Rossi Mario (14/06/2024)");
        QCoreApplication::processEvents();
        screenshot(w, QString("realtime_%1_live_chart").arg(tag));

        s.choose("cbSelMis", 4);
        expectGridColumn(w, 8, pc);
        EXPECT_EQ(w->liveChart()->chart()->axes(Qt::Vertical)[0]->titleText(),
                  *tag == 'e' ? "DC voltage #1 [V]" : "Tensione DC #1 [V]");
        s.clock->advanceTo(at(11, 15));
        expectGridColumn(w, 8, pc);
        EXPECT_FALSE(w->running());
        EXPECT_EQ(s.text("bttControllo"), *tag == 'e' ? "Start" : "Avvio");
        s.clock->advanceTo(at(12, 0));
        EXPECT_EQ(gridSamples(w), 40);
        s.click("bttCancella");
        EXPECT_TRUE(w->liveChart()->points().isEmpty() && w->liveChart()->lineSeries().isEmpty());
    }
}

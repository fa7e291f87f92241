#include "live_steps.h"

#include <QLabel>
#include <QRadioButton>
#include <QTest>

using namespace vorna;
using namespace vorna::test;

namespace {

const QStringList& kNine = kSampleCommands;

} // namespace

TEST(RealtimeWindow, OpensOnThePlantInManualMode) {
    Rig s(englishRow(), QStringList{});
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

    // Closing sends nothing and lets the toolbar open windows again.
    s.ctx().realtimeFromToolbar = true;
    s.closeChild();
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
    EXPECT_FALSE(s.ctx().realtimeFromToolbar);
    EXPECT_TRUE(s.commands().isEmpty());
}

// One "Acquire" sends the plant's parameters and reads the values; the sample is stored and
// shown as the instrument gave it, numbered within the grid.
TEST(RealtimeWindow, AcquireSendsTheNineCommandsAndStoresTheSample) {
    Rig s(englishRow(), {},
          liveContent({listval(), listval({{2, "2000"}, {24, "pass"}, {3, "--"}, {21, ""}}),
                       listval({{2, "2000.5"}})},
                      {"linedc\t3", "phaseac\t3"}));
    RealtimeWindow* w = openRealtime(s);
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
    EXPECT_EQ(samples(s, "NUMERO, ora, rad, ESITOAC, TEMPAMB, RENDDC").mid(1),
              (QStringList{"2|10:16:07|2000|0|-2000|-2000", "3|10:16:08|-2000|1|24.5|0.93"}));

    // "row,column=text" of the cells that show the instrument's values as given.
    QStringList shown;
    const int at[][2] = {{1, 0}, {1, 1}, {1, 2},  {1, 3},  {1, 9}, {1, 23},
                         {2, 3}, {2, 4}, {2, 23}, {2, 24}, {3, 3}};
    for (const auto& [row, column] : at)
        shown << QString("%1,%2=%3").arg(row).arg(column).arg(cell(w, row, column));
    EXPECT_EQ(shown.join(' '),
              "1,0=1 1,1=14/06/2024 1,2=10:15:02 1,3=812.5 1,9=7 1,23=PASS 2,3=2000 "
              "2,4=--- 2,23=FAULT 2,24=--- 3,3=---");
    EXPECT_TRUE(s.on("bttSalva") && s.on("bttCancella"));

    // "Delete table data" empties the grid, not the table; numbering starts again.
    s.click("bttCancella");
    EXPECT_EQ(gridSamples(w), 0);
    EXPECT_FALSE(s.on("bttSalva") || s.on("bttCancella"));
    acquire(s);
    EXPECT_EQ(samples(s, "NUMERO").value(3), "1");
    EXPECT_EQ(cell(w, 1, 0), "1");
}

// Replies the program cannot use: nothing is stored, the window stays usable.
TEST(RealtimeWindow, BadRepliesStoreNothing) {
    Rig s(englishRow(), {},
          liveContent({QStringList(52, "1").join('\t'), listval({{21, "0.9x"}})}));
    RealtimeWindow* w = openRealtime(s);
    // 52 fields: the sequence ends after LISTVAL.
    EXPECT_EQ(acquire(s), kNine.mid(0, 6));
    EXPECT_EQ(s.env.rows("realtime"), 0);
    EXPECT_GE(s.env.errorsOf("lettura"), 1);
    // Garbage in an efficiency: the whole sequence ran, but the sample is refused.
    EXPECT_EQ(acquire(s), kNine);
    EXPECT_EQ(s.env.rows("realtime"), 0);
    EXPECT_GE(s.env.errorsOf("visualizza_ris"), 1);
    EXPECT_EQ(gridSamples(w), 0);
    EXPECT_TRUE(s.on("bttControllo"));
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
        EXPECT_TRUE(s.on("bttControllo"));
        EXPECT_EQ(s.text("bttControllo"), "Acquire");
        EXPECT_FALSE(w->acquiring());
        // Link down now: another press fails at once, once.
        EXPECT_TRUE(acquire(s).isEmpty());
        EXPECT_EQ(s.env.errorsOf("trasmette"), 2) << step;
    }
}

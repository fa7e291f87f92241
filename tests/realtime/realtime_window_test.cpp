#include "live_rig.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace vorna;
using namespace vorna::test;

namespace {

const QStringList kNine{"REALTIME 1", "POWERRT 3.5", "NOCTRT 45", "GAMMART -0.45", "POTINVRT 0",
                        "LISTVAL",    "LINEDC?",     "PHASEAC?",  "REALTIME 0"};

bool enabled(Rig& s, const char* name) {
    return s.find(name)->isEnabled();
}

} // namespace

TEST(RealtimeWindow, OpensOnThePlantInManualMode) {
    LiveRig r({listval()});
    ASSERT_TRUE(r.w);
    Rig& s = r.s;
    EXPECT_EQ(s.ctx().childWindowOpen, 2);
    EXPECT_EQ(r.w->size(), QSize(899, 563));
    EXPECT_EQ(r.w->windowTitle(), "REAL TIME");
    EXPECT_EQ(s.find<QLabel>("lbVal_NomeImp")->text(), "Rossi Mario");
    EXPECT_EQ(s.find<QLabel>("lbVal_PotImp")->text(), "3.5");
    EXPECT_TRUE(s.find<QRadioButton>("obMode_1")->isChecked());
    EXPECT_TRUE(enabled(s, "obMode_0"));
    EXPECT_EQ(s.find<QPushButton>("bttControllo")->text(), "Acquire");
    EXPECT_TRUE(enabled(s, "bttControllo"));
    EXPECT_FALSE(enabled(s, "bttSalva") || enabled(s, "bttCancella"));
    for (const char* frame : {"fr_start", "fr_stop", "fr_intervallo"})
        EXPECT_TRUE(s.find(frame)->isHidden()) << frame;
    for (const char* label : {"lbStartH", "lbStartM", "lbStopH", "lbStopM"})
        EXPECT_EQ(s.find<QLabel>(label)->buddy()->objectName(), QString(label).replace("lb", "tb"));
    EXPECT_EQ(r.w->grid()->model()->columnCount(), 26);
    EXPECT_EQ(r.w->grid()->model()->headerData(22, Qt::Horizontal).toString(), "PRp");
    EXPECT_EQ(r.w->grid()->model()->rowCount(), 1); // the empty row for the first sample
    EXPECT_TRUE(r.newCommands().isEmpty());

    // Closing sends nothing and lets the toolbar open windows again.
    s.ctx().realtimeFromToolbar = true;
    s.closeChild();
    EXPECT_EQ(s.ctx().childWindowOpen, 0);
    EXPECT_FALSE(s.ctx().realtimeFromToolbar);
    EXPECT_TRUE(r.newCommands().isEmpty());
    s.key("setup")->trigger();
    EXPECT_EQ(s.window->currentChild()->objectName(), "setup");
}

// One "Acquire" sends the plant's parameters and reads the values; the sample is stored and
// shown as the instrument gave it, numbered within the grid.
TEST(RealtimeWindow, AcquireSendsTheNineCommandsAndStoresTheSample) {
    LiveRig r({listval(), listval({{2, "2000"}, {24, "pass"}, {3, "--"}, {21, ""}}),
               listval({{2, "2000.5"}})},
              {"linedc\t3", "phaseac\t3"});
    EXPECT_EQ(r.acquire(), kNine);
    r.clock.advance(65000);
    EXPECT_EQ(r.acquire(), kNine);
    r.clock.advance(1000);
    r.acquire();
    const auto rows = r.rows();
    ASSERT_EQ(rows.size(), 3u) << r.s.env.debugLog().toStdString();
    const QVariantMap& a = rows[0];
    const QString expected =
        "IDIMP=%1;NUMERO=1;data=2024-06-14;ora=10:15:02;rad=812.5;TEMPAMB=24.5;TEMPPAN=41.2;"
        "COEFFTEMP=-0.45;POTRAD=3.1;VDC1=410.2;IDC1=7;VDC2=405.5;IDC2=7.2;VDC3=400.1;IDC3=6.9;"
        "POTDC=8.6;VAC1=231;IAC1=12.1;VAC2=230.4;IAC2=12;VAC3=229.8;IAC3=11.9;POTAC=8.2;"
        "RENDDC=0.93;RENDAC=0.96;ESITOAC=1;REAL2=0.89;TEXT1= FV 2.1.5 - FR 1.0.1;TEXT2=ZMB 4.5";
    for (const QString& pair : expected.arg(r.plantId).split(';'))
        EXPECT_EQ(a.value(pair.section('=', 0, 0)).toString(), pair.section('=', 1))
            << pair.toStdString();
    EXPECT_EQ(rows[1].value("NUMERO").toInt(), 2);
    EXPECT_EQ(rows[1].value("ora").toString(), "10:16:07");
    EXPECT_EQ(rows[1].value("rad").toDouble(), 2000);
    EXPECT_EQ(rows[1].value("ESITOAC").toInt(), 0);
    EXPECT_EQ(rows[1].value("TEMPAMB").toDouble(), kNoValue);
    EXPECT_EQ(rows[1].value("RENDDC").toDouble(), kNoValue);
    EXPECT_EQ(rows[2].value("rad").toDouble(), kNoValue);
    EXPECT_EQ(rows[2].value("NUMERO").toInt(), 3);
    EXPECT_EQ(r.s.ctx().plant.POT, 3.5);

    EXPECT_EQ(r.shown(1, 0), "1");
    EXPECT_EQ(r.shown(1, 1), "14/06/2024");
    EXPECT_EQ(r.shown(1, 2), "10:15:02");
    EXPECT_EQ(r.shown(1, 9), "7");
    EXPECT_EQ(r.shown(1, 23), "PASS");
    EXPECT_EQ(r.shown(2, 3), "2000");
    EXPECT_EQ(r.shown(2, 4), "---");
    EXPECT_EQ(r.shown(2, 23), "FAULT");
    EXPECT_EQ(r.shown(2, 24), "---");
    EXPECT_EQ(r.shown(3, 3), "---");
    EXPECT_TRUE(enabled(r.s, "bttSalva") && enabled(r.s, "bttCancella"));

    // "Delete table data" empties the grid, not the table; numbering starts again.
    r.s.click("bttCancella");
    EXPECT_EQ(r.gridSamples(), 0);
    EXPECT_FALSE(enabled(r.s, "bttSalva") || enabled(r.s, "bttCancella"));
    r.acquire();
    ASSERT_EQ(r.rows().size(), 4u);
    EXPECT_EQ(r.rows()[3].value("NUMERO").toInt(), 1);
    EXPECT_EQ(r.shown(1, 0), "1");
}

TEST(RealtimeWindow, AbsentLinesAndPhasesByConfiguration) {
    const struct {
        int lines, phases;
        std::vector<const char*> absent; // columns stored -10000 and shown "---"
    } cases[] = {
        {1, 1, {"VDC2", "IDC2", "VDC3", "IDC3", "VAC2", "IAC2", "VAC3", "IAC3"}},
        {2, 2, {"VDC3", "IDC3", "VAC3", "IAC3"}},
    };
    const QStringList columns{"VDC2", "IDC2", "VDC3", "IDC3", "VAC2", "IAC2", "VAC3", "IAC3"};
    const int gridColumn[] = {10, 11, 12, 13, 17, 18, 19, 20};
    for (const auto& c : cases) {
        LiveRig r({listval()},
                  {QString("linedc\t%1").arg(c.lines), QString("phaseac\t%1").arg(c.phases)});
        r.acquire();
        ASSERT_EQ(r.rows().size(), 1u);
        for (int i = 0; i < columns.size(); ++i) {
            const bool absent = std::count_if(c.absent.begin(), c.absent.end(),
                                              [&](const char* n) { return columns[i] == n; });
            const double stored = r.rows()[0].value(columns[i]).toDouble();
            EXPECT_EQ(stored == kNoChannel, absent) << columns[i].toStdString();
            EXPECT_EQ(r.shown(1, gridColumn[i]) == "---", absent) << columns[i].toStdString();
        }
    }
}

// Numbers go to the instrument with "." and come from it with "." on a decimal-comma PC too;
// the screen shows the PC's own separator. A plant above 20 kW is sent as such.
TEST(RealtimeWindow, ItalianPcAndInverterClass) {
    LiveRig r({listval()}, {}, kItalianPc, {}, true, true);
    EXPECT_EQ(r.s.find<QLabel>("lbVal_PotImp")->text(), "3,5");
    const QStringList sent = r.acquire();
    EXPECT_TRUE(sent.contains("POWERRT 3.5") && sent.contains("GAMMART -0.45") &&
                sent.contains("POTINVRT 1"))
        << sent.join('|').toStdString();
    ASSERT_EQ(r.rows().size(), 1u);
    EXPECT_EQ(r.rows()[0].value("rad").toDouble(), 812.5);
    EXPECT_EQ(r.shown(1, 3), "812,5");
    EXPECT_EQ(r.shown(1, 6), "-0,45");
    EXPECT_EQ(r.s.find<QPushButton>("bttControllo")->text(), "Acquisisci");
}

// Replies the program cannot use: nothing is stored, the window stays usable.
TEST(RealtimeWindow, BadRepliesStoreNothing) {
    QStringList wide;
    for (int i = 0; i < 52; ++i)
        wide << "1";
    LiveRig r({wide.join('\t'), listval({{21, "0.9x"}}), listval(),
               "3.5\t0\t700\t20\t30\t-0.4\t2\t400\t5\t400"});
    // 52 fields: the sequence ends after LISTVAL.
    EXPECT_EQ(r.acquire(), kNine.mid(0, 6));
    EXPECT_TRUE(r.rows().empty());
    EXPECT_TRUE(r.s.env.debugLog().contains("\tlettura\t"));
    // Garbage in an efficiency: the whole sequence ran, but the sample is refused.
    EXPECT_EQ(r.acquire(), kNine);
    EXPECT_TRUE(r.rows().empty());
    EXPECT_TRUE(r.s.env.debugLog().contains("\tvisualizza_ris\t"));
    EXPECT_EQ(r.gridSamples(), 0);
    // The next one is fine; a cut reply after it carries none of its values over.
    r.acquire();
    r.acquire();
    const auto rows = r.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].value("rad").toDouble(), 700);
    for (const char* empty : {"IDC2", "POTDC", "POTAC", "RENDDC", "RENDAC", "REAL2"})
        EXPECT_EQ(rows[1].value(empty).toDouble(), kNoValue) << empty;
    EXPECT_EQ(rows[1].value("ESITOAC").toInt(), 0);
    EXPECT_EQ(r.shown(2, 23), "FAULT");
    EXPECT_EQ(r.shown(2, 22), "---");
}

// An instrument that falls silent on any of the nine commands: nothing after it, no row, one
// attempt only (the link is then down and a retry would fail at once, without end); the window
// stays usable.
TEST(RealtimeWindow, SilenceOnAnyCommandEndsTheAttempt) {
    for (int step = 0; step < kNine.size(); ++step) {
        LiveRig r({listval()}, {}, kUsPc, {"--silent", kNine[step]}, false);
        r.s.click("bttControllo");
        EXPECT_EQ(r.newCommands(), kNine.mid(0, step + 1)) << step;
        EXPECT_TRUE(r.rows().empty());
        EXPECT_EQ(r.s.env.debugLog().count("\ttrasmette\t"), 1) << step;
        EXPECT_TRUE(enabled(r.s, "bttControllo"));
        EXPECT_EQ(r.s.find<QPushButton>("bttControllo")->text(), "Acquire");
        EXPECT_FALSE(r.w->acquiring());
        // Link down now: another press fails at once, once.
        r.s.click("bttControllo");
        EXPECT_EQ(r.s.env.debugLog().count("\ttrasmette\t"), 2) << step;
        EXPECT_TRUE(r.newCommands().isEmpty());
    }
}

// A click on an older row between two samples: the next sample still gets a row of its own.
TEST(RealtimeWindow, GridClickOverwritesNothing) {
    LiveRig r({listval({{2, "100"}}), listval({{2, "200"}}), listval({{2, "300"}})});
    r.s.window->show();
    r.acquire();
    r.acquire();
    QTableView* grid = r.w->grid();
    const QRect first = grid->visualRect(grid->model()->index(0, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, first.center());
    r.acquire();
    ASSERT_EQ(r.gridSamples(), 3);
    EXPECT_EQ(r.shown(1, 3), "100");
    EXPECT_EQ(r.shown(2, 3), "200");
    EXPECT_EQ(r.shown(3, 3), "300");
    EXPECT_EQ(r.rows().size(), 3u);
}

// While the instrument takes its time over LISTVAL the buttons that would start a second
// exchange are off; a close request waits for the sample, and nothing is sent after it.
TEST(RealtimeWindow, CloseDuringAnAcquisitionWaits) {
    LiveRig r({listval()}, {}, kUsPc, {"--delay", "LISTVAL=700"});
    r.acquire(); // one sample, so the table buttons are on
    bool acquireOn = true, tableOn = true, closed = true;
    QMdiSubWindow* sub = r.s.window->area()->subWindowList().first();
    QTimer::singleShot(300, [&] {
        acquireOn = enabled(r.s, "bttControllo");
        tableOn = enabled(r.s, "bttSalva") || enabled(r.s, "bttCancella");
        closed = sub->close();
        r.s.click("bttControllo"); // refused: a handler runs
    });
    EXPECT_EQ(r.acquire(), kNine);
    EXPECT_FALSE(acquireOn || tableOn || closed);
    EXPECT_EQ(r.rows().size(), 2u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.s.window->currentChild() == nullptr; }, 2000));
    EXPECT_EQ(r.s.ctx().childWindowOpen, 0);
    QTest::qWait(200);
    EXPECT_TRUE(r.newCommands().isEmpty());
}

// The window with three samples, one of them missing values, in English and in Italian.
TEST(Screenshots, RealtimeWithThreeSamples) {
    for (const auto& [pc, tag] : {std::pair{kUsPc, "en"}, std::pair{kItalianPc, "it"}}) {
        LiveRig r(
            {listval(), listval({{2, "845.0"}, {3, "--"}, {24, "FAULT"}}), listval({{2, "901.5"}})},
            {"linedc\t2", "phaseac\t1"}, pc);
        r.s.window->show();
        for (int i = 0; i < 3; ++i) {
            r.acquire();
            r.clock.advance(60000);
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(r.w->grab().save(screenshotDir() + "/realtime_" + tag + "_samples.png"));
    }
}

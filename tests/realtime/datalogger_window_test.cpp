#include "live_steps.h"
#include "port_selection.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace vorna;
using namespace vorna::test;

namespace {

ClockTimer* timer(RealtimeWindow* w, const char* name) {
    return w->findChild<ClockTimer*>(name);
}
// The run is over: the button says "Start", the timers are off, the mode may change.
void expectEnded(Rig& s, RealtimeWindow* w) {
    EXPECT_FALSE(w->running());
    EXPECT_EQ(s.text("bttControllo"), "Start");
    EXPECT_FALSE(timer(w, "sec2")->isActive());
    EXPECT_FALSE(timer(w, "sec30")->isActive());
    EXPECT_TRUE(s.on("fr_modo") && s.on("obMode_0") && s.on("obMode_1"));
}

} // namespace

// An invalid schedule shows no message: the button is only switched off, its caption kept.
// During a run the mode, the schedule and the table buttons are locked; after "Stop" an invalid
// schedule keeps the button off, also after "Delete table data".
TEST(DataloggerWindow, ScheduleAndControlsBeforeDuringAndAfterARun) {
    Rig s(englishRow(), {}, liveContent({listval()}));
    RealtimeWindow* w = openRealtime(s);
    EXPECT_FALSE(timer(w, "sec2")->isActive() || timer(w, "sec30")->isActive());
    chooseAuto(s);
    EXPECT_TRUE(s.shown("fr_start") && s.shown("fr_stop") && s.shown("fr_intervallo"));
    EXPECT_EQ(s.text("tbStartH") + s.text("tbStartM") + s.text("tbStopH") + s.text("tbStopM"), "");
    EXPECT_FALSE(s.on("bttControllo"));
    EXPECT_EQ(s.text("bttControllo"), "Acquire");

    // The fields' rules are the schedule's (valida_hh_mm); here each field reaches them.
    const struct {
        const char *startH, *startM, *stopH, *stopM;
        bool valid;
    } steps[] = {
        {"8", "00", "8", "00", false}, {"8", "00", "8", "01", true},  {"0", "00", "8", "01", false},
        {"8", "60", "9", "01", false}, {"8", "00", "23", "0", false}, {"8", "00", "8", "60", false},
    };
    bool seenValid = false;
    for (const auto& c : steps) {
        schedule(s, c.startH, c.startM, c.stopH, c.stopM);
        seenValid = seenValid || c.valid;
        EXPECT_EQ(s.on("bttControllo"), c.valid) << c.startH << ":" << c.startM;
        EXPECT_EQ(s.text("bttControllo"), seenValid ? "Activate" : "Acquire")
            << c.startH << ":" << c.startM;
    }
    EXPECT_TRUE(s.env.prompts.warnings.empty());
    EXPECT_EQ(s.env.loggedErrors(), "");

    // Back to manual: frames hidden, "Acquire"; the schedule is kept.
    s.find<QRadioButton>("obMode_1")->click();
    EXPECT_TRUE(!s.shown("fr_start") && s.on("bttControllo"));
    EXPECT_EQ(s.text("bttControllo") + " " + s.text("tbStopH"), "Acquire 8");
    EXPECT_TRUE(s.commands().isEmpty());

    acquire(s); // a manual sample, so the table buttons have a reason to be on
    activate(s, at(8, 0));
    for (const char* name : {"obMode_0", "obMode_1", "fr_start", "fr_stop", "fr_intervallo",
                             "tbStartH", "cbIntervallo", "bttSalva", "bttCancella"})
        EXPECT_FALSE(s.on(name)) << name;
    EXPECT_TRUE(s.on("bttControllo"));
    s.clock->advanceTo(at(8, 0, 2));
    EXPECT_FALSE(s.on("bttSalva") || s.on("bttCancella"));
    s.click("bttControllo");
    expectEnded(s, w);
    EXPECT_TRUE(s.on("bttSalva") && s.on("bttCancella") && s.on("tbStartH"));
    type(s, "tbStartH", "");
    EXPECT_FALSE(s.on("bttControllo"));
    s.click("bttCancella");
    EXPECT_FALSE(s.on("bttControllo"));
    EXPECT_EQ(s.text("bttControllo"), "Start");
}

// A silent or vanished instrument ends the run: no row, nothing more sent, one error logged.
// "Stop" is enabled during a run's acquisition; pressed there, and the acquisition then fails,
// no run starts.
TEST(DataloggerWindow, FailedSampleEndsTheRun) {
    const struct {
        QStringList simArgs;
        bool vanishes; // after the first sample
        bool stopped;  // during the first sample
        QStringList sent;
        int rows;
    } cases[] = {{{"--silent", "LISTVAL"}, false, false, kNine.mid(0, 6), 0},
                 {{"--silent", "LISTVAL"}, false, true, kNine.mid(0, 6), 0},
                 {{}, true, false, kNine, 1}};
    for (const auto& c : cases) {
        Rig s(englishRow(), c.simArgs, liveContent({listval()}));
        RealtimeWindow* w = openRealtime(s);
        activate(s, at(8, 0));
        bool stopOn = false, modeOn = true;
        if (c.stopped) {
            QTimer::singleShot(300, [&] {
                stopOn = s.on("bttControllo");
                modeOn = s.on("obMode_1");
                s.click("bttControllo");
            });
        }
        s.clock->advanceTo(at(8, 0, 2));
        EXPECT_EQ(s.commands(), c.sent);
        if (c.stopped) {
            EXPECT_TRUE(stopOn && !modeOn);
            expectEnded(s, w); // at once, not by a failure of a run started again
        }
        if (c.vanishes) s.sim->kill(); // the adapter unplugged: noticed at once, not after 10 s
        s.ctx().link.readTimeout = std::chrono::seconds(10);
        QElapsedTimer wall;
        wall.start();
        s.clock->advanceTo(at(8, 0, 52));
        EXPECT_LT(wall.elapsed(), 1000);
        expectEnded(s, w);
        EXPECT_EQ(s.env.rows("realtime"), c.rows);
        const QString logged = s.env.debugLog();
        s.clock->advanceTo(at(8, 30));
        EXPECT_EQ(s.env.debugLog(), logged);
        EXPECT_TRUE(s.commands().isEmpty());
    }
}

// While the second sample's LISTVAL is delayed the user stops and starts again and 10 s of
// ticks pass: the restarted run's first tick starts no sample inside the running one; one
// sequence, one row; the new run goes on from that tick.
TEST(DataloggerWindow, TicksDuringADelayedAcquisitionStartNoSecond) {
    Rig s(englishRow(), QStringList{"--delay", "LISTVAL=600"}, liveContent({listval()}));
    RealtimeWindow* w = openRealtime(s);
    activate(s, at(8, 0));
    s.clock->advanceTo(at(8, 0, 2));
    EXPECT_EQ(s.commands(), kNine);
    QTimer::singleShot(200, [&] {
        s.click("bttControllo");
        s.click("bttControllo");
        s.clock->advanceBy(10000);
    });
    s.clock->advanceTo(at(8, 0, 51, 500));
    EXPECT_EQ(s.commands(), kNine);
    EXPECT_EQ(s.env.rows("realtime"), 2);
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(timer(w, "sec30")->isActive() && timer(w, "sec30")->interval() == 30000);
    // The restarted run's first tick (08:00:53.5) set the countdown: 49.5 s to the next sample.
    s.clock->advanceTo(at(8, 1, 43));
    EXPECT_EQ(s.commands(), kNine);
    EXPECT_EQ(samples(s, "ora"), QStringList({"08:00:02", "08:01:01", "08:01:43"}));
}

// While the instrument takes its time over LISTVAL, in a sample by hand or in a run's, the
// buttons that would start a second exchange are off ("Stop" stays on in a run); a close request
// waits for the sample, the run ends with the window and nothing is sent after it.
TEST(DataloggerWindow, ClosingDuringASampleWaitsForIt) {
    for (const bool run : {false, true}) {
        SCOPED_TRACE(run ? "a run" : "by hand");
        Rig s(englishRow(), QStringList{"--delay", "LISTVAL=700"}, liveContent({listval()}));
        openRealtime(s);
        acquire(s); // one sample, so the table buttons are on
        if (run) activate(s, at(8, 0));
        bool controlOn = !run, tableOn = true, closed = true;
        QMdiSubWindow* sub = s.window->area()->subWindowList().first();
        QTimer::singleShot(300, [&] {
            controlOn = s.on("bttControllo");
            tableOn = s.on("bttSalva") || s.on("bttCancella");
            closed = sub->close();
            if (!run) s.click("bttControllo"); // refused: a handler runs
        });
        if (run)
            s.clock->advanceTo(at(8, 0, 2));
        else
            s.click("bttControllo");
        EXPECT_EQ(s.commands(), kNine);
        EXPECT_EQ(controlOn, run);
        EXPECT_FALSE(tableOn || closed);
        EXPECT_EQ(s.env.rows("realtime"), 2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.window->currentChild() == nullptr; }, 2000));
        s.clock->advanceTo(at(9, 0));
        QTest::qWait(200);
        EXPECT_TRUE(s.commands().isEmpty());
    }
}

// A faulty day at interval 1 from 01:00 to 22:59: now and then the instrument is silent, cuts a
// reply, sends it in pieces, answers garbage or an extra line, answers late, or the line drops
// and comes back. A lost exchange ends the run right there (the test then connects and starts
// again); the rows stored are the "LISTVAL" replies of the samples whose nine exchanges all came
// whole, in order, each once (a garbage reply gives the sentinel or no row).
TEST(DataloggerWindow, AFaultyDay) {
    Rig s(englishRow(), QStringList{"--random-faults", "20261207:5:300"});
    RealtimeWindow* w = openRealtime(s);
    s.ctx().link.readTimeout = std::chrono::milliseconds(1000);
    activate(s, at(0, 59, 30), "1", "00", "22", "59");
    const QRegularExpression fatal("^! fault (silent|cut|drop)$");
    int ends = 0;
    for (QDateTime t = at(1, 0); t <= at(23, 0); t = t.addSecs(60)) {
        s.clock->advanceTo(t);
        if (w->running() || t == at(23, 0)) continue;
        const QStringList traffic = s.sim->lines();
        const auto last = std::find_if(traffic.rbegin(), traffic.rend(),
                                       [](const QString& l) { return l.startsWith("< "); });
        ASSERT_TRUE(last != traffic.rend() && last != traffic.rbegin() &&
                    fatal.match(*std::prev(last)).hasMatch())
            << "run ended at " << t.toString().toStdString() << " after " << last->toStdString();
        ++ends;
        // The connect button, until the line is back.
        for (int tries = 0; tries < 100 && !s.ctx().link.baseLinkUp(); ++tries) {
            QThread::msleep(20);
            toggleLink(s.ctx(), Unit::Base, "1");
        }
        ASSERT_TRUE(s.ctx().link.baseLinkUp());
        s.click("bttControllo");
    }
    expectEnded(s, w);

    // What the instrument sent: per sample, its LISTVAL reply and whether an exchange was lost.
    struct Sample {
        QString listval;
        bool garbage = false, lost = false;
    };
    std::vector<Sample> sent;
    QString command, fault;
    for (const QString& l : s.sim->lines()) {
        if (l.startsWith("< ")) {
            command = l.mid(2), fault.clear();
            if (command == kNine[0]) sent.emplace_back();
        } else if (l.startsWith("! fault ") && !sent.empty()) {
            fault = l.mid(8);
            sent.back().lost |= fatal.match(l).hasMatch();
        } else if (l.startsWith("> ") && command == "LISTVAL" && !sent.empty()) {
            sent.back().listval = l.mid(2);
            sent.back().garbage = fault == "garbage";
            command.clear();
        }
    }
    const QStringList rows = samples(s, "rad, VDC1, POTAC");
    qsizetype row = 0;
    int stored = 0;
    for (const Sample& sample : sent) {
        if (sample.lost) continue;
        const QStringList f = sample.listval.split('\t');
        const QStringList got = rows.value(row).split('|');
        const bool match = !sample.garbage && got.size() == 3 &&
                           got[0].toDouble() == f.value(2).toDouble() &&
                           got[1].toDouble() == f.value(7).toDouble() &&
                           got[2].toDouble() == f.value(20).toDouble();
        const bool sentinel = sample.garbage && got[0].toDouble() == -2000;
        ASSERT_TRUE(match || sample.garbage)
            << "row " << row << " for " << sample.listval.toStdString();
        row += match || sentinel;
        stored += match;
    }
    EXPECT_EQ(row, rows.size());
    EXPECT_GT(ends, 5);
    EXPECT_GT(stored, 1000);
}

#include "live_rig.h"
#include "port_selection.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace vorna;
using namespace vorna::test;

namespace {

const QStringList kNine{"REALTIME 1", "POWERRT 3.5", "NOCTRT 45", "GAMMART -0.45", "POTINVRT 0",
                        "LISTVAL",    "LINEDC?",     "PHASEAC?",  "REALTIME 0"};
const QDate kDay = kFirstSample.date();

QDateTime at(int h, int m, int s = 0, int ms = 0) {
    return QDateTime(kDay, QTime(h, m, s, ms));
}

// The real-time window in automatic mode, on the virtual clock.
struct AutoRig : LiveRig {
    // Without replies the simulator's live values are random.
    explicit AutoRig(const QStringList& simArgs = {}, const QLocale& pc = kUsPc,
                     const QStringList& replies = {listval()})
        : LiveRig(replies, {}, pc, simArgs) {}

    void chooseAuto() { s.find<QRadioButton>("obMode_0")->click(); }
    void type(const char* field, const QString& text) { s.find<QLineEdit>(field)->setText(text); }
    void schedule(const QString& startH, const QString& startM, const QString& stopH,
                  const QString& stopM) {
        type("tbStartH", startH);
        type("tbStartM", startM);
        type("tbStopH", stopH);
        type("tbStopM", stopM);
    }
    void interval(int position) {
        auto* cb = s.find<QComboBox>("cbIntervallo");
        cb->setCurrentIndex(position);
        emit cb->activated(position);
    }
    // Automatic mode, the schedule and the interval; the clock at `when`; "Activate".
    void activate(const QDateTime& when, const QString& startH = "8", const QString& startM = "00",
                  const QString& stopH = "22", const QString& stopM = "59", int position = 0) {
        clock.set(when);
        chooseAuto();
        schedule(startH, startM, stopH, stopM);
        interval(position);
        s.click("bttControllo");
        EXPECT_EQ(caption(), "Stop");
    }
    QString caption() { return s.find<QPushButton>("bttControllo")->text(); }
    bool on(const char* name) { return s.find(name)->isEnabled(); }
    ClockTimer* timer(const char* name) { return w->findChild<ClockTimer*>(name); }
    QStringList times() {
        QStringList t;
        for (const auto& row : rows())
            t << row.value("ora").toString();
        return t;
    }
    int errorsLogged() { return int(s.env.debugLog().count('\n')); }
    // The run is over: the button says "Start", the timers are off, the mode may change.
    void expectEnded() {
        EXPECT_FALSE(w->running());
        EXPECT_EQ(caption(), "Start");
        EXPECT_FALSE(timer("sec2")->isActive());
        EXPECT_FALSE(timer("sec30")->isActive());
        EXPECT_TRUE(on("fr_modo") && on("obMode_0") && on("obMode_1"));
    }
};

QStringList repeated(const QStringList& commands, int times) {
    QStringList all;
    for (int i = 0; i < times; ++i)
        all << commands;
    return all;
}

} // namespace

// An invalid schedule shows no message: the button is only switched off, its caption kept.
TEST(DataloggerWindow, ScheduleValidationDrivesTheButton) {
    AutoRig r;
    EXPECT_EQ(r.timer("sec2")->interval(), 2000);
    EXPECT_EQ(r.timer("sec30")->interval(), 30000);
    EXPECT_FALSE(r.timer("sec2")->isActive() || r.timer("sec30")->isActive());
    r.chooseAuto();
    for (const char* frame : {"fr_start", "fr_stop", "fr_intervallo"})
        EXPECT_FALSE(r.s.find(frame)->isHidden()) << frame;
    for (const char* field : {"tbStartH", "tbStartM", "tbStopH", "tbStopM"})
        EXPECT_TRUE(r.s.find<QLineEdit>(field)->text().isEmpty()) << field;
    EXPECT_FALSE(r.on("bttControllo"));
    EXPECT_EQ(r.caption(), "Acquire");

    const struct {
        const char *startH, *startM, *stopH, *stopM;
        bool valid;
    } steps[] = {
        {"8", "00", "8", "00", false},   {"8", "00", "8", "01", true},
        {"22", "59", "22", "59", false}, {"0", "10", "8", "00", false},
        {"8", "00", "23", "00", false},  {"8", "00", "9", "60", false},
        {"07", "0", "8", "0", true},     {"", "0", "8", "0", false},
        {" 7", "0", "8", "0", false},    {"+7", "0", "8", "0", false},
        {"-7", "0", "8", "0", false},    {"70000", "0", "8", "0", false},
    };
    bool seenValid = false;
    for (const auto& c : steps) {
        r.schedule(c.startH, c.startM, c.stopH, c.stopM);
        seenValid = seenValid || c.valid;
        EXPECT_EQ(r.on("bttControllo"), c.valid) << c.startH << ":" << c.startM;
        EXPECT_EQ(r.caption(), seenValid ? "Activate" : "Acquire") << c.startH << ":" << c.startM;
    }
    EXPECT_TRUE(r.s.env.prompts.warnings.empty());
    EXPECT_TRUE(r.s.env.debugLog().trimmed().isEmpty()) << r.s.env.debugLog().toStdString();

    // Back to manual: frames hidden, "Acquire"; the schedule is kept.
    r.s.find<QRadioButton>("obMode_1")->click();
    EXPECT_TRUE(r.s.find("fr_start")->isHidden());
    EXPECT_TRUE(r.on("bttControllo"));
    EXPECT_EQ(r.caption(), "Acquire");
    EXPECT_EQ(r.s.find<QLineEdit>("tbStopH")->text(), "8");
    EXPECT_TRUE(r.newCommands().isEmpty());
}

// The second sample comes (2n - 1) x 30 s + 19.5 s after the first, to the millisecond.
TEST(DataloggerWindow, SecondSampleAfterTheInterval) {
    const struct { int position, minutes; } cases[] = {{0, 1}, {1, 5}, {4, 20}};
    for (const auto& c : cases) {
        AutoRig r;
        r.activate(at(7, 59, 58), "8", "00", "22", "59", c.position);
        r.clock.advanceTo(at(8, 0));
        EXPECT_EQ(r.newCommands(), kNine);
        const QDateTime second = at(8, 0).addMSecs((2 * c.minutes - 1) * 30000 + 19500);
        r.clock.advanceTo(second.addMSecs(-1));
        EXPECT_EQ(r.rows().size(), 1u) << c.minutes;
        r.clock.advanceTo(second);
        EXPECT_EQ(r.newCommands(), kNine) << c.minutes;
        EXPECT_EQ(r.times(), QStringList({"08:00:00", second.time().toString("hh:mm:ss")}));
    }
}

// Activated early, a run sends nothing before the first 2-s tick in the start minute; it ends by
// itself on the first tick after the stop minute and then sends nothing more.
TEST(DataloggerWindow, WaitsForTheStartAndEndsAfterTheStop) {
    AutoRig r;
    r.activate(at(7, 58, 11), "8", "00", "8", "01");
    r.clock.advanceTo(at(7, 59, 59, 999));
    EXPECT_TRUE(r.newCommands().isEmpty());
    EXPECT_TRUE(r.timer("sec2")->isActive());
    EXPECT_FALSE(r.on("fr_modo"));
    r.clock.advanceTo(at(8, 0, 1));
    EXPECT_EQ(r.newCommands(), kNine);
    r.clock.advanceTo(at(8, 2, 0, 999));
    EXPECT_TRUE(r.w->running());
    r.clock.advanceTo(at(8, 2, 1));
    r.expectEnded();
    EXPECT_EQ(r.times(), QStringList({"08:00:01", "08:00:50", "08:01:40"}));
    r.clock.advanceTo(at(12, 0));
    r.clock.advanceTo(at(8, 30).addDays(1));
    EXPECT_EQ(r.newCommands(), repeated(kNine, 2));
    EXPECT_EQ(r.rows().size(), 3u);
}

// Activated after the stop minute (at 10:15), a run waits for the next day's start.
TEST(DataloggerWindow, AfterTheStopMinuteWaitsForTheNextDay) {
    AutoRig r;
    r.activate(kFirstSample, "8", "00", "9", "00");
    r.clock.advanceTo(at(7, 59, 59).addDays(1));
    EXPECT_TRUE(r.newCommands().isEmpty());
    r.clock.advanceTo(at(8, 0, 1).addDays(1));
    EXPECT_EQ(r.newCommands(), kNine);
    ASSERT_EQ(r.rows().size(), 1u);
    EXPECT_EQ(r.rows()[0].value("data").toString(), "2024-06-15");
    EXPECT_EQ(r.rows()[0].value("ora").toString(), "08:00:00");
}

// "Stop" while sec30 is on its short 19.5-s tick, then "Start": the new run's samples are 49.5 s
// apart again, not 10.5 s early.
TEST(DataloggerWindow, StopAndStartAgainKeepsFullGaps) {
    AutoRig r;
    r.activate(at(8, 0));
    r.clock.advanceTo(at(8, 0, 33)); // a sample at 08:00:02, a 30-s tick at 08:00:32
    EXPECT_EQ(r.timer("sec30")->interval(), 19500);
    r.s.click("bttControllo");
    r.expectEnded();
    r.s.click("bttControllo");
    EXPECT_EQ(r.caption(), "Stop");
    r.clock.advanceTo(at(8, 2, 15));
    EXPECT_EQ(r.times(), QStringList({"08:00:02", "08:00:35", "08:01:24", "08:02:14"}));
}

// An hour at interval 1 from 07:59:30: 73 samples, 49.5 s apart, the last at 08:59:24; nothing
// after 09:00:00.
TEST(DataloggerWindow, AnHourOfSamples) {
    AutoRig r;
    QElapsedTimer wall;
    wall.start();
    r.activate(at(7, 59, 30), "8", "00", "8", "59");
    r.clock.advanceTo(at(9, 0));
    const qint64 ms = wall.elapsed();
    r.expectEnded();
    const auto rows = r.rows();
    ASSERT_EQ(rows.size(), 73u);
    for (int n = 1; n <= 73; ++n) {
        const QTime expected = QTime(8, 0).addSecs(49 * (n - 1) + (n - 1) / 2);
        EXPECT_EQ(rows[n - 1].value("ora").toString(), expected.toString("hh:mm:ss")) << n;
        EXPECT_EQ(rows[n - 1].value("NUMERO").toInt(), n);
    }
    EXPECT_EQ(rows.back().value("ora").toString(), "08:59:24");
    EXPECT_EQ(r.newCommands(), repeated(kNine, 73));
    r.clock.advanceTo(at(11, 0));
    EXPECT_TRUE(r.newCommands().isEmpty());
    EXPECT_EQ(r.gridSamples(), 73);
    std::printf("an hour of datalogger: %lld ms of test\n", static_cast<long long>(ms));
}

// A silent or vanished instrument ends the run: no row, nothing more sent, one error logged.
TEST(DataloggerWindow, FailedSampleEndsTheRun) {
    {
        AutoRig r({"--silent", "LISTVAL"});
        r.activate(at(8, 0));
        r.clock.advanceTo(at(8, 0, 2));
        EXPECT_EQ(r.newCommands(), kNine.mid(0, 6));
        r.expectEnded();
        EXPECT_TRUE(r.rows().empty());
        const int logged = r.errorsLogged();
        r.clock.advanceTo(at(8, 30));
        EXPECT_EQ(r.errorsLogged(), logged);
        EXPECT_TRUE(r.newCommands().isEmpty());
    }
    {
        AutoRig r;
        r.activate(at(8, 0));
        r.clock.advanceTo(at(8, 0, 2));
        EXPECT_EQ(r.newCommands(), kNine);
        r.s.sim->kill(); // the adapter unplugged: noticed at once, not after the time-out
        r.s.ctx().link.readTimeout = std::chrono::seconds(10);
        QElapsedTimer wall;
        wall.start();
        r.clock.advanceTo(at(8, 0, 52));
        EXPECT_LT(wall.elapsed(), 1000);
        r.expectEnded();
        EXPECT_EQ(r.rows().size(), 1u);
        const int logged = r.errorsLogged();
        r.clock.advanceTo(at(8, 30));
        EXPECT_EQ(r.errorsLogged(), logged);
    }
}

// "Stop" is enabled during a run's acquisition; pressed there, and the acquisition then fails,
// no run starts.
TEST(DataloggerWindow, StopDuringAFailingAcquisitionStartsNoRun) {
    AutoRig r({"--silent", "LISTVAL"});
    r.activate(at(8, 0));
    bool stopOn = false, modeOn = true;
    QTimer::singleShot(300, [&] {
        stopOn = r.on("bttControllo");
        modeOn = r.on("obMode_1");
        r.s.click("bttControllo");
    });
    r.clock.advanceTo(at(8, 0, 2));
    EXPECT_TRUE(stopOn);
    EXPECT_FALSE(modeOn);
    r.expectEnded();
    r.clock.advanceTo(at(8, 10));
    EXPECT_EQ(r.newCommands(), kNine.mid(0, 6));
}

// While the second sample's LISTVAL is delayed the user stops and starts again and 10 s of
// ticks pass: the restarted run's first tick starts no sample inside the running one; one
// sequence, one row; the new run goes on from that tick.
TEST(DataloggerWindow, TicksDuringADelayedAcquisitionStartNoSecond) {
    AutoRig r({"--delay", "LISTVAL=600"});
    r.activate(at(8, 0));
    r.clock.advanceTo(at(8, 0, 2));
    EXPECT_EQ(r.newCommands(), kNine);
    QTimer::singleShot(200, [&] {
        r.s.click("bttControllo");
        r.s.click("bttControllo");
        r.clock.advanceBy(10000);
    });
    r.clock.advanceTo(at(8, 0, 51, 500));
    EXPECT_EQ(r.newCommands(), kNine);
    EXPECT_EQ(r.rows().size(), 2u);
    EXPECT_TRUE(r.w->running());
    EXPECT_TRUE(r.timer("sec30")->isActive());
    EXPECT_EQ(r.timer("sec30")->interval(), 30000);
    // The restarted run's first tick (08:00:53.5) set the countdown: 49.5 s to the next sample.
    r.clock.advanceTo(at(8, 1, 43));
    EXPECT_EQ(r.newCommands(), kNine);
    EXPECT_EQ(r.times(), QStringList({"08:00:02", "08:01:01", "08:01:43"}));
}

// During a run the mode, the schedule and the table buttons are locked; after "Stop" an invalid
// schedule keeps the button off, also after "Delete table data".
TEST(DataloggerWindow, ControlsDuringAndAfterARun) {
    AutoRig r;
    r.acquire(); // a manual sample: the table buttons are on
    EXPECT_TRUE(r.on("bttSalva") && r.on("bttCancella"));
    r.activate(at(8, 0));
    for (const char* name : {"obMode_0", "obMode_1", "fr_start", "fr_stop", "fr_intervallo",
                             "tbStartH", "cbIntervallo", "bttSalva", "bttCancella"})
        EXPECT_FALSE(r.on(name)) << name;
    EXPECT_TRUE(r.on("bttControllo"));
    r.clock.advanceTo(at(8, 0, 2));
    EXPECT_FALSE(r.on("bttSalva") || r.on("bttCancella"));
    r.s.click("bttControllo");
    r.expectEnded();
    EXPECT_TRUE(r.on("bttSalva") && r.on("bttCancella") && r.on("tbStartH"));
    r.type("tbStartH", "");
    EXPECT_FALSE(r.on("bttControllo"));
    r.s.click("bttCancella");
    EXPECT_FALSE(r.on("bttControllo"));
    EXPECT_EQ(r.caption(), "Start");
}

// Closing the window ends the run and sends nothing; during a tick's acquisition it waits.
TEST(DataloggerWindow, ClosingEndsTheRun) {
    AutoRig r({"--delay", "LISTVAL=500"});
    r.activate(at(8, 0));
    bool closed = true;
    QMdiSubWindow* sub = r.s.window->area()->subWindowList().first();
    QTimer::singleShot(200, [&] { closed = sub->close(); });
    r.clock.advanceTo(at(8, 0, 2));
    EXPECT_FALSE(closed);
    EXPECT_EQ(r.newCommands(), kNine);
    EXPECT_EQ(r.rows().size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return r.s.window->currentChild() == nullptr; }, 2000));
    EXPECT_EQ(r.s.ctx().childWindowOpen, 0);
    r.clock.advanceTo(at(9, 0));
    QTest::qWait(100);
    EXPECT_TRUE(r.newCommands().isEmpty());
}

// Saved after an automatic run: the plant block, three empty lines, the header, one line of 25
// tab-terminated cells per sample, a final empty line.
TEST(DataloggerWindow, FileAfterARun) {
    AutoRig r;
    r.activate(at(8, 0), "8", "00", "8", "01");
    r.clock.advanceTo(at(8, 3));
    r.expectEnded();
    const QString path = r.s.env.path("run.txt");
    r.s.env.prompts.saveNames = {path};
    r.s.click("bttSalva");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 10 + 3 + 1 + 3 + 1 + 1); // the split leaves one after the last LF
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    EXPECT_TRUE(lines[0].startsWith("Power: 3.5 kW"));
    for (int i : {10, 11, 12, 17})
        EXPECT_EQ(lines[i], "\r");
    EXPECT_TRUE(lines[13].startsWith("Date\tTime\tRad."));
    EXPECT_TRUE(lines[14].startsWith("14/06/2024\t08:00:02\t812.5\t"));
    EXPECT_TRUE(lines[15].startsWith("14/06/2024\t08:00:51\t"));
    EXPECT_TRUE(lines[16].startsWith("14/06/2024\t08:01:41\t"));
    for (int i : {13, 14, 15, 16}) {
        EXPECT_EQ(lines[i].count('\t'), 25) << i;
        EXPECT_TRUE(lines[i].endsWith("\t\r")) << i;
    }
}

// Automatic mode with a valid schedule, idle and running, in English and in Italian.
TEST(Screenshots, RealtimeAutomatic) {
    for (const auto& [pc, tag] : {std::pair{kUsPc, "en"}, std::pair{kItalianPc, "it"}}) {
        AutoRig r({}, pc);
        r.s.window->show();
        r.clock.set(at(7, 59));
        r.chooseAuto();
        r.schedule("8", "00", "18", "30");
        r.interval(1);
        QCoreApplication::processEvents();
        EXPECT_TRUE(r.w->grab().save(screenshotDir() + "/realtime_" + tag + "_auto_idle.png"));
        r.s.click("bttControllo");
        r.clock.advanceTo(at(8, 15));
        QCoreApplication::processEvents();
        EXPECT_TRUE(r.w->grab().save(screenshotDir() + "/realtime_" + tag + "_auto_running.png"));
    }
}

// A faulty day at interval 1 from 01:00 to 22:59: now and then the instrument is silent, cuts a
// reply, sends it in pieces, answers garbage or an extra line, answers late, or the line drops
// and comes back. A lost exchange ends the run right there (the test then connects and starts
// again); the rows stored are the "LISTVAL" replies of the samples whose nine exchanges all came
// whole, in order, each once (a garbage reply gives the sentinel or no row).
TEST(DataloggerWindow, AFaultyDay) {
    AutoRig r({"--random-faults", "20261207:5:300"}, kUsPc, {});
    r.s.ctx().link.readTimeout = std::chrono::milliseconds(1000);
    r.activate(at(0, 59, 30), "1", "00", "22", "59");
    const QRegularExpression fatal("^! fault (silent|cut|drop)$");
    int ends = 0;
    for (QDateTime t = at(1, 0); t <= at(23, 0); t = t.addSecs(60)) {
        r.clock.advanceTo(t);
        if (r.w->running() || t == at(23, 0)) continue;
        const QStringList traffic = r.s.sim->traffic();
        const auto last = std::find_if(traffic.rbegin(), traffic.rend(),
                                       [](const QString& l) { return l.startsWith("< "); });
        ASSERT_TRUE(last != traffic.rend() && last != traffic.rbegin() &&
                    fatal.match(*std::prev(last)).hasMatch())
            << "run ended at " << t.toString().toStdString() << " after " << last->toStdString();
        ++ends;
        // The connect button, until the line is back.
        for (int tries = 0; tries < 100 && !r.s.ctx().link.baseLinkUp(); ++tries) {
            QThread::msleep(20);
            toggleLink(r.s.ctx(), Unit::Base, "1");
        }
        ASSERT_TRUE(r.s.ctx().link.baseLinkUp());
        r.s.click("bttControllo");
    }
    r.expectEnded();

    // What the instrument sent: per sample, its LISTVAL reply and whether an exchange was lost.
    struct Sample {
        QString listval;
        bool garbage = false, lost = false;
    };
    std::vector<Sample> samples;
    QString command, fault;
    for (const QString& l : r.s.sim->traffic()) {
        if (l.startsWith("< ")) {
            command = l.mid(2), fault.clear();
            if (command == kNine[0]) samples.emplace_back();
        } else if (l.startsWith("! fault ") && !samples.empty()) {
            fault = l.mid(8);
            samples.back().lost |= fatal.match(l).hasMatch();
        } else if (l.startsWith("> ") && command == "LISTVAL" && !samples.empty()) {
            samples.back().listval = l.mid(2);
            samples.back().garbage = fault == "garbage";
            command.clear();
        }
    }
    const auto rows = r.rows();
    size_t row = 0;
    int stored = 0;
    for (const Sample& sample : samples) {
        if (sample.lost) continue;
        const QStringList f = sample.listval.split('\t');
        const bool match = row < rows.size() && !sample.garbage &&
                           rows[row].value("rad").toDouble() == f.value(2).toDouble() &&
                           rows[row].value("VDC1").toDouble() == f.value(7).toDouble() &&
                           rows[row].value("POTAC").toDouble() == f.value(20).toDouble();
        const bool sentinel =
            sample.garbage && row < rows.size() && rows[row].value("rad").toDouble() == -2000;
        ASSERT_TRUE(match || sentinel || sample.garbage)
            << "row " << row << " for " << sample.listval.toStdString();
        row += match || sentinel;
        stored += match;
    }
    EXPECT_EQ(row, rows.size());
    EXPECT_GT(ends, 5);
    EXPECT_GT(stored, 1000);
    std::printf("a faulty day: %zu samples asked, %d stored whole, %d runs ended by a fault\n",
                samples.size(), stored, ends);
}

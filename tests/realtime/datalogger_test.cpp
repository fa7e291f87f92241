#include "datalogger.h"
#include "wall_clock.h"

#include <gtest/gtest.h>

using namespace vorna;

namespace {

const QDate kDay(2026, 6, 1);
QDateTime at(int h, int m, int s = 0, int ms = 0) {
    return QDateTime(kDay, QTime(h, m, s, ms));
}

// A datalogger on a virtual clock with a window that notes when it samples; a sample may fail,
// and then the window ends the run as the acquisition button does.
struct LoggerRun {
    VirtualClock clock{at(7, 0)};
    QObject owner;
    QString startH = "8", startM = "0", stopH = "8", stopM = "59";
    std::vector<QDateTime> samples;
    bool failNext = false;
    std::function<void()> duringSample;
    Datalogger dl{clock,
                  {[this] {
                       samples.push_back(clock.now());
                       if (duringSample) duringSample();
                       if (failNext) buttonPressed();
                   },
                   [this] { buttonPressed(); },
                   [this] { return dailyWindow(startH, startM, stopH, stopM); }},
                  &owner};
    void buttonPressed() {
        if (dl.running())
            dl.end();
        else if (!failNext)
            dl.begin();
    }
    std::vector<qint64> gapsMs() const {
        std::vector<qint64> g;
        for (size_t i = 1; i < samples.size(); ++i)
            g.push_back(samples[i - 1].msecsTo(samples[i]));
        return g;
    }
};

} // namespace

TEST(Datalogger, TimersOffAtFirstNamedWithTheirIntervals) {
    LoggerRun r;
    EXPECT_EQ(r.dl.sec2->objectName(), "sec2");
    EXPECT_EQ(r.dl.sec2->interval(), 2000);
    EXPECT_EQ(r.dl.sec30->objectName(), "sec30");
    EXPECT_EQ(r.dl.sec30->interval(), 30000);
    EXPECT_FALSE(r.dl.sec2->isActive());
    EXPECT_FALSE(r.dl.sec30->isActive());
    r.clock.advanceBy(3600 * 1000);
    EXPECT_TRUE(r.samples.empty());
}

TEST(Datalogger, GapBetweenSamplesFollowsTheInterval) {
    for (qint16 n : {1, 5, 10, 15, 20}) {
        LoggerRun r;
        r.stopH = "22";
        r.dl.setInterval(n);
        r.clock.set(at(8, 0, 0, 250));
        r.dl.begin();
        r.clock.advanceTo(at(8, 0).addSecs(3 * (2 * n * 30)));
        ASSERT_GE(r.samples.size(), 3u) << n;
        EXPECT_EQ(r.samples[0], at(8, 0, 2, 250)) << n;
        // (2n - 1) ticks of 30 s and one of 19.5 s.
        const qint64 gap = (2 * n - 1) * 30000 + 19500;
        EXPECT_EQ(r.gapsMs()[0], gap) << n;
        EXPECT_EQ(r.gapsMs()[1], gap) << n;
    }
}

TEST(Datalogger, WaitsForTheStartMinuteAndEndsAfterTheStopMinute) {
    LoggerRun r;
    r.stopM = "1";
    r.dl.setInterval(5);
    r.clock.set(at(7, 58, 11, 500));
    r.dl.begin();
    r.clock.advanceTo(at(7, 59, 59, 999));
    EXPECT_TRUE(r.samples.empty());
    r.clock.advanceTo(at(8, 5));
    // The first tick at or after 08:00; the first tick in 08:02 ends the run.
    ASSERT_EQ(r.samples.size(), 1u);
    EXPECT_EQ(r.samples[0], at(8, 0, 1, 500));
    EXPECT_FALSE(r.dl.running());
    EXPECT_FALSE(r.dl.sec2->isActive());
    EXPECT_FALSE(r.dl.sec30->isActive());
}

TEST(Datalogger, ActivatedAfterTheStopMinuteWaitsForTheNextDay) {
    LoggerRun r;
    r.clock.set(at(9, 30));
    r.dl.begin();
    r.clock.advanceTo(at(8, 0).addDays(1).addMSecs(-1));
    EXPECT_TRUE(r.samples.empty());
    EXPECT_TRUE(r.dl.running());
    r.clock.advanceBy(1);
    ASSERT_EQ(r.samples.size(), 1u);
    EXPECT_EQ(r.samples[0], at(8, 0).addDays(1));
}

TEST(Datalogger, AnHourAtIntervalOne) {
    LoggerRun r;
    r.clock.set(at(7, 59, 30));
    r.dl.begin();
    r.clock.advanceTo(at(10, 0));
    ASSERT_EQ(r.samples.size(), 73u);
    for (int n = 1; n <= 73; ++n)
        EXPECT_EQ(r.samples[n - 1], at(8, 0).addMSecs(qint64(49500) * (n - 1))) << n;
    EXPECT_EQ(r.samples.back().time().toString("hh:mm:ss"), "08:59:24");
    EXPECT_FALSE(r.dl.running());
}

TEST(Datalogger, StopOnALateTickThenStartGivesFullGapsAgain) {
    LoggerRun r;
    r.clock.set(at(8, 0));
    r.dl.begin();
    r.clock.advanceTo(at(8, 0, 32)); // sample at 08:00:02, a 30-s tick at 08:00:32
    ASSERT_EQ(r.samples.size(), 1u);
    EXPECT_EQ(r.dl.sec30->interval(), 19500);
    r.buttonPressed();
    EXPECT_FALSE(r.dl.sec2->isActive());
    EXPECT_FALSE(r.dl.sec30->isActive());
    r.buttonPressed();
    r.clock.advanceTo(at(8, 5));
    ASSERT_GE(r.samples.size(), 4u);
    EXPECT_EQ(r.samples[1], at(8, 0, 34));
    for (size_t i = 1; i < r.gapsMs().size(); ++i)
        EXPECT_EQ(r.gapsMs()[i], 49500) << i;
}

TEST(Datalogger, AFailedSampleEndsTheRunAndStartsNone) {
    LoggerRun r;
    r.clock.set(at(8, 0));
    r.dl.begin();
    r.failNext = true;
    r.clock.advanceTo(at(8, 30));
    EXPECT_EQ(r.samples.size(), 1u);
    EXPECT_FALSE(r.dl.running());
    EXPECT_FALSE(r.dl.sec2->isActive());
    EXPECT_FALSE(r.dl.sec30->isActive());
}

TEST(Datalogger, TicksDuringASlowSampleStartNoSecondOne) {
    // The window's guard refuses a sample inside a sample; the tick still counts down.
    LoggerRun r;
    r.clock.set(at(8, 0));
    r.dl.begin();
    bool inSample = false;
    int refused = 0;
    r.duringSample = [&] {
        if (inSample) {
            ++refused;
            r.samples.pop_back();
            return;
        }
        inSample = true;
        if (r.samples.size() == 2) {
            // Stop and start again while the exchange waits, and let 10 s pass.
            r.buttonPressed();
            r.buttonPressed();
            r.clock.advanceBy(10000);
        }
        inSample = false;
    };
    r.clock.advanceTo(at(8, 3));
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(r.dl.sec30->interval(), 30000);
    ASSERT_GE(r.samples.size(), 3u);
    // The restarted run's sample was refused; its sec30 counts a full interval from that tick.
    EXPECT_EQ(r.samples[1], at(8, 0, 51, 500));
    EXPECT_EQ(r.samples[2], at(8, 0, 53, 500).addMSecs(49500));
}

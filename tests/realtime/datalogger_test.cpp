#include "datalogger.h"
#include "wall_clock.h"

#include <gtest/gtest.h>

using namespace vorna;

namespace {

const QDate kDay(2026, 6, 1);
QDateTime at(int h, int m, int s = 0, int ms = 0) {
    return QDateTime(kDay, QTime(h, m, s, ms));
}

// A datalogger on a virtual clock, noting when it samples; what the real-time window does when
// a sample fails or overlaps another is tested through the window.
struct LoggerRun {
    VirtualClock clock{at(7, 0)};
    QObject owner;
    QString startH = "8", startM = "0", stopH = "8", stopM = "59";
    std::vector<QDateTime> samples;
    Datalogger dl{clock,
                  {[this] { samples.push_back(clock.now()); }, [this] { dl.end(); },
                   [this] { return dailyWindow(startH, startM, stopH, stopM); }},
                  &owner};
    std::vector<qint64> gapsMs() const {
        std::vector<qint64> g;
        for (size_t i = 1; i < samples.size(); ++i)
            g.push_back(samples[i - 1].msecsTo(samples[i]));
        return g;
    }
};

} // namespace

// A run begun at `from` on the daily window 08:00 to stop, watched until `until`: its first
// sample, every gap after it, how many, and whether it still runs.
TEST(Datalogger, SamplesFollowTheScheduleAndTheInterval) {
    const struct {
        qint16 interval;
        QDateTime from;
        QString stopH, stopM;
        QDateTime until, first;
        qint64 gapMs;
        size_t count;
        bool running;
    } cases[] = {
        // The first 2-s tick at or after 08:00; then (2n - 1) ticks of 30 s and one of 19.5 s.
        {1, at(8, 0, 0, 250), "22", "59", at(8, 3), at(8, 0, 2, 250), 49500, 4, true},
        {5, at(8, 0, 0, 250), "22", "59", at(8, 15), at(8, 0, 2, 250), 289500, 4, true},
        {20, at(8, 0, 0, 250), "22", "59", at(9, 0), at(8, 0, 2, 250), 1189500, 4, true},
        // Waits for the start minute; the first tick in the minute after the stop ends the run.
        {5, at(7, 58, 11, 500), "8", "1", at(8, 5), at(8, 0, 1, 500), 0, 1, false},
        // Begun after the stop minute: the next day's start.
        {1, at(9, 30), "8", "59", at(8, 0).addDays(1), at(8, 0).addDays(1), 0, 1, true},
        // An hour at interval 1: 73 samples, the last at 08:59:24.
        {1, at(7, 59, 30), "8", "59", at(10, 0), at(8, 0), 49500, 73, false},
    };
    for (const auto& c : cases) {
        LoggerRun r;
        r.stopH = c.stopH, r.stopM = c.stopM;
        r.dl.setInterval(c.interval);
        r.clock.set(c.from);
        r.dl.begin();
        r.clock.advanceTo(c.until);
        const std::string what =
            c.from.toString().toStdString() + " / " + std::to_string(c.interval);
        ASSERT_EQ(r.samples.size(), c.count) << what;
        EXPECT_EQ(r.samples[0], c.first) << what;
        for (qint64 gap : r.gapsMs())
            EXPECT_EQ(gap, c.gapMs) << what;
        EXPECT_EQ(r.dl.running(), c.running) << what;
        EXPECT_EQ(r.dl.sec2->isActive() || r.dl.sec30->isActive(), c.running) << what;
    }
}

TEST(Datalogger, StopOnALateTickThenStartGivesFullGapsAgain) {
    LoggerRun r;
    r.clock.set(at(8, 0));
    r.dl.begin();
    r.clock.advanceTo(at(8, 0, 32)); // sample at 08:00:02, a 30-s tick at 08:00:32
    ASSERT_EQ(r.samples.size(), 1u);
    EXPECT_EQ(r.dl.sec30->interval(), 19500);
    r.dl.end();
    EXPECT_FALSE(r.dl.sec2->isActive());
    EXPECT_FALSE(r.dl.sec30->isActive());
    r.dl.begin();
    r.clock.advanceTo(at(8, 5));
    ASSERT_GE(r.samples.size(), 4u);
    EXPECT_EQ(r.samples[1], at(8, 0, 34));
    for (size_t i = 1; i < r.gapsMs().size(); ++i)
        EXPECT_EQ(r.gapsMs()[i], 49500) << i;
}

#include "wall_clock.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace vorna;

namespace {

const QDateTime kStart(QDate(2026, 6, 1), QTime(8, 0));

// Which timer fired at which virtual millisecond.
struct Firings {
    VirtualClock& clock;
    std::vector<std::pair<QString, qint64>> log;
    void watch(ClockTimer* t) {
        QObject::connect(t, &ClockTimer::timeout, t, [this, t] {
            log.emplace_back(t->objectName(), kStart.msecsTo(clock.now()));
        });
    }
};

using Log = std::vector<std::pair<QString, qint64>>;

} // namespace

// The virtual clock is the tests' stand-in for the system's, and the datalogger and real-time
// tests run on it with every sample's time known: they check its timing. Kept here is the one
// way it must behave as QTimer does that those tests would not show: a timer whose handler is
// still running does not fire inside itself.
TEST(VirtualClock, AdvancedInsideAHandlerFiresOthersButNotTheRunningOne) {
    VirtualClock clock(kStart);
    QObject owner;
    Firings f{clock, {}};
    ClockTimer* slow = clock.makeTimer("slow", 1000, &owner);
    ClockTimer* tick = clock.makeTimer("tick", 2000, &owner);
    f.watch(slow);
    f.watch(tick);
    bool nested = false;
    // Like a tick whose exchange waits while the test lets time pass.
    QObject::connect(slow, &ClockTimer::timeout, &owner, [&] {
        if (nested) return;
        nested = true;
        clock.advanceBy(5000);
    });
    slow->start();
    tick->start();
    clock.advanceBy(1000);
    // slow fires once more, late, when its handler has returned; time never goes back.
    EXPECT_EQ(
        f.log,
        (Log{{"slow", 1000}, {"tick", 2000}, {"tick", 4000}, {"tick", 6000}, {"slow", 6000}}));
    EXPECT_EQ(clock.now(), kStart.addMSecs(6000));
    clock.advanceBy(1000);
    EXPECT_EQ(f.log.back(), (std::pair<QString, qint64>{"slow", 7000}));
}

TEST(SystemClock, TimersTickUntilStopped) {
    SystemClock clock;
    QObject owner;
    ClockTimer* t = clock.makeTimer("sec2", 2000, &owner);
    QSignalSpy spy(t, &ClockTimer::timeout);
    t->setInterval(10);
    t->start();
    EXPECT_TRUE(t->isActive());
    EXPECT_TRUE(spy.wait(2000));
    t->stop();
    EXPECT_FALSE(t->isActive());
    const auto ticks = spy.count();
    QTest::qWait(50);
    EXPECT_EQ(spy.count(), ticks);
}

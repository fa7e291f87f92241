#include "wall_clock.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace vorna;

// The virtual clock is the tests' stand-in for this one. The datalogger and real-time tests run on
// it with every sample's time known, advancing it from inside a running exchange too, and so check
// its order, intervals, jumps and its acting as QTimer does.
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

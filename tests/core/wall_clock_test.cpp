#include "wall_clock.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

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

TEST(VirtualClock, FiresDueTimersInTimeOrderEachAtItsMoment) {
    VirtualClock clock(kStart);
    QObject owner;
    Firings f{clock, {}};
    ClockTimer* a = clock.makeTimer("a", 3000, &owner);
    ClockTimer* b = clock.makeTimer("b", 2000, &owner);
    ClockTimer* off = clock.makeTimer("off", 500, &owner);
    for (auto* t : {a, b, off})
        f.watch(t);
    EXPECT_FALSE(off->isActive());
    a->start();
    b->start();
    clock.advanceBy(6000);
    // At 6000 both are due: a was set for it first (at 3000, b at 4000).
    EXPECT_EQ(f.log, (Log{{"b", 2000}, {"a", 3000}, {"b", 4000}, {"a", 6000}, {"b", 6000}}));
    EXPECT_EQ(clock.now(), kStart.addMSecs(6000));
    clock.advanceTo(kStart.addMSecs(6999));
    EXPECT_EQ(f.log.size(), 5u);
    EXPECT_EQ(clock.now(), kStart.addMSecs(6999));
}

TEST(VirtualClock, IntervalChangeStopAndStartCountFromNow) {
    VirtualClock clock(kStart);
    QObject owner;
    Firings f{clock, {}};
    ClockTimer* t = clock.makeTimer("t", 30000, &owner);
    f.watch(t);
    // The 30-s timer of a datalogger: the handler shortens the next period.
    QObject::connect(t, &ClockTimer::timeout, &owner, [t] { t->setInterval(19500); });
    t->start();
    clock.advanceBy(10000);
    t->start(); // restart: a full period from now
    clock.advanceBy(40000 + 19500);
    EXPECT_EQ(f.log, (Log{{"t", 40000}, {"t", 59500}}));
    EXPECT_EQ(t->interval(), 19500);
    t->stop();
    clock.advanceBy(100000);
    EXPECT_EQ(f.log.size(), 2u);
    t->setInterval(1000); // while off: nothing starts
    EXPECT_FALSE(t->isActive());
    clock.advanceBy(5000);
    EXPECT_EQ(f.log.size(), 2u);
}

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

TEST(VirtualClock, JumpsWithoutFiringAndSurvivesTimersAndItselfGoingAway) {
    auto clock = std::make_unique<VirtualClock>(kStart);
    QObject owner;
    Firings f{*clock, {}};
    ClockTimer* t = clock->makeTimer("t", 2000, &owner);
    f.watch(t);
    t->start();
    clock->advanceBy(500);
    clock->set(kStart.addDays(1));
    EXPECT_TRUE(f.log.empty());
    clock->advanceBy(1499);
    EXPECT_TRUE(f.log.empty());
    clock->advanceBy(1);
    EXPECT_EQ(f.log.size(), 1u);

    // A handler that deletes its own timer.
    ClockTimer* once = clock->makeTimer("once", 100, &owner);
    QObject::connect(once, &ClockTimer::timeout, &owner, [once] { delete once; });
    once->start();
    clock->advanceBy(1000);

    ClockTimer* left = clock->makeTimer("left", 100, &owner);
    left->start();
    clock.reset();
    left->stop();
    delete left;
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

#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class QTimer;

namespace vorna {

// A repeating timer made by a clock, named as the window knows it (its objectName), so tests can
// find it and watch its interval and state. Off when made.
class ClockTimer : public QObject {
    Q_OBJECT
public:
    int interval() const { return interval_; }
    // On an active timer the count starts again from now with the new interval.
    void setInterval(int ms);
    bool isActive() const { return active_; }
    // Starts counting a full interval from now (also when already active).
    void start();
    void stop();

signals:
    void timeout();

protected:
    ClockTimer(const QString& name, int intervalMs, QObject* parent);
    // The count (re)starts now, or stops.
    virtual void arm() = 0;
    virtual void disarm() = 0;

private:
    int interval_;
    bool active_ = false;
};

// Where the program reads the date and the time of day (the schedule of a datalogger run, a
// sample's time stamp) and where it gets its timers. The program uses the system's; tests put a
// VirtualClock in the context so that hours pass in moments and stamps are known in advance.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual QDateTime now() const = 0;
    // A timer owned by parent, off at first.
    virtual ClockTimer* makeTimer(const QString& name, int intervalMs, QObject* parent) = 0;
};

class SystemClock final : public WallClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    ClockTimer* makeTimer(const QString& name, int intervalMs, QObject* parent) override;
};

// Stands where it is set and moves only when told. Advancing it fires the timers that fall due
// on the way, in time order (equal times in the order they were set), each at its own moment;
// it may be advanced from inside a timer's handler (say, during an exchange that handler runs),
// and then a timer whose handler is still running does not fire inside itself, as with QTimer.
class VirtualClock final : public WallClock {
public:
    explicit VirtualClock(const QDateTime& start) : origin_(start) {}
    ~VirtualClock() override;
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    QDateTime now() const override { return origin_.addMSecs(elapsed_); }
    ClockTimer* makeTimer(const QString& name, int intervalMs, QObject* parent) override;

    // Time passes up to t (never backwards), firing what falls due.
    void advanceTo(const QDateTime& t);
    void advanceBy(qint64 ms) { advanceToElapsed(elapsed_ + ms); }
    void advance(qint64 ms) { advanceBy(ms); }
    // Jumps to t without firing anything; active timers keep the time they had left.
    void set(const QDateTime& t);

private:
    class Timer;
    friend class Timer;
    void advanceToElapsed(qint64 target);
    Timer* nextDue(qint64 limit) const;

    QDateTime origin_;
    qint64 elapsed_ = 0; // ms since origin_
    quint64 order_ = 0;  // breaks ties between timers due at the same moment
    std::vector<Timer*> timers_;
};

// The name the first tests knew it by.
using ManualClock = VirtualClock;

} // namespace vorna

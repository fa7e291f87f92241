#include "wall_clock.h"

#include <QTimer>
#include <algorithm>

namespace vorna {

ClockTimer::ClockTimer(const QString& name, int intervalMs, QObject* parent)
    : QObject(parent), interval_(std::max(1, intervalMs)) {
    setObjectName(name);
}

void ClockTimer::setInterval(int ms) {
    interval_ = std::max(1, ms);
    if (active_) arm();
}

void ClockTimer::start() {
    active_ = true;
    arm();
}

void ClockTimer::stop() {
    active_ = false;
    disarm();
}

namespace {

// Precise: a coarse timer may drift 5 %, 1.5 s on a 30-s tick.
class SystemTimer final : public ClockTimer {
public:
    SystemTimer(const QString& name, int intervalMs, QObject* parent)
        : ClockTimer(name, intervalMs, parent), timer_(new QTimer(this)) {
        timer_->setTimerType(Qt::PreciseTimer);
        connect(timer_, &QTimer::timeout, this, &ClockTimer::timeout);
    }

private:
    void arm() override { timer_->start(interval()); }
    void disarm() override { timer_->stop(); }
    QTimer* timer_;
};

} // namespace

ClockTimer* SystemClock::makeTimer(const QString& name, int intervalMs, QObject* parent) {
    return new SystemTimer(name, intervalMs, parent);
}

class VirtualClock::Timer final : public ClockTimer {
public:
    Timer(VirtualClock* clock, const QString& name, int intervalMs, QObject* parent)
        : ClockTimer(name, intervalMs, parent), clock_(clock) {
        clock_->timers_.push_back(this);
    }
    ~Timer() override {
        if (clock_) std::erase(clock_->timers_, this);
    }
    void arm() override { schedule(clock_ ? clock_->elapsed_ + interval() : 0); }
    void disarm() override {}
    void schedule(qint64 due) {
        due_ = due;
        if (clock_) order_ = ++clock_->order_;
    }

    VirtualClock* clock_;
    qint64 due_ = 0;
    quint64 order_ = 0;
    bool firing_ = false;
};

VirtualClock::~VirtualClock() {
    for (Timer* t : timers_)
        t->clock_ = nullptr;
}

ClockTimer* VirtualClock::makeTimer(const QString& name, int intervalMs, QObject* parent) {
    return new Timer(this, name, intervalMs, parent);
}

void VirtualClock::advanceTo(const QDateTime& t) {
    advanceToElapsed(origin_.msecsTo(t));
}

void VirtualClock::set(const QDateTime& t) {
    const qint64 target = origin_.msecsTo(t);
    for (Timer* timer : timers_)
        timer->due_ += target - elapsed_;
    elapsed_ = target;
}

VirtualClock::Timer* VirtualClock::nextDue(qint64 limit) const {
    Timer* next = nullptr;
    for (Timer* t : timers_) {
        if (!t->isActive() || t->firing_ || t->due_ > limit) continue;
        if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->order_ < next->order_))
            next = t;
    }
    return next;
}

void VirtualClock::advanceToElapsed(qint64 target) {
    // A nested advance may already have gone past target; whatever it skipped (a timer busy in
    // its own handler) fires now, late, as a QTimer would.
    while (Timer* t = nextDue(std::max(target, elapsed_))) {
        elapsed_ = std::max(elapsed_, t->due_);
        // The next tick is counted from this one, or from now when that is already past.
        qint64 next = t->due_ + t->interval();
        if (next < elapsed_) next = elapsed_ + t->interval();
        t->schedule(next);
        const QPointer<Timer> alive(t);
        t->firing_ = true;
        emit t->timeout();
        if (alive) t->firing_ = false;
    }
    elapsed_ = std::max(elapsed_, target);
}

} // namespace vorna

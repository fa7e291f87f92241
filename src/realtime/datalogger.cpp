#include "datalogger.h"

#include "wall_clock.h"

namespace vorna {

Datalogger::Datalogger(WallClock& clock, Window window, QObject* parent)
    : QObject(parent), sec2(clock.makeTimer(QStringLiteral("sec2"), kSec2Ms, this)),
      sec30(clock.makeTimer(QStringLiteral("sec30"), kSec30Ms, this)), clock_(clock),
      window_(std::move(window)) {
    connect(sec2, &ClockTimer::timeout, this, &Datalogger::sec2_Timer);
    connect(sec30, &ClockTimer::timeout, this, &Datalogger::sec30_Timer);
}

void Datalogger::begin() {
    running_ = true;
    sec2->start();
}

void Datalogger::end() {
    running_ = false;
    sec2->stop();
    sec30->stop();
}

void Datalogger::sec2_Timer() {
    const QTime t = clock_.now().time();
    const QTime minute(t.hour(), t.minute());
    const auto window = window_.schedule();
    if (window && window->contains(minute)) {
        if (!sec30->isActive()) {
            countdown_ = qint16(2 * interval_);
            window_.campiona();
        }
        // Not where a run ended on a 19.5-s tick left it: that would bring the second sample of
        // the next run 10.5 s early.
        if (running_ && !sec30->isActive()) {
            sec30->setInterval(kSec30Ms);
            sec30->start();
        }
    } else {
        if (sec30->isActive()) window_.bttControllo_Click();
        sec30->stop();
    }
}

void Datalogger::sec30_Timer() {
    --countdown_;
    sec30->setInterval(countdown_ == 1 ? kLastTickMs : kSec30Ms);
    if (countdown_ <= 0) {
        countdown_ = qint16(2 * interval_);
        window_.campiona();
    }
}

} // namespace vorna

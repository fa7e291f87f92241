#pragma once

#include "schedule.h"

#include <QObject>
#include <functional>
#include <optional>

namespace vorna {

class ClockTimer;
class WallClock;

// The automatic run of the real-time window: while running, a sample at the first 2-s tick of
// the daily window's start minute, then one every interval (2 x interval - 1 ticks of 30 s and
// one of 19.5 s), until the first tick after the stop minute ends the run. Both timers come from
// the clock, so a test's virtual clock runs a day in seconds.
class Datalogger : public QObject {
    Q_OBJECT
public:
    static constexpr int kSec2Ms = 2000;
    static constexpr int kSec30Ms = 30000;
    static constexpr int kLastTickMs = 19500;

    // What the run asks of its window.
    struct Window {
        std::function<void()> campiona;
        // The acquisition button: while running, it ends the run.
        std::function<void()> bttControllo_Click;
        // The schedule fields as they read now; none when they are not a valid schedule.
        std::function<std::optional<DailyWindow>()> schedule;
    };

    Datalogger(WallClock& clock, Window window, QObject* parent);

    bool running() const { return running_; }
    // Minutes between two samples (cbIntervallo).
    qint16 interval() const { return interval_; }
    void setInterval(qint16 minutes) { interval_ = minutes; }
    // Half-minutes left until the next sample.
    qint16 countdown() const { return countdown_; }

    // Starts a run: it waits for the window's start minute.
    void begin();
    // Ends the run; both timers off.
    void end();

    void sec2_Timer();
    void sec30_Timer();

    ClockTimer* const sec2;
    ClockTimer* const sec30;

private:
    WallClock& clock_;
    Window window_;
    bool running_ = false;
    qint16 interval_ = 1;
    qint16 countdown_ = 0;
};

} // namespace vorna

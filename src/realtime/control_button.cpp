#include "control_button.h"

namespace vorna {

namespace {

// The button's captions, by catalogue entry.
enum Caption { kStop = 99, kStart = 100, kAcquire = 101, kActivate = 152 };

} // namespace

ControlButton controlButton(ControlChange change, const ControlState& s, int shown) {
    // In automatic mode the button only begins or ends a run, so an acquisition does not lock
    // it; but no run may begin on a schedule the fields do not hold.
    const bool enabled = s.automatic ? s.running || s.scheduleValid : !s.acquiring;
    switch (change) {
    case ControlChange::Refresh:
        break;
    case ControlChange::ScheduleChecked:
        // An invalid schedule is not reported: the button is simply off.
        return s.scheduleValid ? ControlButton{kActivate, true} : ControlButton{shown, false};
    case ControlChange::ModeOrRun:
        return {!s.automatic ? kAcquire : s.running ? kStop : kStart, enabled};
    }
    return {shown, enabled};
}

} // namespace vorna

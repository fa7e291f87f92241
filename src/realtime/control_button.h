#pragma once

namespace vorna {

// What the acquisition button bttControllo shows (a catalogue entry) and whether it works.
struct ControlButton {
    int caption;
    bool enabled;
    bool operator==(const ControlButton&) const = default;
};

// The real-time window's state the button follows.
struct ControlState {
    bool automatic;     // obMode on "Auto"
    bool running;       // an automatic run is active
    bool acquiring;     // lettura is running
    bool scheduleValid; // valida_hh_mm
};

// Why the button is worked out again. Its caption is not the state's alone: after a run it says
// "Start" until the schedule is checked, and a schedule found invalid leaves whatever it said.
enum class ControlChange {
    Refresh,         // gestione_contr: the caption stays
    ScheduleChecked, // azioneValidaHhMm: the automatic mode chosen or a schedule field edited
    ModeOrRun,       // the manual mode chosen, a manual sample asked for, a run begun or ended
};

// shown: the entry the button says now.
ControlButton controlButton(ControlChange change, const ControlState& state, int shown);

} // namespace vorna

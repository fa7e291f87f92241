#include "control_button.h"

#include <gtest/gtest.h>

using namespace vorna;

// Entries: 99 "Stop", 100 "Start", 101 "Acquire", 152 "Activate".
TEST(ControlButton, CaptionAndStateForEachChange) {
    using C = ControlChange;
    constexpr bool Auto = true, Manual = false;
    const struct {
        C change;
        bool automatic, running, acquiring, valid;
        int shown;
        ControlButton expected;
    } cases[] = {
        // By hand the button is off only while a sample is taken.
        {C::Refresh, Manual, false, false, false, 101, {101, true}},
        {C::Refresh, Manual, false, true, false, 101, {101, false}},
        // "Stop" works during a run's sample.
        {C::Refresh, Auto, true, true, true, 99, {99, true}},
        // After a run "Start" stays; a schedule that is not valid begins none.
        {C::Refresh, Auto, false, false, true, 100, {100, true}},
        {C::Refresh, Auto, false, false, false, 152, {152, false}},
        // A valid schedule says "Activate"; an invalid one keeps the caption and switches off.
        {C::ScheduleChecked, Auto, false, false, true, 101, {152, true}},
        {C::ScheduleChecked, Auto, false, false, true, 100, {152, true}},
        {C::ScheduleChecked, Auto, false, false, false, 101, {101, false}},
        {C::ScheduleChecked, Auto, false, false, false, 100, {100, false}},
        {C::ScheduleChecked, Auto, false, false, false, 152, {152, false}},
        // The manual mode and a sample by hand say "Acquire"; a run "Stop", its end "Start".
        {C::ModeOrRun, Manual, false, false, false, 152, {101, true}},
        {C::ModeOrRun, Manual, false, false, true, 100, {101, true}},
        {C::ModeOrRun, Auto, true, false, true, 152, {99, true}},
        {C::ModeOrRun, Auto, false, false, true, 99, {100, true}},
    };
    for (const auto& c : cases) {
        const ControlButton got =
            controlButton(c.change, {c.automatic, c.running, c.acquiring, c.valid}, c.shown);
        EXPECT_EQ(got, c.expected)
            << "row " << &c - cases << ": got " << got.caption << "/" << got.enabled;
    }
}

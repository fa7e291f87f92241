// Which typed powers the instrument's probes can sample live.
#include "app_context.h"
#include "realtime_power.h"

#include <gtest/gtest.h>

using namespace vorna;

TEST(RealtimePower, AtMostTheProbesLimit) {
    const struct {
        bool sf; // the instrument's version holds "SF"
        const char* power;
        bool allowed;
    } cases[] = {
        {false, "600", true},    {false, "600.01", false}, {false, "599,99", true},
        {false, " 12.5 ", true}, {false, "0", true},       {false, "4200", false},
        {true, "4200", true},    {true, "4200.01", false}, {true, "601", true},
        {false, "", false},      {false, "abc", false},
    };
    for (const auto& c : cases) {
        InstrumentIdentity instrument;
        instrument.fwSfFlag = c.sf;
        EXPECT_EQ(realtime_power_allowed(instrument, c.power), c.allowed)
            << c.power << (c.sf ? " SF" : "");
    }
}

#pragma once

#include <QString>

namespace vorna {

struct InstrumentIdentity;

// Whether a plant of this power (kW as typed, "." or ",") can be sampled live with the connected
// instrument's probes: at most 600 kW, or 4200 kW when its version holds "SF".
bool realtime_power_allowed(const InstrumentIdentity& instrument, const QString& power);

} // namespace vorna

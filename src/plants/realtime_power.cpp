#include "realtime_power.h"

#include "app_context.h"
#include "number_format.h"

namespace vorna {

namespace {

constexpr double kPowerLimitKw = 600;
constexpr double kSfPowerLimitKw = 4200;

} // namespace

bool realtime_power_allowed(const InstrumentIdentity& instrument, const QString& power) {
    const double limit = instrument.fwSfFlag ? kSfPowerLimitKw : kPowerLimitKw;
    double kw = 0;
    return parse_number(power, kw) && kw <= limit;
}

} // namespace vorna

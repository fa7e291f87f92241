#pragma once

#include "instrument_queries.h"

#include <QString>

namespace vorna {

class AppContext;

// The acquisition sequence of one live sample: sends the current plant's parameters (the rated
// power as powerText, the NOCT, gamma and inverter class of ctx.plant), reads the value list
// into values and marks the lines and phases the instrument lacks. Numbers go out with "." on
// every PC. Stops at the first failed exchange (nothing more is sent, not even "REALTIME 0");
// a value list of more than 51 fields is a failure too. True when all nine exchanges succeeded.
bool lettura(AppContext& ctx, const QString& powerText, ValueList& values);

} // namespace vorna

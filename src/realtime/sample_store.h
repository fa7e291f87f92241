#pragma once

#include "records.h"

namespace vorna {

class AppContext;

// Appends one live sample to table realtime and commits it at once, through one prepared
// statement kept by the connection (the table is never read for this: a datalogger fills it by
// the million). numero is the sample's number within its run. Throws RunError when the row
// cannot be written.
void store_realtime_sample(AppContext& ctx, qint64 plantId, int numero, const MeasurementRecord& m);

} // namespace vorna

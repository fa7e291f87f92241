#pragma once

#include "instrument_queries.h"
#include "records.h"

#include <QDateTime>
#include <QString>

namespace vorna {

class AppContext;

// The value list of one live sample: the fields of the "LISTVAL" reply, slots 0-50.

// Empties every slot, then fills them from the reply's TAB-separated fields, each trimmed. A
// short reply leaves the remaining slots empty (no value), never the previous sample's; more
// than 51 fields throws RunError and leaves the slots as they were.
void split_listval(const QString& reply, ValueList& values);

// The "LINEDC?" and "PHASEAC?" replies: the DC lines (AC phases) the instrument's configuration
// lacks get -10000 in their slots. A reply other than "MONO..."/"BI..." changes nothing.
void mark_absent_lines(const QString& reply, ValueList& values);
void mark_absent_phases(const QString& reply, ValueList& values);

// A live sample as it is stored: the checked values (-2000 where a field fails its check),
// stamped with `when` and the firmware and program versions. plantPower receives slot 0
// (-2000 when it is not a number). Throws RunError when an efficiency field (21, 23) is
// neither dashes nor a number.
MeasurementRecord live_sample(const AppContext& ctx, const ValueList& values, const QDateTime& when,
                              double& plantPower);

} // namespace vorna

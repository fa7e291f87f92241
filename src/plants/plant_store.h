#pragma once

#include <QtGlobal>

namespace vorna {

class AppContext;

// Writes ctx.plant through the shared record set: into the row with this ID, or into a new row
// when id is -1, and commits it. False (with the writer's log entry) when the record cannot be
// written; database errors throw, for the caller's trap.
bool store_current_plant(AppContext& ctx, qint64 id);

} // namespace vorna

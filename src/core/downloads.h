#pragma once

#include <QString>

namespace vorna {

class AppContext;

// Copies the instrument's plants into impianti, adding only plants not stored yet (all ten
// fields compared), and fills ctx.instrumentPlantNumbers / ctx.instrumentPlantIds.
bool scarica_impianti(AppContext& ctx, const QString& callerWindow);
// Copies the measurements of the plants scarica_impianti listed into acquisizioni, adding only
// measurements not stored yet for that plant; each new row is committed as it is written.
bool scarica_acquisizioni_impianto(AppContext& ctx, const QString& callerWindow);

} // namespace vorna

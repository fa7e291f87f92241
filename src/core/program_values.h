#pragma once

#include <QString>

namespace vorna {

class AppContext;

// The data folder: the executable's folder when it is writable and not an installed copy (a
// portable install), otherwise the per-user application data folder. Always ends in "/".
QString choose_app_path(const QString& executableDir);

// Sets the program-wide values of a new run: data folder, decimal probe, versions, and an empty
// error log.
bool init_sw(AppContext& ctx, const QString& executableDir);

} // namespace vorna

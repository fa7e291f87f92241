#pragma once

#include <QString>

namespace vorna {

class AppContext;

// The save dialog with filter, proposing `proposed`: shown again while the chosen file name is
// blank, and empty when the user cancels, so that a cancel writes nothing. A name chosen without
// `suffix` (compared ignoring case) gets it; no suffix is added when it is empty.
QString askSaveName(AppContext& ctx, const QString& filter, const QString& proposed,
                    const QString& suffix = {});

} // namespace vorna

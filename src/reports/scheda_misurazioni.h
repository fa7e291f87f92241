#pragma once

#include <QByteArray>

namespace vorna {

class AppContext;

// The measurement sheet of the current plant and measurement in the current language, as the
// bytes of an ISO 8859-1 HTML document; empty (and logged) on failure.
QByteArray make_scheda_misurazioni(AppContext& ctx);

} // namespace vorna

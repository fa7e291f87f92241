#pragma once

#include <QByteArray>

namespace vorna {

class AppContext;

// The Italian test certificate of the current plant, as the bytes of an ISO 8859-1 HTML
// document; empty (and logged) on failure.
QByteArray make_dichiarazione_ver2(AppContext& ctx);

} // namespace vorna

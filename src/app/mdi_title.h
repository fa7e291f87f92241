#pragma once

#include <QDateTime>
#include <QString>

namespace vorna {

class AppContext;

// The main window's title in the current language: program name, software version, when the
// executable was built (its last-modified time, in the regional format) and the compatible
// firmware versions.
QString mdi_title(const AppContext& ctx, const QDateTime& exeModified);

// The last-modified time of the running executable.
QDateTime executable_modified();

} // namespace vorna

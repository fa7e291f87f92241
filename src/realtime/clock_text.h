#pragma once

#include <QDate>
#include <QStringView>

namespace vorna {

// Reading the fixed-width texts of stored rows and grid cells without Qt's format parser, which
// costs microseconds a value: 100,000 rows are read at every refresh.

// "HH:mm:ss" (two digits each, hours below 24) as seconds from midnight; -1 for anything else.
int secondsFromClockText(QStringView text);
// "yyyy-MM-dd" as stored; an invalid date for anything else.
QDate dateFromStoredText(QStringView text);

} // namespace vorna

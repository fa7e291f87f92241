#pragma once

#include "html_text.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <QTime>

namespace vorna {

class AppContext;

// A number as general text: at most 15 significant digits, no trailing zeros, no grouping,
// the given decimal separator.
QString generalNumber(double value, QChar decimalSeparator);
// The number with its unit, or "---" (without unit) for the no-value marker.
QString measuredText(double value, const QString& unit, QChar decimalSeparator);

// "dd/mm/yyyy" and "hh:nn" whatever the regional separators.
QString reportDateText(const QDate& date);
QString reportTimeText(const QTime& time);

// The instrument serial from the first settings row; throws when there is none.
QString settingsSerial(AppContext& ctx);
// The five closing comments' values: the measurement's own texts and the current ones.
ReportOrigin reportOrigin(AppContext& ctx, const QString& serial);

} // namespace vorna

#pragma once

#include <QLocale>
#include <QString>

namespace vorna {

// A number as the program has always written it on screen and in text files: up to 15
// significant digits, no trailing zeros, no group separators, the locale's decimal separator.
QString general_number(const QLocale& locale, double value);

// The plant register's fixed format "######0.0#": one or two decimals, no group separators, the
// locale's decimal separator (3 -> "3.0", 47.5 -> "47.5", -0.45 -> "-0.45").
QString one_or_two_decimals(const QLocale& locale, double value);

// How a window shows a plant's numbers: general_number or one_or_two_decimals.
using NumberFormat = QString (*)(const QLocale& locale, double value);

// A number from the instrument or from a text box: "." or "," as decimal separator, no group
// separators. False when the text is not such a number.
bool parse_number(const QString& text, double& value);

} // namespace vorna

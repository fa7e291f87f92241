#include "number_format.h"

#include <cmath>

namespace vorna {

QString general_number(const QLocale& locale, double value) {
    if (value == 0.0) return QStringLiteral("0"); // no "-0"
    // Only the decimal separator is regional: some locales write the minus sign or the digits
    // with characters the single-byte files cannot hold.
    QString text = QLocale::c().toString(value, 'g', 15);
    text.replace(QLatin1Char('e'), QLatin1Char('E')); // "1.5E+17", as the format has it
    if (locale.decimalPoint() == QStringLiteral(","))
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString one_or_two_decimals(const QLocale& locale, double value) {
    QString text = QLocale::c().toString(value, 'f', 2);
    if (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text == QLatin1String("-0.0")) text = QStringLiteral("0.0"); // a tiny negative rounds to 0
    if (locale.decimalPoint() == QStringLiteral(","))
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

bool parse_number(const QString& text, double& value) {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    value = QLocale::c().toDouble(t, &ok);
    // The C locale also reads "inf" and "nan", which are no numbers a field can hold.
    return ok && std::isfinite(value);
}

} // namespace vorna

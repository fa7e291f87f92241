#include "regional_date.h"

namespace vorna {

QString dateSeparator(const QLocale& locale) {
    // QLocale has no separator of its own: the short date format holds it between its fields.
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    for (const QChar c : format)
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace()) return QString(c);
    return QStringLiteral("/");
}

namespace {

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString yearText(int year) {
    return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

} // namespace

QString dayMonthYearText(const QLocale& locale, const QDate& date) {
    return dayMonthYearText(dateSeparator(locale), date);
}

QString dayMonthYearText(const QString& separator, const QDate& date) {
    return twoDigits(date.day()) + separator + twoDigits(date.month()) + separator +
           yearText(date.year());
}

QString yearMonthDayText(const QLocale& locale, const QDate& date) {
    const QString s = dateSeparator(locale);
    return yearText(date.year()) + s + twoDigits(date.month()) + s + twoDigits(date.day());
}

} // namespace vorna

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

// Zero-padded fields without QString::arg: the grid formats a date for every row it saves.
void appendDigits(QString& out, int n, int width) {
    QChar buffer[4];
    for (int i = width - 1; i >= 0; --i, n /= 10)
        buffer[i] = QLatin1Char(char('0' + n % 10));
    out.append(buffer, width);
}

} // namespace

QString dayMonthYearText(const QLocale& locale, const QDate& date) {
    return dayMonthYearText(dateSeparator(locale), date);
}

QString dayMonthYearText(const QString& separator, const QDate& date) {
    QString out;
    out.reserve(10);
    appendDigits(out, date.day(), 2);
    out += separator;
    appendDigits(out, date.month(), 2);
    out += separator;
    appendDigits(out, date.year(), 4);
    return out;
}

QString yearMonthDayText(const QLocale& locale, const QDate& date) {
    const QString s = dateSeparator(locale);
    QString out;
    appendDigits(out, date.year(), 4);
    out += s;
    appendDigits(out, date.month(), 2);
    out += s;
    appendDigits(out, date.day(), 2);
    return out;
}

QString clockText(const QTime& time) {
    QString out;
    out.reserve(8);
    appendDigits(out, time.hour(), 2);
    out += QLatin1Char(':');
    appendDigits(out, time.minute(), 2);
    out += QLatin1Char(':');
    appendDigits(out, time.second(), 2);
    return out;
}

} // namespace vorna

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

// Three zero-padded fields joined by a separator, without QString::arg: the grid formats a
// date and a time for every row it saves.
struct Field {
    int value, width;
};
QString threeFields(Field a, Field b, Field c, QStringView separator) {
    QString out;
    out.reserve(a.width + b.width + c.width + 2 * separator.size());
    for (const Field& f : {a, b, c}) {
        if (!out.isEmpty()) out += separator;
        QChar digits[4];
        int n = f.value;
        for (int i = f.width - 1; i >= 0; --i, n /= 10)
            digits[i] = QLatin1Char(char('0' + n % 10));
        out.append(digits, f.width);
    }
    return out;
}

} // namespace

QString dayMonthYearText(const QLocale& locale, const QDate& date) {
    return dayMonthYearText(dateSeparator(locale), date);
}

QString dayMonthYearText(const QString& separator, const QDate& date) {
    return threeFields({date.day(), 2}, {date.month(), 2}, {date.year(), 4}, separator);
}

QString yearMonthDayText(const QLocale& locale, const QDate& date) {
    return threeFields({date.year(), 4}, {date.month(), 2}, {date.day(), 2}, dateSeparator(locale));
}

QString clockText(const QTime& time) {
    return threeFields({time.hour(), 2}, {time.minute(), 2}, {time.second(), 2}, u":");
}

} // namespace vorna

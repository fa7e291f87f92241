#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace vorna {

// Dates as the grids and the day lists show them: fixed field order, the locale's own date
// separator ("/" on most PCs, "." or "-" on others).
QString dateSeparator(const QLocale& locale);
// "dd/mm/yyyy": the grid's date column.
QString dayMonthYearText(const QLocale& locale, const QDate& date);
QString dayMonthYearText(const QString& separator, const QDate& date);
// "yyyy/mm/dd": the stored-data browser's day list.
QString yearMonthDayText(const QLocale& locale, const QDate& date);

} // namespace vorna

#include "report_values.h"

#include "app_context.h"
#include "number_format.h"
#include "records.h"
#include "run_error.h"
#include "settings_row.h"

namespace vorna {

QString generalNumber(double value, QChar decimalSeparator) {
    // Written in the C locale and given the regional separator afterwards: some locales write
    // the minus sign, digits or exponent with characters the single-byte page lacks.
    QString s = general_number(QLocale::c(), value);
    s.replace(QLatin1Char('.'), decimalSeparator);
    return s;
}

QString measuredText(double value, const QString& unit, QChar decimalSeparator) {
    if (value == kNoValue) return QStringLiteral("---");
    return generalNumber(value, decimalSeparator) + unit;
}

QString reportDateText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString reportTimeText(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm"));
}

QString settingsSerial(AppContext& ctx) {
    return SettingsRow(ctx).serial();
}

ReportOrigin reportOrigin(AppContext& ctx, const QString& serial) {
    return {serial, ctx.measurement.TEXT1, ctx.measurement.TEXT2, ctx.fwVersionText, ctx.swVersion};
}

} // namespace vorna

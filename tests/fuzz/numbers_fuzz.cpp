// The general number and date/time readers and writers, and the validators of typed text.
#include "fuzz_rig.h"
#include "instrument_queries.h"
#include "instrument_settings.h"
#include "number_format.h"
#include "regional_date.h"
#include "validation.h"

#include <QRegularExpression>
#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

void checkNumber(const QString& text) {
    double v = 0;
    if (!parse_number(text, v)) return;
    FUZZ_CHECK(std::isfinite(v), "a number that is not finite");
    for (const bool comma : {false, true}) {
        const QLocale& locale = context(comma).locale;
        // Re-read, the written number is the same number; written again, the same text.
        const QString general = general_number(locale, v);
        double again = 0;
        FUZZ_CHECK(parse_number(general, again),
                   "written number unreadable: " + general.toStdString());
        FUZZ_CHECK(std::abs(again - v) <= 1e-14 * std::abs(v), "re-read " + general.toStdString());
        FUZZ_CHECK(general_number(locale, again) == general,
                   "written again " + general.toStdString());
        if (std::abs(v) >= 1e15) continue;
        const QString fixed = one_or_two_decimals(locale, v);
        const qsizetype sep = fixed.indexOf(comma ? QLatin1Char(',') : QLatin1Char('.'));
        FUZZ_CHECK(sep > 0 && fixed.size() - sep - 1 >= 1 && fixed.size() - sep - 1 <= 2,
                   "decimals of " + fixed.toStdString());
        FUZZ_CHECK(parse_number(fixed, again) && std::abs(again - v) <= 0.005 + 1e-12 * std::abs(v),
                   "re-read " + fixed.toStdString());
    }
}

void checkValidators(const QString& text) {
    for (const QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        FUZZ_CHECK(isReal(text, sep) == plainDecimal(text, sep), "isReal");
        double v = 0;
        if (const auto value = decimalValue(text, sep))
            FUZZ_CHECK(parse_number(text, v) && v == *value, "a real read wrong");
    }
    static const QRegularExpression digits(QStringLiteral("\\A[0-9]+\\z"));
    FUZZ_CHECK(isInteger(text) == digits.match(text).hasMatch(), "isInteger");
    const QString mended = correggiStringa(text);
    FUZZ_CHECK(mended.size() == text.size() && isValidString(mended), "correggiStringa");
    FUZZ_CHECK(correggiStringa(mended) == mended, "correggiStringa twice");
    if (isValidString(text)) FUZZ_CHECK(mended == text, "a valid text changed");
    for (const bool comma : {false, true}) {
        const RadMinCheck check = check_rad_min(context(comma), text);
        const auto value = decimalValue(text, comma ? QLatin1Char(',') : QLatin1Char('.'));
        if (check != RadMinCheck::InvalidFormat)
            FUZZ_CHECK(plainDecimal(text, comma ? QLatin1Char(',') : QLatin1Char('.')),
                       "minimum radiation format");
        if (value)
            FUZZ_CHECK(
                check == (*value < 1 || *value > 1999 ? RadMinCheck::OutOfLimit : RadMinCheck::Ok),
                "minimum radiation limits");
    }
}

void checkDateTime(const QString& text) {
    try {
        const QDate d = instrument_date(text);
        FUZZ_CHECK(d.isValid(), "an invalid date taken");
        for (const char* sep : {"/", ".", "-"}) {
            const QString written = dayMonthYearText(QLatin1String(sep), d);
            FUZZ_CHECK(instrument_date(written) == d, "date re-read from " + written.toStdString());
        }
    } catch (const RunError&) {
    }
    try {
        const QTime t = instrument_time(text);
        FUZZ_CHECK(t.isValid(), "an invalid time taken");
        const QString written = clockText(t);
        FUZZ_CHECK(instrument_time(written) == t, "time re-read from " + written.toStdString());
        FUZZ_CHECK(instrument_time(QString(written).replace(QLatin1Char(':'), QLatin1Char('.'))) ==
                       t,
                   "time re-read with dots");
    } catch (const RunError&) {
    }
}

} // namespace

VORNA_FUZZ_TARGET(numbers) {
    const QString text = latin1(data);
    checkNumber(text);
    checkValidators(text);
    checkDateTime(text);
}

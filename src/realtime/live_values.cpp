#include "live_values.h"

#include "app_context.h"
#include "number_format.h"
#include "run_error.h"

#include <cmath>

namespace vorna {

namespace {

const QString kNoChannelText = QStringLiteral("-10000");

void markAbsent(ValueList& values, std::initializer_list<int> indices) {
    for (int s : indices)
        values[size_t(s)] = kNoChannelText;
}

// What a field must be to count.
enum class Check {
    Number,     // isReal
    Irradiance, // isReal, 0 to 2000
    NotDashes,  // neither dashes nor empty, and isReal
    Unchecked,  // neither dashes nor empty; any other text that is no number is an error
};

struct Field {
    int slot;
    double MeasurementRecord::*member;
    Check check;
};

// Slots of the reply and the record field each fills; 1, 22, 25 and 26 are unused, 24 is the
// verdict and 0 the plant's power.
constexpr Field kFields[] = {
    {2, &MeasurementRecord::rad, Check::Irradiance},
    {3, &MeasurementRecord::TEMPAMB, Check::NotDashes},
    {4, &MeasurementRecord::TEMPPAN, Check::NotDashes},
    {5, &MeasurementRecord::COEFFTEMP, Check::NotDashes},
    {6, &MeasurementRecord::POTRAD, Check::Number},
    {7, &MeasurementRecord::VDC1, Check::Number},
    {8, &MeasurementRecord::IDC1, Check::Number},
    {9, &MeasurementRecord::VDC2, Check::Number},
    {10, &MeasurementRecord::IDC2, Check::Number},
    {11, &MeasurementRecord::VDC3, Check::Number},
    {12, &MeasurementRecord::IDC3, Check::Number},
    {13, &MeasurementRecord::POTDC, Check::Number},
    {14, &MeasurementRecord::VAC1, Check::Number},
    {15, &MeasurementRecord::IAC1, Check::Number},
    {16, &MeasurementRecord::VAC2, Check::Number},
    {17, &MeasurementRecord::IAC2, Check::Number},
    {18, &MeasurementRecord::VAC3, Check::Number},
    {19, &MeasurementRecord::IAC3, Check::Number},
    {20, &MeasurementRecord::POTAC, Check::Number},
    {21, &MeasurementRecord::RENDDC, Check::Unchecked},
    {23, &MeasurementRecord::RENDAC, Check::Unchecked},
    {27, &MeasurementRecord::REAL2, Check::Number},
};

double checked(const AppContext& ctx, const QString& text, Check check) {
    double v = kNoValue;
    switch (check) {
    case Check::Number:
        return instrument_number(ctx, text, v) ? v : kNoValue;
    case Check::Irradiance:
        return instrument_number(ctx, text, v) && v >= 0 && v <= 2000 ? v : kNoValue;
    case Check::NotDashes:
        return !isTrattini(text) && instrument_number(ctx, text, v) ? v : kNoValue;
    case Check::Unchecked:
        if (isTrattini(text)) return kNoValue;
        if (!parse_number(text, v) || !std::isfinite(v))
            throw RunError(err::kTypeMismatch,
                           QStringLiteral("Type mismatch: '") + text + QLatin1Char('\''));
        return v;
    }
    return kNoValue;
}

} // namespace

void split_listval(const QString& reply, ValueList& values) {
    ValueList fresh;
    split_value_list(reply.trimmed(), fresh);
    values = fresh;
}

void mark_absent_lines(const QString& reply, ValueList& values) {
    const QString r = reply.trimmed();
    if (r == QLatin1String("MONOLINE"))
        markAbsent(values, {9, 10, 11, 12});
    else if (r == QLatin1String("BILINE"))
        markAbsent(values, {11, 12});
}

void mark_absent_phases(const QString& reply, ValueList& values) {
    const QString r = reply.trimmed();
    if (r == QLatin1String("MONOPHASE"))
        markAbsent(values, {16, 17, 18, 19});
    else if (r == QLatin1String("BIPHASE"))
        markAbsent(values, {18, 19});
}

MeasurementRecord live_sample(const AppContext& ctx, const ValueList& values, const QDateTime& when,
                              double& plantPower) {
    MeasurementRecord m;
    m.data = when.date();
    const QTime t = when.time();
    m.ora = QTime(t.hour(), t.minute(), t.second());
    for (const Field& f : kFields)
        m.*f.member = checked(ctx, values[size_t(f.slot)], f.check);
    m.ESITOAC = values[24] == QLatin1String("PASS");
    m.TEXT1 = ctx.fwVersionText;
    m.TEXT2 = ctx.swVersion;
    plantPower = checked(ctx, values[0], Check::Number);
    return m;
}

} // namespace vorna

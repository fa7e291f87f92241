// The "LISTMISURA" reply: a measurement's date, time, values and verdict, the same on a PC with
// a decimal point and one with a decimal comma.
#include "fuzz_rig.h"
#include "instrument_queries.h"

#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

// Reply field of each number; 4 and 5 (the temperatures) may be dashes.
const std::pair<int, double MeasurementRecord::*> kNumbers[] = {
    {2, &MeasurementRecord::rad},     {3, &MeasurementRecord::POTRAD},
    {4, &MeasurementRecord::TEMPAMB}, {5, &MeasurementRecord::TEMPPAN},
    {6, &MeasurementRecord::VDC1},    {7, &MeasurementRecord::IDC1},
    {8, &MeasurementRecord::VDC2},    {9, &MeasurementRecord::IDC2},
    {10, &MeasurementRecord::VDC3},   {11, &MeasurementRecord::IDC3},
    {12, &MeasurementRecord::POTDC},  {13, &MeasurementRecord::VAC1},
    {14, &MeasurementRecord::IAC1},   {15, &MeasurementRecord::VAC2},
    {16, &MeasurementRecord::IAC2},   {17, &MeasurementRecord::VAC3},
    {18, &MeasurementRecord::IAC3},   {19, &MeasurementRecord::POTAC},
    {20, &MeasurementRecord::RENDDC}, {21, &MeasurementRecord::RENDAC},
    {24, &MeasurementRecord::REAL2},  {25, &MeasurementRecord::COEFFTEMP},
};

using Measurement = Parsed<MeasurementRecord>;

bool same(const Measurement& a, const Measurement& b) {
    bool same = a.threw == b.threw && a.ok == b.ok && a.record.data == b.record.data &&
                a.record.ora == b.record.ora && a.record.ESITOAC == b.record.ESITOAC;
    for (const auto& [i, field] : kNumbers)
        same = same && a.record.*field == b.record.*field;
    return same;
}

Measurement parse(const QString& reply, bool decimalComma) {
    MeasurementRecord m;
    m.rad = 12345; // must be left alone by a refused reply
    return parseOn(decimalComma, parse_measurement_reply, reply, m);
}

void check(const QStringList& f, const Measurement& p, bool comma) {
    const auto field = [&](int i) { return i < f.size() ? f[i] : QString(); };
    // Numbers as written (plain) and numbers a double holds (sound); temperatures may be dashes.
    bool plain = true, sound = true;
    for (const auto& [i, member] : kNumbers) {
        const bool none = (i == 4 || i == 5) && dashes(field(i));
        plain = plain && (none || instrumentPlain(field(i), comma));
        sound = sound && (none || instrumentValue(field(i), comma));
    }
    if (p.threw) {
        // Too many fields, or a date or time that cannot be read.
        FUZZ_CHECK(f.size() > kValueSlots || plain, "refused as an error with sound numbers");
        return;
    }
    FUZZ_CHECK(f.size() <= kValueSlots, "more fields than slots taken");
    if (sound) FUZZ_CHECK(p.ok, "sound values refused");
    if (!p.ok) {
        FUZZ_CHECK(p.record.rad == 12345, "a refused reply changed the record");
        return;
    }
    FUZZ_CHECK(plain, "a value that is no number taken");
    for (const auto& [i, member] : kNumbers) {
        FUZZ_CHECK(std::isfinite(p.record.*member),
                   "number field " + std::to_string(i) + " finite");
        if ((i == 4 || i == 5) && dashes(field(i)))
            FUZZ_CHECK(p.record.*member == kNoValue, "dashes give no value");
        else if (const auto v = instrumentValue(field(i), comma))
            FUZZ_CHECK(p.record.*member == *v, "number field " + std::to_string(i));
    }
    FUZZ_CHECK(p.record.data.isValid() && p.record.ora.isValid(), "date and time");
    FUZZ_CHECK(p.record.ESITOAC == (field(23) == QLatin1String("PASS")), "verdict");
    FUZZ_CHECK(p.record.TEXT1 == context(comma).fwVersionText, "firmware version");
}

} // namespace

VORNA_FUZZ_TARGET(measurement_reply) {
    const QString reply = latin1(data);
    QStringList fields = reply.split(QLatin1Char('\t'));
    for (QString& f : fields)
        f = f.trimmed();
    const Measurement point = parse(reply, false), comma = parse(reply, true);
    check(fields, point, false);
    check(fields, comma, true);
    if (!reply.contains(QLatin1Char(','))) FUZZ_CHECK(same(point, comma), "PCs disagree");
}

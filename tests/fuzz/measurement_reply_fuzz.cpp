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

bool same(const MeasurementRecord& a, const MeasurementRecord& b) {
    bool same = a.data == b.data && a.ora == b.ora && a.ESITOAC == b.ESITOAC;
    for (const auto& [i, field] : kNumbers)
        same = same && a.*field == b.*field;
    return same;
}

void check(const QStringList& f, const Measurement& p, bool comma) {
    // Numbers as written (plain) and numbers a double holds (sound); temperatures may be dashes.
    bool plain = true, sound = true;
    for (const auto& [i, member] : kNumbers) {
        const bool none = (i == 4 || i == 5) && dashes(f.value(i));
        plain = plain && (none || instrumentPlain(f.value(i), comma));
        sound = sound && (none || instrumentValue(f.value(i), comma));
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
        if ((i == 4 || i == 5) && dashes(f.value(i)))
            FUZZ_CHECK(p.record.*member == kNoValue, "dashes give no value");
        else if (const auto v = instrumentValue(f.value(i), comma))
            FUZZ_CHECK(p.record.*member == *v, "number field " + std::to_string(i));
    }
    FUZZ_CHECK(p.record.data.isValid() && p.record.ora.isValid(), "date and time");
    FUZZ_CHECK(p.record.ESITOAC == (f.value(23) == QLatin1String("PASS")), "verdict");
    FUZZ_CHECK(p.record.TEXT1 == context(comma).fwVersionText, "firmware version");
}

} // namespace

VORNA_FUZZ_TARGET(measurement_reply) {
    const QString reply = latin1(data);
    QStringList fields = reply.split(QLatin1Char('\t'));
    for (QString& f : fields)
        f = f.trimmed();
    MeasurementRecord m;
    m.rad = 12345; // must be left alone by a refused reply
    parseOnBoth(
        parse_measurement_reply, reply, m,
        [&](const Measurement& p, bool comma) { check(fields, p, comma); }, same);
}

// The "LISTMISURA" reply: a measurement's date, time, values and verdict, on either kind of PC.
#include "fuzz_rig.h"
#include "instrument_queries.h"

#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

using M = MeasurementRecord;
// Reply field of each number; 4 and 5 (the temperatures) may be dashes.
const std::pair<int, double M::*> kNumbers[] = {
    {2, &M::rad},    {3, &M::POTRAD},     {4, &M::TEMPAMB}, {5, &M::TEMPPAN}, {6, &M::VDC1},
    {7, &M::IDC1},   {8, &M::VDC2},       {9, &M::IDC2},    {10, &M::VDC3},   {11, &M::IDC3},
    {12, &M::POTDC}, {13, &M::VAC1},      {14, &M::IAC1},   {15, &M::VAC2},   {16, &M::IAC2},
    {17, &M::VAC3},  {18, &M::IAC3},      {19, &M::POTAC},  {20, &M::RENDDC}, {21, &M::RENDAC},
    {24, &M::REAL2}, {25, &M::COEFFTEMP},
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

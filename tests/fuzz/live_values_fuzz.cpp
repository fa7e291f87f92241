// A live sample: the "LISTVAL" reply split into its 51 slots, the DC lines and AC phases the
// "LINEDC?" and "PHASEAC?" replies mark absent, and the checked values of the sample.
#include "fuzz_rig.h"
#include "live_values.h"

#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

enum Check { Number, Irradiance, NotDashes, Unchecked };
using M = MeasurementRecord;
// Each checked slot, its check and the record's number.
const struct {
    int slot;
    Check check;
    double M::*member;
} kSlots[] = {
    {2, Irradiance, &M::rad},      {3, NotDashes, &M::TEMPAMB}, {4, NotDashes, &M::TEMPPAN},
    {5, NotDashes, &M::COEFFTEMP}, {6, Number, &M::POTRAD},     {7, Number, &M::VDC1},
    {8, Number, &M::IDC1},         {9, Number, &M::VDC2},       {10, Number, &M::IDC2},
    {11, Number, &M::VDC3},        {12, Number, &M::IDC3},      {13, Number, &M::POTDC},
    {14, Number, &M::VAC1},        {15, Number, &M::IAC1},      {16, Number, &M::VAC2},
    {17, Number, &M::IAC2},        {18, Number, &M::VAC3},      {19, Number, &M::IAC3},
    {20, Number, &M::POTAC},       {21, Unchecked, &M::RENDDC}, {23, Unchecked, &M::RENDAC},
    {27, Number, &M::REAL2},
};

const QString kAbsent = QStringLiteral("-10000");

// Only the slots named change, and only to the absent mark, when the reply names the layout.
void checkMarks(const ValueList& before, const ValueList& after, const QString& reply,
                const char* one, const char* two, int first) {
    const QString r = reply.trimmed();
    for (int i = 0; i < kValueSlots; ++i) {
        const bool marked = (r == QLatin1String(one) && i >= first && i < first + 4) ||
                            (r == QLatin1String(two) && i >= first + 2 && i < first + 4);
        FUZZ_CHECK(after[size_t(i)] == (marked ? kAbsent : before[size_t(i)]),
                   "slot " + std::to_string(i) + " after " + reply.toStdString());
    }
}

struct Sample {
    MeasurementRecord m;
    double power = 0;
};

bool sameSample(const Sample& a, const Sample& b) {
    bool same = a.power == b.power;
    for (const auto& k : kSlots)
        same = same && a.m.*k.member == b.m.*k.member;
    return same;
}

void check(const ValueList& v, const Parsed<Sample>& p, bool comma, const QDateTime& when) {
    if (p.threw) {
        // Only an efficiency that is neither dashes nor a number ends the sample.
        const auto sound = [&](int i) {
            return dashes(v[size_t(i)]) || decimalValue(v[size_t(i)], QLatin1Char('.'));
        };
        FUZZ_CHECK(!sound(21) || !sound(23), "a sample of sound efficiencies refused");
        return;
    }
    const MeasurementRecord& m = p.record.m;
    const AppContext& ctx = context(comma);
    FUZZ_CHECK(m.data == when.date() && m.ora == when.time(), "stamp");
    FUZZ_CHECK(m.ESITOAC == (v[24] == QLatin1String("PASS")), "verdict");
    FUZZ_CHECK(m.TEXT1 == ctx.fwVersionText && m.TEXT2 == ctx.swVersion, "versions");
    const auto checkValue = [&](double got, const QString& text, Check check, int slot) {
        const std::string what = "slot " + std::to_string(slot) + " '" + text.toStdString() + "'";
        FUZZ_CHECK(std::isfinite(got), what + " finite");
        if (check == Unchecked) {
            if (dashes(text))
                FUZZ_CHECK(got == kNoValue, what);
            else if (const auto value = decimalValue(text, QLatin1Char('.')))
                FUZZ_CHECK(got == *value, what);
            return;
        }
        const auto value = instrumentValue(text, comma);
        const bool taken = value && !(check == NotDashes && dashes(text)) &&
                           !(check == Irradiance && (*value < 0 || *value > 2000));
        if (taken) FUZZ_CHECK(got == *value, what);
        if (got != kNoValue) FUZZ_CHECK(instrumentPlain(text, comma), what + " is no number");
    };
    for (const auto& k : kSlots)
        checkValue(m.*k.member, v[size_t(k.slot)], k.check, k.slot);
    checkValue(p.record.power, v[0], Number, 0);
}

} // namespace

VORNA_FUZZ_TARGET(live_values) {
    const QStringList replies = latin1(data).split(QLatin1Char('\n'));
    const QString listval = replies.value(0);
    QStringList fields = listval.trimmed().split(QLatin1Char('\t'));

    ValueList v;
    v.fill(QStringLiteral("stale"));
    try {
        split_listval(listval, v);
    } catch (const RunError&) {
        FUZZ_CHECK(fields.size() > kValueSlots, "a reply of few fields refused");
        for (const QString& s : v)
            FUZZ_CHECK(s == QLatin1String("stale"), "a refused reply changed the slots");
        return;
    }
    FUZZ_CHECK(fields.size() <= kValueSlots, "more fields than slots taken");
    for (int i = 0; i < kValueSlots; ++i)
        FUZZ_CHECK(v[size_t(i)] == (i < fields.size() ? fields[i].trimmed() : QString()),
                   "slot " + std::to_string(i));

    ValueList before = v;
    mark_absent_lines(replies.value(1), v);
    checkMarks(before, v, replies.value(1), "MONOLINE", "BILINE", 9);
    before = v;
    mark_absent_phases(replies.value(2), v);
    checkMarks(before, v, replies.value(2), "MONOPHASE", "BIPHASE", 16);

    const QDateTime when(QDate(2024, 6, 14), QTime(10, 15, 2));
    const auto sample = [&](AppContext& ctx, const QString&, Sample& s) {
        s.m = live_sample(ctx, v, when, s.power);
        return true;
    };
    parseOnBoth(
        sample, QStringList(v.begin(), v.end()).join(QLatin1Char('\t')), Sample{},
        [&](const Parsed<Sample>& p, bool comma) { check(v, p, comma, when); }, sameSample);
}

// The "LISTNIMPIANTO" reply: a plant's fields, the same on a PC with a decimal point and one
// with a decimal comma.
#include "fuzz_rig.h"
#include "instrument_queries.h"

#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

using Plant = Parsed<PlantRecord>;

bool same(const Plant& a, const Plant& b) {
    return a.threw == b.threw && a.ok == b.ok && samePlant(a.record, b.record);
}

void check(const QStringList& f, const Plant& p, bool comma) {
    if (p.threw) {
        FUZZ_CHECK(f.size() > kValueSlots, "refused as an error with few fields");
        return;
    }
    FUZZ_CHECK(f.size() <= kValueSlots, "more fields than slots taken");
    const auto field = [&](int i) { return i < f.size() ? f[i] : QString(); };
    const auto powerClass = decimalValue(field(10), QLatin1Char('.'));
    bool plain = true, sound = true;
    for (int i = 1; i <= 3; ++i) {
        plain = plain && instrumentPlain(field(i), comma);
        sound = sound && instrumentValue(field(i), comma);
    }
    if (sound && powerClass && (*powerClass == 0 || *powerClass == 1))
        FUZZ_CHECK(p.ok, "a sound plant refused");
    if (!p.ok) return;
    FUZZ_CHECK(plain, "a power, NOCT or coefficient that is no number taken");
    const double PlantRecord::*numbers[] = {&PlantRecord::POT, &PlantRecord::NOCT,
                                            &PlantRecord::REAL1};
    for (int i = 1; i <= 3; ++i) {
        FUZZ_CHECK(std::isfinite(p.record.*numbers[i - 1]), "number field " + std::to_string(i));
        if (const auto v = instrumentValue(field(i), comma))
            FUZZ_CHECK(p.record.*numbers[i - 1] == *v, "number field " + std::to_string(i));
    }
    if (powerClass) FUZZ_CHECK(p.record.BOOL1 == (*powerClass == 1), "power class");
    const QString PlantRecord::*texts[] = {&PlantRecord::nome,   &PlantRecord::indirizzo,
                                           &PlantRecord::NUMCIV, &PlantRecord::cap,
                                           &PlantRecord::comune, &PlantRecord::CODFISC};
    for (int i = 4; i <= 9; ++i)
        FUZZ_CHECK(p.record.*texts[i - 4] == field(i), "text field " + std::to_string(i));
}

} // namespace

VORNA_FUZZ_TARGET(plant_reply) {
    const QString reply = latin1(data);
    QStringList fields = reply.trimmed().split(QLatin1Char('\t'));
    for (QString& f : fields)
        f = f.trimmed();
    const Plant point = parseOn(false, parse_plant_reply, reply, PlantRecord{}),
                comma = parseOn(true, parse_plant_reply, reply, PlantRecord{});
    check(fields, point, false);
    check(fields, comma, true);
    // The instrument writes "." whatever the PC: a reply without "," reads the same on both.
    if (!reply.contains(QLatin1Char(','))) FUZZ_CHECK(same(point, comma), "PCs disagree");
}

// The "LISTNIMPIANTO" reply: a plant's fields, the same on either kind of PC.
#include "fuzz_rig.h"
#include "instrument_queries.h"

#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

using Plant = Parsed<PlantRecord>;

void check(const QStringList& f, const Plant& p, bool comma) {
    if (p.threw) {
        FUZZ_CHECK(f.size() > kValueSlots, "refused as an error with few fields");
        return;
    }
    FUZZ_CHECK(f.size() <= kValueSlots, "more fields than slots taken");
    const auto powerClass = decimalValue(f.value(10), QLatin1Char('.'));
    bool plain = true, sound = true;
    for (int i = 1; i <= 3; ++i) {
        plain = plain && instrumentPlain(f.value(i), comma);
        sound = sound && instrumentValue(f.value(i), comma);
    }
    if (sound && powerClass && (*powerClass == 0 || *powerClass == 1))
        FUZZ_CHECK(p.ok, "a sound plant refused");
    if (!p.ok) return;
    FUZZ_CHECK(plain, "a power, NOCT or coefficient that is no number taken");
    const double PlantRecord::*numbers[] = {&PlantRecord::POT, &PlantRecord::NOCT,
                                            &PlantRecord::REAL1};
    for (int i = 1; i <= 3; ++i) {
        FUZZ_CHECK(std::isfinite(p.record.*numbers[i - 1]), "number field " + std::to_string(i));
        if (const auto v = instrumentValue(f.value(i), comma))
            FUZZ_CHECK(p.record.*numbers[i - 1] == *v, "number field " + std::to_string(i));
    }
    if (powerClass) FUZZ_CHECK(p.record.BOOL1 == (*powerClass == 1), "power class");
    const QString PlantRecord::*texts[] = {&PlantRecord::nome,   &PlantRecord::indirizzo,
                                           &PlantRecord::NUMCIV, &PlantRecord::cap,
                                           &PlantRecord::comune, &PlantRecord::CODFISC};
    for (int i = 4; i <= 9; ++i)
        FUZZ_CHECK(p.record.*texts[i - 4] == f.value(i), "text field " + std::to_string(i));
}

} // namespace

VORNA_FUZZ_TARGET(plant_reply) {
    const QString reply = latin1(data);
    QStringList fields = reply.trimmed().split(QLatin1Char('\t'));
    for (QString& f : fields)
        f = f.trimmed();
    parseOnBoth(
        parse_plant_reply, reply, PlantRecord{},
        [&](const Plant& p, bool comma) { check(fields, p, comma); }, samePlant);
}

// The "LISTNIMPIANTO" reply: a plant's fields, the same on a PC with a decimal point and one
// with a decimal comma.
#include "fuzz_rig.h"
#include "instrument_queries.h"
#include "run_error.h"

#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

struct Parsed {
    bool threw = false, ok = false;
    PlantRecord plant;
    bool operator==(const Parsed& o) const {
        const PlantRecord &a = plant, &b = o.plant;
        return threw == o.threw && ok == o.ok && a.POT == b.POT && a.NOCT == b.NOCT &&
               a.REAL1 == b.REAL1 && a.BOOL1 == b.BOOL1 && a.nome == b.nome &&
               a.indirizzo == b.indirizzo && a.NUMCIV == b.NUMCIV && a.cap == b.cap &&
               a.comune == b.comune && a.CODFISC == b.CODFISC;
    }
};

Parsed parse(const QString& reply, bool decimalComma) {
    Parsed p;
    try {
        p.ok = parse_plant_reply(context(decimalComma), reply, p.plant);
    } catch (const RunError&) {
        p.threw = true;
    }
    return p;
}

void check(const QStringList& f, const Parsed& p, bool comma) {
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
        FUZZ_CHECK(std::isfinite(p.plant.*numbers[i - 1]), "number field " + std::to_string(i));
        if (const auto v = instrumentValue(field(i), comma))
            FUZZ_CHECK(p.plant.*numbers[i - 1] == *v, "number field " + std::to_string(i));
    }
    if (powerClass) FUZZ_CHECK(p.plant.BOOL1 == (*powerClass == 1), "power class");
    const QString PlantRecord::*texts[] = {&PlantRecord::nome,   &PlantRecord::indirizzo,
                                           &PlantRecord::NUMCIV, &PlantRecord::cap,
                                           &PlantRecord::comune, &PlantRecord::CODFISC};
    for (int i = 4; i <= 9; ++i)
        FUZZ_CHECK(p.plant.*texts[i - 4] == field(i), "text field " + std::to_string(i));
}

} // namespace

VORNA_FUZZ_TARGET(plant_reply) {
    const QString reply = latin1(data);
    QStringList fields = reply.trimmed().split(QLatin1Char('\t'));
    for (QString& f : fields)
        f = f.trimmed();
    const Parsed point = parse(reply, false), comma = parse(reply, true);
    check(fields, point, false);
    check(fields, comma, true);
    // The instrument writes "." whatever the PC: a reply without "," reads the same on both.
    if (!reply.contains(QLatin1Char(','))) FUZZ_CHECK(point == comma, "PCs disagree");
}

// The download of the instrument's plants ("IIMP", then "LISTNIMPIANTO" for each) over the real
// link into a real database.
#include "downloads.h"
#include "fuzz_rig.h"
#include "instrument_queries.h"
#include "plant_store.h"

using namespace vorna;
using namespace vorna::fuzz;

namespace {

struct Download {
    bool ok = false;
    std::array<qint64, 100> ids{};
    qint64 rows = 0;
};

Download download(ScriptedInstrument& instrument, const std::vector<QByteArray>& script,
                  bool comma) {
    instrument.script(script, comma);
    AppContext& ctx = instrument.ctx();
    Download d;
    d.ok = scarica_impianti(ctx, QStringLiteral("fuzz"));
    FUZZ_CHECK(ctx.link.baseLinkUp(), "link lost");
    d.ids = ctx.instrumentPlantIds;
    d.rows = ctx.db.scalar(QStringLiteral("SELECT COUNT(*) FROM impianti"));
    return d;
}

} // namespace

VORNA_FUZZ_TARGET(plant_download) {
    const auto script = lines(data);
    const bool comma = !data.empty() && data[0] % 2;
    ScriptedInstrument& instrument = ScriptedInstrument::get();
    AppContext& ctx = instrument.ctx();
    ctx.db.exec(QStringLiteral("DELETE FROM impianti"));

    const Download first = download(instrument, script, comma);
    const QStringList commands = instrument.commands();
    std::array<int, 100> numbers;
    try {
        parse_number_list(instrument.reply(0), numbers);
    } catch (const RunError&) {
        FUZZ_CHECK(!first.ok && commands.size() == 1, "a list that cannot be read downloaded");
        return;
    }
    // Each plant of the list is read in turn and, when its reply is sound, stored or found.
    std::vector<PlantRecord> distinct;
    for (std::size_t slot = 0; slot < numbers.size() && numbers[slot] != -1; ++slot) {
        FUZZ_CHECK(qsizetype(slot + 1) < commands.size() &&
                       commands[qsizetype(slot + 1)] ==
                           QStringLiteral("LISTNIMPIANTO %1").arg(numbers[slot]),
                   "plant " + std::to_string(slot) + " not asked");
        PlantRecord sent;
        bool sound = false;
        try {
            sound = parse_plant_reply(ctx, instrument.reply(slot + 1), sent);
        } catch (const RunError&) {
        }
        const qint64 id = first.ids[slot];
        if (!sound) {
            FUZZ_CHECK(id == -1, "an unreadable plant matched");
            continue;
        }
        // Read back by the store's own tested reader.
        const StoredPlant stored = PlantStore(ctx).load(id);
        FUZZ_CHECK(stored.found() && samePlant(stored.plant, sent),
                   "plant " + std::to_string(slot) + " stored");
        if (std::none_of(distinct.begin(), distinct.end(),
                         [&](const PlantRecord& p) { return samePlant(p, sent); }))
            distinct.push_back(sent);
    }
    FUZZ_CHECK(first.ok, "a download of sound replies failed");
    FUZZ_CHECK(first.rows == qint64(distinct.size()), "each plant stored once");

    // The same instrument again: nothing new, the same rows matched.
    const Download second = download(instrument, script, comma);
    FUZZ_CHECK(second.ok && second.rows == first.rows, "second download added rows");
    FUZZ_CHECK(second.ids == first.ids, "second download matched other rows");
}

// The instrument's identity and configuration as the setup window reads them, over the real
// link: "LOGO?", "TEMPERATURE?", "LINEDC?", "PHASEAC?", "MINRAD?", "SERIALNUM?", "VERSION?".
#include "fuzz_rig.h"
#include "instrument_settings.h"

#include <cmath>

using namespace vorna;
using namespace vorna::fuzz;

namespace {

const QStringList kCommands = {"LOGO?",   "TEMPERATURE?", "LINEDC?", "PHASEAC?",
                               "MINRAD?", "SERIALNUM?",   "VERSION?"};

struct Row {
    QString logo, serial;
    int metcalc = 0, lineDc = 0, phaseAc = 0;
    std::optional<double> radMin; // none: null
    bool operator==(const Row&) const = default;
};

Row storedRow(Database& db) {
    Statement st = db.prepare(
        QStringLiteral("SELECT logo, serial, metcalc, INT2, misureac, REAL1 FROM impostazioni"));
    Row r;
    if (st.step())
        r = {st.column(0).toString(), st.column(1).toString(), int(st.integer(2)),
             int(st.integer(3)),      int(st.integer(4)),      std::nullopt};
    if (!st.isNull(5)) r.radMin = st.real(5);
    return r;
}

int code(const QString& reply, const QStringList& words) {
    return int(words.indexOf(reply.trimmed())) + 1;
}

void check(const std::vector<QByteArray>& script, bool comma) {
    ScriptedInstrument& instrument = ScriptedInstrument::get();
    instrument.script(script, comma);
    AppContext& ctx = instrument.ctx();
    ctx.serialNumberText = ctx.fwVersionText = QStringLiteral("from before");
    const Row before = storedRow(ctx.db);
    const bool ok = leggi_impostazioni_strum(ctx);

    // Every reply came whole: nothing may take the link down.
    FUZZ_CHECK(ctx.link.baseLinkUp(), "link lost");
    const auto reply = [&](std::size_t i) { return instrument.reply(i); };
    const QString minRad = reply(4).trimmed();
    const auto value = instrumentValue(minRad, comma);
    if (!ok) {
        FUZZ_CHECK(!value, "a sound minimum radiation refused: " + minRad.toStdString());
        FUZZ_CHECK(storedRow(ctx.db) == before, "a failed read changed the settings");
        return;
    }
    FUZZ_CHECK(instrument.commands() == kCommands, "commands sent");
    const Row row = storedRow(ctx.db);
    const QString logo = reply(0).trimmed();
    FUZZ_CHECK(row.logo == (logo.isEmpty() ? QStringLiteral(" ") : logo), "logo stored");
    FUZZ_CHECK(row.metcalc == code(reply(1), {"T photovoltaic", "T environment"}), "method");
    FUZZ_CHECK(row.lineDc == code(reply(2), {"MONOLINE", "BILINE", "THREELINE"}), "DC lines");
    FUZZ_CHECK(row.phaseAc == code(reply(3), {"MONOPHASE", "BIPHASE", "THREEPHASE"}), "phases");
    FUZZ_CHECK(row.radMin && std::isfinite(*row.radMin),
               "minimum radiation " + minRad.toStdString());
    if (value) FUZZ_CHECK(*row.radMin == *value, "minimum radiation " + minRad.toStdString());
    FUZZ_CHECK(ctx.serialNumberText == reply(5) && row.serial == reply(5), "serial number");
    const QString version = reply(6);
    const qsizetype colon = version.indexOf(QLatin1String(": "));
    FUZZ_CHECK(ctx.fwVersionText == (colon < 0 ? version : version.mid(colon + 1)), "version");
    FUZZ_CHECK(ctx.fwSfFlag == version.contains(QLatin1String("SF")), "SF flag");
    FUZZ_CHECK(ctx.link.replyText == version, "reply line");
}

} // namespace

VORNA_FUZZ_TARGET(instrument_session) {
    const auto script = lines(data);
    check(script, false);
    check(script, true);
}

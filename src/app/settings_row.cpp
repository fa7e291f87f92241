#include "settings_row.h"

#include "app_context.h"
#include "port_names.h"
#include "run_error.h"

namespace vorna {

namespace {

RecordSet& firstRow(AppContext& ctx) {
    if (!ctx.settings) throw RunError(err::kGeneric, QStringLiteral("settings not open"));
    ctx.settings->moveFirst();
    if (ctx.settings->eof()) throw RunError(err::kGeneric, QStringLiteral("no settings row"));
    return *ctx.settings;
}

void reopen(AppContext& ctx) {
    ctx.settings =
        std::make_unique<RecordSet>(RecordSet::table(ctx.db, QStringLiteral("impostazioni")));
    ctx.settings->moveFirst();
}

} // namespace

void open_settings_row(AppContext& ctx) {
    reopen(ctx);
    if (ctx.settings->eof()) {
        RecordSet& s = *ctx.settings;
        s.addNew();
        s.setField(QStringLiteral("metcalc"), 1);
        s.setField(QStringLiteral("LINGUA"), kDefaultLanguage);
        s.setField(QStringLiteral("COM"), 1);
        s.setField(QStringLiteral("misureac"), 3);
        s.setField(QStringLiteral("INT1"), 2);
        s.setField(QStringLiteral("INT2"), 3);
        s.setField(QStringLiteral("REAL1"), 600);
        s.update();
    }

    reopen(ctx);
    RecordSet& s = firstRow(ctx);
    // A missing language would stop the start-up before any text is set: treat it as out of
    // range.
    const qint64 lingua =
        s.isNull(QStringLiteral("LINGUA")) ? -1 : s.integer(QStringLiteral("LINGUA"));
    if (lingua > kLastLanguage || lingua < kFirstLanguage) {
        s.edit();
        s.setField(QStringLiteral("LINGUA"), kDefaultLanguage);
        s.update();
    }

    reopen(ctx);
    ctx.languageIndex = int(firstRow(ctx).integer(QStringLiteral("LINGUA")));
}

void repair_remote_port(AppContext& ctx) {
    RecordSet& s = firstRow(ctx);
    if (!s.isNull(QStringLiteral("INT1"))) return;
    const bool baseIsOne =
        !s.isNull(QStringLiteral("COM")) && s.integer(QStringLiteral("COM")) == 1;
    s.edit();
    s.setField(QStringLiteral("INT1"), baseIsOne ? 2 : 1);
    s.update();
}

void apply_stored_port_numbers(AppContext& ctx) {
    RecordSet& s = firstRow(ctx);
    auto apply = [&](const char* field, SerialPort& port) {
        const QString name = QString::fromLatin1(field);
        if (s.isNull(name) || port.isOpen()) return;
        const qint64 n = s.integer(name);
        if (n >= kFirstPortNumber && n <= kLastPortNumber) port.setPortNumber(int(n));
    };
    apply("COM", ctx.link.serialeBase);
    apply("INT1", ctx.link.serialeRemoto);
}

void save_language(AppContext& ctx) {
    RecordSet& s = firstRow(ctx);
    s.edit();
    s.setField(QStringLiteral("LINGUA"), ctx.languageIndex);
    s.update();
}

} // namespace vorna

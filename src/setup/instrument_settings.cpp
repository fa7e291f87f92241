#include "instrument_settings.h"

#include "app_context.h"
#include "error_trap.h"
#include "instrument_queries.h"
#include "link.h"
#include "number_format.h"
#include "settings_row.h"
#include "validation.h"

#include <cmath>

namespace vorna {

namespace {

const QString kCaller = QStringLiteral("setup");

int codeOf(const QString& reply, std::initializer_list<const char*> words) {
    const QString t = reply.trimmed();
    int code = 1;
    for (const char* w : words) {
        if (t == QLatin1String(w)) return code;
        ++code;
    }
    return 0;
}

// A number in the regional format, as the user or the instrument (after conversion) gave it.
double regionalNumber(const AppContext& ctx, const QString& text) {
    bool ok = false;
    const double v = ctx.locale.toDouble(text.trimmed(), &ok);
    // "inf" and "nan" read too, but are no setting the instrument can have.
    if (!ok || !std::isfinite(v))
        throw RunError(err::kTypeMismatch, QStringLiteral("Type mismatch: ") + text);
    return v;
}

QString blankWhenEmpty(const QString& text) {
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

} // namespace

int temperature_code(const QString& reply) {
    return codeOf(reply, {"T photovoltaic", "T environment"});
}

int linedc_code(const QString& reply) {
    return codeOf(reply, {"MONOLINE", "BILINE", "THREELINE"});
}

int phaseac_code(const QString& reply) {
    return codeOf(reply, {"MONOPHASE", "BIPHASE", "THREEPHASE"});
}

bool leggi_impostazioni_strum(AppContext& ctx) {
    return guard(ctx, QStringLiteral("leggi_impostazioni_strum"), [&](TrapScope& s) {
        Link& l = ctx.link;
        s.step(1);
        trasmette(ctx, kCaller, QStringLiteral("LOGO?"));
        const QString logo = l.replyText.trimmed();
        s.step(2);
        if (!trasmette(ctx, kCaller, QStringLiteral("TEMPERATURE?"))) return false;
        const int metcalc = temperature_code(l.replyText);
        s.step(3);
        if (!trasmette(ctx, kCaller, QStringLiteral("LINEDC?"))) return false;
        const int lineDc = linedc_code(l.replyText);
        s.step(4);
        if (!trasmette(ctx, kCaller, QStringLiteral("PHASEAC?"))) return false;
        const int phaseAc = phaseac_code(l.replyText);
        s.step(5);
        if (!trasmette(ctx, kCaller, QStringLiteral("MINRAD?"))) return false;
        QString rad = l.replyText.trimmed();
        if (ctx.decimalComma()) rad.replace(QLatin1Char('.'), QLatin1Char(','));
        const double minRad = regionalNumber(ctx, rad);
        s.step(6);
        // A serial number left over from another instrument must not be stored as this one's.
        ctx.serialNumberText.clear();
        read_matricola_str(ctx, kCaller);
        if (!l.baseLinkUp()) return false;
        s.step(7);
        SettingsRow(ctx)
            .setLogo(blankWhenEmpty(logo))
            .setMetcalc(metcalc)
            .setLineDc(lineDc)
            .setPhaseAc(phaseAc)
            .setRadMin(minRad)
            .setSerial(ctx.serialNumberText)
            .save();
        s.step(8);
        read_versione_fw(ctx, kCaller);
        return true;
    });
}

ConfigForm config_from_settings(AppContext& ctx) {
    ConfigForm f;
    if (!ctx.link.baseLinkUp()) return f;
    const SettingsRow row(ctx);
    f.enabled = true;
    f.logo = row.logo().value_or(QStringLiteral(" "));
    auto index = [&](int code, int count) { return code >= 1 && code <= count ? code - 1 : -1; };
    f.metodo = index(row.metcalc(), 2);
    f.misureDc = index(row.lineDc(), 3);
    f.misureAc = index(row.phaseAc(), 3);
    f.radMin = stored_rad_min(ctx);
    return f;
}

bool applica_impostazioni(AppContext& ctx, const ConfigForm& form) {
    return guard(ctx, QStringLiteral("bttApplica_Click"), [&](TrapScope& s) {
        // An unchecked value would reach the instrument and the settings as it was typed.
        if (check_rad_min(ctx, form.radMin) != RadMinCheck::Ok) return false;
        s.step(1);
        if (!trasmette(ctx, kCaller, QStringLiteral("LOGO ") + form.logo)) return false;
        s.step(2);
        const std::pair<const char*, int> groups[] = {
            {"TEMPERATURE ", form.metodo}, {"LINEDC ", form.misureDc}, {"PHASEAC ", form.misureAc}};
        for (const auto& [command, selected] : groups) {
            if (selected < 0) continue;
            if (!trasmette(ctx, kCaller,
                           QString::fromLatin1(command) + QString::number(selected + 1)))
                return false;
        }
        s.step(3);
        QString rad = form.radMin;
        rad.replace(QLatin1Char(','), QLatin1Char('.'));
        if (!trasmette(ctx, kCaller, QStringLiteral("MINRAD ") + rad)) return false;
        s.step(4);
        const double radMin = regionalNumber(ctx, form.radMin);
        SettingsRow row(ctx);
        row.setLogo(blankWhenEmpty(form.logo.trimmed()));
        if (form.metodo >= 0) row.setMetcalc(form.metodo + 1);
        if (form.misureDc >= 0) row.setLineDc(form.misureDc + 1);
        if (form.misureAc >= 0) row.setPhaseAc(form.misureAc + 1);
        row.setRadMin(radMin).save();
        return true;
    });
}

RadMinCheck check_rad_min(const AppContext& ctx, const QString& text) {
    if (!isReal(ctx, text)) return RadMinCheck::InvalidFormat;
    bool ok = false;
    const double v = ctx.locale.toDouble(text, &ok);
    if (!ok) return RadMinCheck::InvalidFormat;
    return (v < kRadMinLow || v > kRadMinHigh) ? RadMinCheck::OutOfLimit : RadMinCheck::Ok;
}

QString rad_min_warning(const AppContext& ctx, const QString& radMinCaption, RadMinCheck check) {
    if (check == RadMinCheck::InvalidFormat)
        return radMinCaption + QStringLiteral(": ") + ctx.msg(179);
    return radMinCaption + QStringLiteral(": ") + ctx.msg(180) +
           QStringLiteral(" (1 < rad < 1999)");
}

QString stored_rad_min(AppContext& ctx) {
    return general_number(ctx.locale, SettingsRow(ctx).radMin());
}

} // namespace vorna

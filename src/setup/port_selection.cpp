#include "port_selection.h"

#include "app_context.h"
#include "error_trap.h"
#include "instrument_settings.h"
#include "link.h"
#include "port_names.h"
#include "settings_row.h"

namespace vorna {

namespace {

PortCheck openPort(AppContext& ctx, const QString& routine, const QString& listText,
                   SerialPort& port, SerialPort& other) {
    TrapFailure failure;
    const bool opened = trapped(failure, [&] {
        if (port.isOpen()) port.close();
        port.setPortNumber(leading_port_number(listText));
        if (!port.isOpen()) port.open();
        if (!other.isOpen() && other.portNumber() == port.portNumber())
            other.setPortNumber(port.portNumber() == 1 ? 2 : 1);
    });
    if (!opened) {
        QString text = ctx.msg(45) + QStringLiteral(" ") + QString::number(port.portNumber()) +
                       QStringLiteral(" ") + ctx.msg(176);
        if (const QString why = portFaultText(port.openFault(), port_fault_texts(ctx));
            !why.isEmpty())
            text += QLatin1Char('\n') + why;
        ctx.prompts.warning(text, QStringLiteral("Error"));
        return PortCheck::Missing;
    }
    const bool stored = guard(ctx, routine, [&] {
        SettingsRow(ctx)
            .setPorts(ctx.link.serialeBase.portNumber(), ctx.link.serialeRemoto.portNumber())
            .save();
    });
    return stored ? PortCheck::Connected : PortCheck::NotStored;
}

int storedPort(AppContext& ctx, Unit unit) {
    return guard<int>(ctx, QStringLiteral("stored_port"), 0, [&] {
        const SettingsRow row(ctx);
        return (unit == Unit::Base ? row.basePort() : row.remotePort()).value_or(0);
    });
}

} // namespace

PortFaultTexts port_fault_texts(const AppContext& ctx) {
    return {ctx.text(QStringLiteral("ports.missing")), ctx.text(QStringLiteral("ports.in_use")),
            ctx.text(QStringLiteral("ports.denied")),
            ctx.text(QStringLiteral("ports.denied_group"))};
}

QStringList port_list_texts() {
    QStringList texts;
    for (int n = 1; n <= kListedPorts; ++n)
        texts << QString::number(n);
    return texts;
}

int leading_port_number(const QString& text) {
    const QString t = text.trimmed();
    int n = 0;
    for (QChar c : t) {
        if (!c.isDigit() || c.unicode() > '9') break;
        n = n * 10 + c.digitValue();
        if (n > 100000) break; // no such port either way; keeps the number from overflowing
    }
    return n;
}

PortCheck verifica_combase(AppContext& ctx, const QString& listText) {
    return openPort(ctx, QStringLiteral("verifica_combase"), listText, ctx.link.serialeBase,
                    ctx.link.serialeRemoto);
}

PortCheck verifica_comremoto(AppContext& ctx, const QString& listText) {
    return openPort(ctx, QStringLiteral("verifica_comremoto"), listText, ctx.link.serialeRemoto,
                    ctx.link.serialeBase);
}

int stored_base_port(AppContext& ctx) {
    return storedPort(ctx, Unit::Base);
}

int stored_remote_port(AppContext& ctx) {
    return storedPort(ctx, Unit::Remote);
}

PortCheck toggleLink(AppContext& ctx, Unit unit, const QString& listText) {
    Link& l = ctx.link;
    if (l.linkUp(unit)) {
        unit == Unit::Base ? chiudi_com_base(ctx) : chiudi_com_remota(ctx);
        l.setLinkUp(unit, false);
    } else {
        const PortCheck r = unit == Unit::Base ? verifica_combase(ctx, listText)
                                               : verifica_comremoto(ctx, listText);
        if (r != PortCheck::Connected) return r;
        l.setLinkUp(unit, true);
        if (unit == Unit::Base && !leggi_impostazioni_strum(ctx)) l.setLinkUp(unit, false);
    }
    if (unit == Unit::Base) ctx.indicators->showConnected(l.baseLinkUp());
    return PortCheck::Connected;
}

} // namespace vorna
